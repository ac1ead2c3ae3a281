#include "recoding/Deshacer.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "frame/lib/Lib_Util.h"
#include "frame/platform/Aplicacion.h"
#include "frame/platform/ArchivoTexto.h"
#include "frame/platform/Texto.h"
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
    for (int n = 2; QFileInfo::exists(ruta); ++n)
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

ListaDeshacer ArmaDeshacer(const QVector<ResultadoCodigo>& codigos) {
    DiarioDeshacer diario;  // without a file: only its reckoning
    QString sinError;
    for (const ResultadoCodigo& r : codigos) diario.Agrega(r, sinError);
    return diario.Lista();
}

bool DiarioDeshacer::Crea(const QString& ruta, QString& error) {
    ruta_ = ruta;
    codigos_.clear();
    entradas_.clear();
    recibidos_.clear();
    contenido_.clear();
    utf8_ = false;
    // A folder that takes an empty file may still be full: a block of data
    // proves it takes the list.
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(QByteArray(8192, ' ')) != 8192 || !f.flush()) {
        error = f.errorString();
        f.close();
        QFile::remove(ruta);
        return false;
    }
    if (!f.resize(0)) {
        error = f.errorString();
        return false;
    }
    f.close();
    return true;
}

void DiarioDeshacer::Rehace() {
    contenido_.clear();
    QString texto;
    for (auto it = entradas_.crbegin(); it != entradas_.crend(); ++it)
        if (it->Reversible()) texto += it->linea + ArchivoTexto::CRLF;
    const QByteArray cp = ArchivoTexto::Codifica(texto);
    utf8_ = ArchivoTexto::Decodifica(cp) != texto;
    contenido_ = utf8_ ? texto.toUtf8() : cp;
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
    bool rehacer = Anota(r);
    if (ruta_.isEmpty()) return true;
    const Entrada& e = entradas_.last();
    if (!e.Reversible() && !rehacer) return true;
    if (!rehacer && !utf8_) {
        const QString texto = e.linea + ArchivoTexto::CRLF;
        const QByteArray cp = ArchivoTexto::Codifica(texto);
        if (ArchivoTexto::Decodifica(cp) == texto)
            contenido_.prepend(cp);
        else
            rehacer = true;
    } else if (!rehacer) {
        contenido_.prepend((e.linea + ArchivoTexto::CRLF).toUtf8());
    }
    if (rehacer) Rehace();
    return Escribe(error);
}

bool DiarioDeshacer::QuitaUltimo(QString& error) {
    if (codigos_.isEmpty()) return true;
    // Rare (a commit that failed): the list is built again from the codes.
    QVector<ResultadoCodigo> codigos = codigos_;
    codigos.removeLast();
    codigos_.clear();
    entradas_.clear();
    recibidos_.clear();
    for (const ResultadoCodigo& r : codigos) Anota(r);
    Rehace();
    return Escribe(error);
}

bool DiarioDeshacer::Escribe(QString& error) {
    const QString temporal = ruta_ + QStringLiteral(".tmp");
    QFile f(temporal);
    const QByteArray bom = utf8_ ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    const bool ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bom + contenido_) == bom.size() + contenido_.size() &&
                    f.flush();
    if (!ok) error = f.errorString();
    f.close();
    if (ok && std::rename(QFile::encodeName(temporal).constData(), QFile::encodeName(ruta_).constData()) == 0) return true;
    if (ok) error = QString::fromLocal8Bit(std::strerror(errno));
    QFile::remove(temporal);
    return false;
}

QString DiarioDeshacer::Termina() {
    if (ruta_.isEmpty()) return {};
    bool alguna = false;
    for (const Entrada& e : entradas_) alguna = alguna || e.Reversible();
    if (!alguna) {
        QFile::remove(ruta_);
        return {};
    }
    return ruta_;
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
