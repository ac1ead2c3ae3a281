#pragma once
// Text files brought in by the operator (code lists, view scripts): the
// suite writes them in Windows-1252; a file with a byte-order mark, or one
// that is valid UTF-8 with non-ASCII text, is read as Unicode instead.

#include <QString>
#include <optional>

namespace ArchivoImportado {

QString Decodifica(const QByteArray& bytes);
// The whole file, or nothing when it cannot be read.
std::optional<QString> Lee(const QString& ruta);

}  // namespace ArchivoImportado
