#pragma once
// Text files the suite's Windows programs share: Windows-1252, CR LF line ends.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace ArchivoTexto {

inline const QString CRLF = QStringLiteral("\r\n");

// Windows-1252 encoding; a character outside the code page becomes "?".
QByteArray Codifica(const QString& texto);
QString Decodifica(const QByteArray& bytes);

// Appends the text to the file, creating it when missing. False when the
// file cannot be opened or written; nothing is raised.
bool Agrega(const QString& ruta, const QString& texto);
// Replaces the file with the text. False on failure.
bool Escribe(const QString& ruta, const QString& texto);
// The same, but a text that Windows-1252 cannot hold is written as UTF-8
// with a byte-order mark instead, so nothing is lost. The file is replaced
// whole or not at all; on failure the reason goes to `error` when given.
bool EscribeSinPerdida(const QString& ruta, const QString& texto, QString* error = nullptr);
// The whole file's bytes, or nothing when it cannot be read.
std::optional<QByteArray> LeeBytes(const QString& ruta);
// The whole file decoded, or nothing when it cannot be read.
std::optional<QString> Lee(const QString& ruta);

// The lines of a text: ended by CR LF, a lone CR or a lone LF; a last line
// without an end counts, an empty text has no lines.
QStringList Lineas(const QString& texto);

// The file in `carpeta` whose name equals `nombre` without regard to case,
// or the plain join when there is none.
QString BuscaSinMayusculas(const QString& carpeta, const QString& nombre);

}  // namespace ArchivoTexto
