#include "platform/Aplicacion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
QString& carpetaDada() {
    static QString c;
    return c;
}
}  // namespace

QString CarpetaPrograma() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    if (exe.exists()) return QFileInfo(exe.symLinkTarget()).absolutePath();
    return QDir::currentPath();
}

bool ProgramaInstalado(const QString& carpetaPrograma) {
    return QFileInfo(QDir(carpetaPrograma).filePath(QStringLiteral("../share/quenvar"))).isDir();
}

bool ProgramaInstalado() {
    return ProgramaInstalado(CarpetaPrograma());
}

QString CarpetaCompartida() {
    const QString programa = CarpetaPrograma();
    return ProgramaInstalado() ? QDir::cleanPath(QDir(programa).filePath(QStringLiteral("../share/quenvar")))
                               : programa;
}

QString CarpetaDeUsuario() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::home().filePath(QStringLiteral(".local/share"));
    const QString carpeta = QDir(base).filePath(QStringLiteral("quenvar"));
    QDir().mkpath(carpeta);
    return carpeta;
}

QString CarpetaAplicacion() {
    if (!carpetaDada().isEmpty()) return carpetaDada();
    const QString env = qEnvironmentVariable("QUENVAR_CARPETA");
    if (!env.isEmpty()) return QDir(env).absolutePath();
    return CarpetaPorDefecto(CarpetaPrograma());
}

QString CarpetaPorDefecto(const QString& programa) {
    // Never the system's folders, even for a user who may write there.
    if (!ProgramaInstalado(programa) && ::access(QFile::encodeName(programa).constData(), W_OK) == 0) return programa;
    return CarpetaDeUsuario();
}

QString VersionPrograma() {
    return QStringLiteral(QUENVAR_VERSION);
}

QString CarpetaDatos() {
    const QString env = qEnvironmentVariable("QUENVAR_DATOS");
    return env.isEmpty() ? CarpetaAplicacion() : QDir(env).absolutePath();
}

void EstableceCarpetaAplicacion(const QString& carpeta) {
    carpetaDada() = carpeta.isEmpty() ? QString() : QDir(carpeta).absolutePath();
}

namespace {
std::function<void(int)>& terminacion() {
    static std::function<void(int)> t;
    return t;
}
}  // namespace

void TerminaProceso(int codigo) {
    if (terminacion()) terminacion()(codigo);
    std::_Exit(codigo);
}

void EstableceTerminacion(std::function<void(int)> terminar) { terminacion() = std::move(terminar); }

QString OpcionesLeidas::Valor(const QString& nombre, int i, const QString& defecto) const {
    auto it = opciones.find(nombre);
    if (it == opciones.end() || i >= it->size()) return defecto;
    return it->at(i);
}

OpcionesLeidas LeeOpciones(int argc, char** argv, std::vector<Opcion> declaradas) {
    declaradas.push_back({QStringLiteral("carpeta"), 1, {}});
    OpcionesLeidas r;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (!a.startsWith(QLatin1String("--")) || a == QLatin1String("--")) {
            r.posicionales.append(a);
            continue;
        }
        const QString nombre = a.mid(2);
        auto def = std::find_if(declaradas.begin(), declaradas.end(),
                                [&](const Opcion& o) { return o.nombre == nombre; });
        if (def == declaradas.end()) {
            r.error = QStringLiteral("Opción desconocida: %1").arg(a);
            return r;
        }
        QStringList valores;
        for (int k = 0; k < def->valores; ++k) {
            if (i + 1 >= argc) {
                r.error = QStringLiteral("Falta el valor de %1").arg(a);
                return r;
            }
            valores.append(QString::fromLocal8Bit(argv[++i]));
        }
        r.opciones.insert(nombre, valores);
    }
    if (r.Tiene(QStringLiteral("carpeta"))) EstableceCarpetaAplicacion(r.Valor(QStringLiteral("carpeta")));
    return r;
}

QString AyudaOpciones(const QString& uso, const std::vector<Opcion>& declaradas) {
    std::vector<Opcion> todas = declaradas;
    todas.push_back({QStringLiteral("carpeta"), 1, QStringLiteral("DIR  carpeta de la aplicación")});
    todas.push_back({QStringLiteral("help"), 0, QStringLiteral("  esta ayuda")});
    todas.push_back({QStringLiteral("version"), 0, QStringLiteral("  la versión del programa")});
    // Each help split where two blanks or more begin: the values' names, then what it does.
    std::vector<std::pair<QString, QString>> lineas;
    qsizetype ancho = 0;
    for (const Opcion& o : todas) {
        if (o.ayuda.isEmpty()) continue;
        const qsizetype corte = o.ayuda.indexOf(QStringLiteral("  "));
        QString valores = corte < 0 ? QString() : o.ayuda.left(corte).trimmed();
        QString que = corte < 0 ? o.ayuda.trimmed() : o.ayuda.mid(corte).trimmed();
        const QString izquierda = QStringLiteral("--") + o.nombre + (valores.isEmpty() ? QString() : QLatin1Char(' ') + valores);
        ancho = std::max(ancho, izquierda.size());
        lineas.emplace_back(izquierda, que);
    }
    QString t = QStringLiteral("Uso: %1\n").arg(uso);
    for (const auto& [izquierda, que] : lineas)
        t += QStringLiteral("  ") + izquierda.leftJustified(ancho + 2) + que + QLatin1Char('\n');
    return t;
}

std::optional<QString> TextoDeAyuda(const QStringList& argumentos, const QString& uso,
                                    const std::vector<Opcion>& declaradas) {
    for (const QString& a : argumentos) {
        if (a == QLatin1String("--")) break;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) return AyudaOpciones(uso, declaradas);
        if (a == QLatin1String("--version"))
            return uso.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') + VersionPrograma() + QLatin1Char('\n');
    }
    return std::nullopt;
}

std::optional<int> AtiendeAyuda(int argc, char** argv, const QString& uso, const std::vector<Opcion>& declaradas) {
    QStringList argumentos;
    for (int i = 1; i < argc; ++i) argumentos << QString::fromLocal8Bit(argv[i]);
    const std::optional<QString> texto = TextoDeAyuda(argumentos, uso, declaradas);
    if (!texto) return std::nullopt;
    const QByteArray b = texto->toLocal8Bit();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout);
    std::fflush(stdout);
    return 0;
}
