#include "platform/lib/Lib_Util.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringDecoder>
#include <cmath>

#include "platform/Operador.h"
#include "platform/Texto.h"

namespace {

// Cipher: the UTF-8 bytes, each mixed with a key stream and with the
// previous cipher byte, written as upper-case hex, followed by a check byte.
constexpr uint32_t kSemilla = 0x4B56u;

uint8_t ClaveSiguiente(uint32_t& estado) {
    estado = estado * 1103515245u + 12345u;
    return static_cast<uint8_t>(estado >> 16);
}

uint8_t Control(const QByteArray& claro) {
    uint32_t s = static_cast<uint32_t>(claro.size());
    for (char c : claro) s = s * 31u + static_cast<uint8_t>(c);
    return static_cast<uint8_t>((s ^ (s >> 8) ^ (s >> 16)) ^ 0x5Au);
}

}  // namespace

QString Lib_Util::Encripta(const QString& texto) const {
    if (texto.isEmpty()) return {};
    const QByteArray claro = texto.toUtf8();
    QByteArray cifrado;
    cifrado.reserve(claro.size() + 1);
    uint32_t estado = kSemilla;
    uint8_t previo = 0;
    for (char c : claro) {
        const uint8_t b = static_cast<uint8_t>(c) ^ ClaveSiguiente(estado) ^ previo;
        cifrado.append(static_cast<char>(b));
        previo = b;
    }
    cifrado.append(static_cast<char>(Control(claro)));
    return QString::fromLatin1(cifrado.toHex().toUpper());
}

QString Lib_Util::Desencripta(const QString& cifrado) const {
    if (cifrado.isEmpty()) return {};
    if (cifrado.size() < 4 || cifrado.size() % 2 != 0) return cifrado;
    for (QChar c : cifrado)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
              (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ||
              (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return cifrado;
    const QByteArray bytes = QByteArray::fromHex(cifrado.toLatin1());
    QByteArray claro;
    claro.reserve(bytes.size() - 1);
    uint32_t estado = kSemilla;
    uint8_t previo = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        const uint8_t b = static_cast<uint8_t>(bytes[i]);
        claro.append(static_cast<char>(b ^ ClaveSiguiente(estado) ^ previo));
        previo = b;
    }
    if (static_cast<uint8_t>(bytes.back()) != Control(claro)) return cifrado;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString r = utf8(claro);
    if (utf8.hasError()) return cifrado;
    return r;
}

QString Lib_Util::AgregaBarra(const QString& carpeta) const {
    if (carpeta.isEmpty() || carpeta.endsWith(QLatin1Char('/')) || carpeta.endsWith(QLatin1Char('\\')))
        return carpeta;
    return carpeta + QLatin1Char('/');
}

QString Lib_Util::QuitaCaracteres(const QString& texto, const QString& c1, const QString& c2,
                                  const QString& c3) const {
    return Texto::QuitaCaracteres(texto, c1 + c2 + c3);
}

QString Lib_Util::Reemplaza(const QString& texto, const QString& buscado, const QString& reemplazo) const {
    return Texto::Reemplaza(texto, buscado, reemplazo);
}

QString Lib_Util::ReemplazaTexto(const QString& texto, const QString& buscado,
                                 const QString& reemplazo) const {
    return Texto::Reemplaza(texto, buscado, reemplazo);
}

QString Lib_Util::QuitaRelleno(const QString& campo) const {
    qsizetype n = campo.size();
    while (n > 0 && (campo[n - 1] == QLatin1Char(' ') || campo[n - 1] == QChar(0))) --n;
    return campo.left(n);
}

QVariant Lib_Util::ValorCampo(const QVariant& valor) const {
    if (!valor.isValid() || valor.isNull()) return QString();
    return valor;
}

QString Lib_Util::TextoSQL(const QString& texto, int largo) const {
    QString r;
    if (largo <= 0) return r;
    r.reserve(largo);
    for (QChar c : texto) {
        const int costo = c == QLatin1Char('\'') ? 2 : 1;
        if (r.size() + costo > largo) break;
        r.append(c);
        if (costo == 2) r.append(c);
    }
    return r;
}

double Lib_Util::ValorNumerico(const QString& texto) const {
    QString t = texto;
    if (!t.contains(QLatin1Char('.'))) {
        const qsizetype coma = t.indexOf(QLatin1Char(','));
        if (coma >= 0) t[coma] = QLatin1Char('.');
    }
    const double v = Texto::Val(t);
    if (!std::isfinite(v)) return v;
    return std::round(v * 10000.0) / 10000.0;
}

int64_t Lib_Util::ValorEntero(const QString& texto) const {
    const double v = ValorNumerico(texto);
    if (!std::isfinite(v) || std::fabs(v) >= 9.2e18) return 0;
    return std::llround(v);
}

int32_t Lib_Util::CuentaPalabras(const QString& texto) const {
    int32_t n = 0;
    bool enPalabra = false;
    for (QChar c : texto) {
        const bool separa = c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
                            c == QLatin1Char('\n');
        if (!separa && !enPalabra) ++n;
        enPalabra = !separa;
    }
    return n;
}

QString Lib_Util::AlineaTexto(const QVariant& valor, int ancho) const {
    QString t;
    if (valor.isValid() && !valor.isNull()) {
        switch (valor.typeId()) {
            case QMetaType::Double:
            case QMetaType::Float:
                t = Texto::NumeroATexto(valor.toDouble());
                break;
            default:
                t = valor.toString();
        }
    }
    t = Texto::Trim(t);
    if (ancho <= 0 || t.size() >= ancho) return t;
    const QString relleno(ancho - t.size(), QLatin1Char(' '));
    return ancho <= 4 ? relleno + t : t + relleno;
}

int Lib_Util::DialogoError(const Fallo& error, const QString& rutina) const {
    QString texto = QStringLiteral("Se produjo el error %1").arg(error.Numero());
    if (!Texto::Trim(rutina).isEmpty()) texto += QStringLiteral(" en %1").arg(Texto::Trim(rutina));
    texto += QStringLiteral(":\r\n\r\n") + Texto::Trim(error.Descripcion());
    const QString origen =
        Texto::Trim(error.Origen()).isEmpty() ? NombrePrograma() : Texto::Trim(error.Origen());
    return ElOperador().Mensaje(texto, vbAbortRetryIgnore + vbCritical, origen + QStringLiteral(" - Error"));
}

Guardia::Dialogo Lib_Util::DialogoDe(const QString& rutina) const {
    return [u = *this, rutina](const Fallo& f) { return u.DialogoError(f, rutina); };
}

Lib_Util& LibUtil() {
    static Lib_Util u;
    return u;
}
