#include "recoding/ArchivoImportado.h"

#include <QStringDecoder>

#include "platform/ArchivoTexto.h"

namespace ArchivoImportado {

QString Decodifica(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder d(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return d.decode(bytes.mid(2));
    }
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString texto = utf8.decode(bytes);
        if (!utf8.hasError()) return texto;
    }
    return ArchivoTexto::Decodifica(bytes);
}

std::optional<QString> Lee(const QString& ruta) {
    const std::optional<QByteArray> bytes = ArchivoTexto::LeeBytes(ruta);
    if (!bytes) return std::nullopt;
    return Decodifica(*bytes);
}

}  // namespace ArchivoImportado
