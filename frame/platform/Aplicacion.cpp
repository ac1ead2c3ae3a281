#include "frame/platform/Aplicacion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdlib>

namespace {
QString& carpetaDada() {
    static QString c;
    return c;
}
}  // namespace

QString CarpetaAplicacion() {
    if (!carpetaDada().isEmpty()) return carpetaDada();
    const QString env = qEnvironmentVariable("QUENVAR_CARPETA");
    if (!env.isEmpty()) return QDir(env).absolutePath();
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    if (exe.exists()) return QFileInfo(exe.symLinkTarget()).absolutePath();
    return QDir::currentPath();
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
    QString t = QStringLiteral("Uso: %1\n").arg(uso);
    for (const Opcion& o : declaradas)
        if (!o.ayuda.isEmpty()) t += QStringLiteral("  --%1 %2\n").arg(o.nombre, o.ayuda);
    t += QStringLiteral("  --carpeta DIR  carpeta de la aplicación\n");
    return t;
}
