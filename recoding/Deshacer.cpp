#include "recoding/Deshacer.h"

#include <QFile>
#include <QFileInfo>

#include <QDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/lib/Lib_Util.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Texto.h"
#include "recoding/TextoSql.h"

using Texto::Trim;

namespace {

QString Par(const ResultadoCodigo& r) {
    return Texto::RTrim(r.viejo) + QStringLiteral(" → ") + Trim(r.nuevo);
}

}  // namespace

QString MotivoNoReversible(const ResultadoCodigo& r) {
    if (r.tipo == TipoPlan::Fusion) return QStringLiteral("fusión");
    if (r.tipo == TipoPlan::Estadisticas) return QStringLiteral("sólo estadísticas");
    if (Texto::LTrim(r.viejo) != r.viejo || Texto::LTrim(r.nuevo) != r.nuevo)
        return QStringLiteral("código guardado con blancos al principio");
    if (r.viejo.contains(QLatin1Char(',')) || r.nuevo.contains(QLatin1Char(',')))
        return QStringLiteral("código con una coma");
    if (!r.rubroAnterior.isEmpty())
        return QStringLiteral("el rubro del artículo era ") + Trim(r.rubroAnterior);
    return {};
}

namespace {

// "<prefix><yyyyMMdd-HHmmss>.txt" in the application folder, or "-2", "-3"…
// before ".txt": runs within the same second (a script's lists) keep each
// its own file.
QString RutaLibre(const QString& prefijo, const QDateTime& momento) {
    const QString base = LibUtil().AgregaBarra(CarpetaAplicacion()) + prefijo +
                         momento.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString ruta = base + QStringLiteral(".txt");
    auto ocupada = [](const QString& r) { return QFileInfo::exists(r) || QFileInfo::exists(r + QStringLiteral(".diario")); };
    for (int n = 2; ocupada(ruta); ++n)
        ruta = base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".txt");
    return ruta;
}

bool Cuenta(const ResultadoCodigo& r) {
    return !r.error && !r.omitido;
}

QString Linea(const ResultadoCodigo& r) {
    return Trim(r.nuevo) + QLatin1Char(',') + Trim(r.viejo);
}

}  // namespace

namespace {

const QByteArray kCabecera = QByteArrayLiteral("QUENVAR-DESHACER 1\n");
const QByteArray kRetira = QByteArrayLiteral("-\n");

QString ErrorSistema() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// "+<TAB>kind<TAB>old<TAB>new<TAB>rubro<LF>", each text percent-encoded.
QByteArray Registro(const ResultadoCodigo& r) {
    return QByteArrayLiteral("+\t") + QByteArray::number(static_cast<int>(r.tipo)) + '\t' +
           r.viejo.toUtf8().toPercentEncoding() + '\t' + r.nuevo.toUtf8().toPercentEncoding() + '\t' +
           r.rubroAnterior.toUtf8().toPercentEncoding() + '\n';
}

bool EscribeTodo(int fd, const QByteArray& b) {
    qsizetype hecho = 0;
    while (hecho < b.size()) {
        const ssize_t n = ::write(fd, b.constData() + hecho, static_cast<size_t>(b.size() - hecho));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        hecho += n;
    }
    return true;
}

// The list's lines, last first, replacing the file whole (never seen torn).
bool EscribeLista(const QString& ruta, const QStringList& lineas, QString& error) {
    QString texto;
    for (const QString& l : lineas) texto += l + ArchivoTexto::CRLF;
    return ArchivoTexto::EscribeSinPerdida(ruta, texto, &error);
}

}  // namespace

ListaDeshacer ArmaDeshacer(const QVector<ResultadoCodigo>& codigos) {
    DiarioDeshacer diario;  // without a file: only its reckoning
    QString sinError;
    for (const ResultadoCodigo& r : codigos) diario.Agrega(r, sinError);
    return diario.Lista();
}

QString DiarioDeshacer::RutaDiario(const QString& ruta) {
    return ruta + QStringLiteral(".diario");
}

DiarioDeshacer::~DiarioDeshacer() {
    if (!terminado_) Termina();
    Cierra();
}

void DiarioDeshacer::Reinicia() {
    codigos_.clear();
    entradas_.clear();
    recibidos_.clear();
}

void DiarioDeshacer::Cierra() {
    if (fd_ < 0) return;
    ::close(fd_);  // also releases the lock
    fd_ = -1;
}

bool DiarioDeshacer::Crea(const QString& ruta, QString& error) {
    Cierra();
    Reinicia();
    ruta_ = ruta;
    largo_ = 0;
    const QByteArray nombre = QFile::encodeName(RutaDiario(ruta));
    if (::access(nombre.constData(), F_OK) == 0) {
        errno = EEXIST;
        error = ErrorSistema();
        return false;
    }
    // Made under another name, locked and with its header, then renamed: a
    // start that looks for journals meanwhile never takes a live one for
    // an abandoned one.
    const QByteArray nuevo = nombre + ".nuevo";
    fd_ = ::open(nuevo.constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        error = ErrorSistema();
        return false;
    }
    // Held while the run lasts: a journal nobody holds is one to complete.
    ::flock(fd_, LOCK_EX | LOCK_NB);
    // A folder that takes an empty file may still be full: a block of data
    // proves it takes the journal.
    // Linked, not renamed, so that another run's journal of the same name is
    // never replaced; renamed where the folder takes no links.
    auto publica = [&] {
        if (::link(nuevo.constData(), nombre.constData()) == 0) return true;
        return errno != EEXIST && ::rename(nuevo.constData(), nombre.constData()) == 0;
    };
    if (!EscribeTodo(fd_, QByteArray(8192, ' ')) || ::ftruncate(fd_, 0) != 0 || !EscribeTodo(fd_, kCabecera) ||
        !publica()) {
        error = ErrorSistema();
        Cierra();
        ::unlink(nuevo.constData());
        return false;
    }
    ::unlink(nuevo.constData());
    largo_ = kCabecera.size();
    terminado_ = false;
    return true;
}

bool DiarioDeshacer::Registra(const QByteArray& registro, QString& error) {
    if (fd_ < 0) {
        error = QStringLiteral("la lista para deshacer no está abierta");
        return false;
    }
    if (EscribeTodo(fd_, registro)) {
        largo_ += registro.size();
        return true;
    }
    error = ErrorSistema();
    // A record cut short is taken back; when even that fails, the journal
    // takes nothing more (its reader leaves out a torn last record).
    if (::ftruncate(fd_, largo_) != 0) Cierra();
    return false;
}

bool DiarioDeshacer::Anota(const ResultadoCodigo& r) {
    codigos_ << r;
    Entrada e{TextoSql::ClaveServidor(r.nuevo), Linea(r), Par(r), MotivoNoReversible(r)};
    static const QString kRecibio = QStringLiteral("el código nuevo recibió otros artículos");
    bool cambian = false;
    if (++recibidos_[e.clave] > 1) {
        if (e.motivo.isEmpty()) e.motivo = kRecibio;
        for (Entrada& anterior : entradas_)
            if (anterior.Reversible() && anterior.clave == e.clave) {
                anterior.motivo = kRecibio;
                cambian = true;
            }
    }
    entradas_ << e;
    return cambian;
}

ListaDeshacer DiarioDeshacer::Lista() const {
    ListaDeshacer l;
    for (auto it = entradas_.crbegin(); it != entradas_.crend(); ++it)
        if (it->Reversible()) l.lineas << it->linea;
    for (const Entrada& e : entradas_)
        if (!e.Reversible()) l.noReversibles << e.par + QStringLiteral(" (") + e.motivo + QStringLiteral(")");
    return l;
}

bool DiarioDeshacer::Agrega(const ResultadoCodigo& r, QString& error) {
    if (!Cuenta(r)) return true;
    if (!ruta_.isEmpty() && !Registra(Registro(r), error)) return false;
    Anota(r);
    return true;
}

bool DiarioDeshacer::QuitaUltimo(QString& error) {
    if (codigos_.isEmpty()) return true;
    // Rare (a commit that failed): the reckoning is built again from the codes.
    QVector<ResultadoCodigo> codigos = codigos_;
    codigos.removeLast();
    Reinicia();
    for (const ResultadoCodigo& r : codigos) Anota(r);
    return ruta_.isEmpty() || Registra(kRetira, error);
}

QString DiarioDeshacer::Termina(QString* error) {
    if (ruta_.isEmpty() || terminado_) return {};
    const QStringList lineas = Lista().lineas;
    QString motivo;
    if (!lineas.isEmpty() && !EscribeLista(ruta_, lineas, motivo)) {
        if (error) *error = motivo;
        Cierra();
        terminado_ = true;
        return {};
    }
    Cierra();
    QFile::remove(RutaDiario(ruta_));
    terminado_ = true;
    return lineas.isEmpty() ? QString() : ruta_;
}

bool DiarioDeshacer::LeeDiario(const QString& diario, ListaDeshacer& lista) {
    const std::optional<QByteArray> bytes = ArchivoTexto::LeeBytes(diario);
    if (!bytes || !bytes->startsWith(kCabecera)) return false;
    DiarioDeshacer d;
    QString sinError;
    qsizetype i = kCabecera.size();
    for (qsizetype fin; (fin = bytes->indexOf('\n', i)) >= 0; i = fin + 1) {
        const QByteArray registro = bytes->mid(i, fin - i);
        if (registro == kRetira.chopped(1)) {
            d.QuitaUltimo(sinError);
            continue;
        }
        const QList<QByteArray> campos = registro.split('\t');
        if (campos.size() != 5 || campos[0] != "+") continue;
        ResultadoCodigo r;
        r.tipo = static_cast<TipoPlan>(campos[1].toInt());
        r.viejo = QString::fromUtf8(QByteArray::fromPercentEncoding(campos[2]));
        r.nuevo = QString::fromUtf8(QByteArray::fromPercentEncoding(campos[3]));
        r.rubroAnterior = QString::fromUtf8(QByteArray::fromPercentEncoding(campos[4]));
        d.Agrega(r, sinError);
    }
    lista = d.Lista();
    return true;
}

QStringList CompletaListasInterrumpidas(const QString& carpeta, QStringList* fallos) {
    QStringList escritas;
    const QDir dir(carpeta);
    for (const QString& nombre : dir.entryList({QStringLiteral("Deshacer-*.txt.diario")}, QDir::Files, QDir::Name)) {
        const QString diario = dir.filePath(nombre);
        const QString ruta = diario.chopped(QStringLiteral(".diario").size());
        const int fd = ::open(QFile::encodeName(diario).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        // Held by a run still going.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        ListaDeshacer lista;
        QString error;
        bool listo = true;
        // A list already there was written before the journal could be removed.
        if (!QFileInfo::exists(ruta) && DiarioDeshacer::LeeDiario(diario, lista) && !lista.lineas.isEmpty()) {
            listo = EscribeLista(ruta, lista.lineas, error);
            if (listo) escritas << ruta;
        }
        if (listo)
            QFile::remove(diario);
        else if (fallos)
            *fallos << ruta + QStringLiteral(": ") + error;
        ::close(fd);
    }
    return escritas;
}

QString RutaPendientes(const QDateTime& momento) {
    return RutaLibre(QStringLiteral("Pendientes-"), momento);
}

bool EscribePendientes(const QString& ruta, const QVector<QStringList>& filas) {
    QString texto;
    for (const QStringList& f : filas)
        texto += Trim(f.value(Grilla::IdArticulo)) + QLatin1Char(',') + Trim(f.value(Grilla::ArticuloNuevo)) +
                 ArchivoTexto::CRLF;
    return ArchivoTexto::EscribeSinPerdida(ruta, texto);
}

QString RutaDeshacer(const QDateTime& momento) {
    return RutaLibre(QStringLiteral("Deshacer-"), momento);
}
