#pragma once
// The suite's command line: items "@Key=value;" found anywhere in the text,
// without regard to case, by their first occurrence.

#include <QString>

#include <optional>

namespace LineaComandos {

// The value of `clave` (with its "@"): from the end of the key up to the
// next ";", without "=" and trimmed. Nothing when the key is absent or its
// value has no ";" after it ("@ParametroAdicional" then takes the 19
// characters that follow the key).
std::optional<QString> Valor(const QString& linea, const QString& clave);

struct Parametros {
    QString parametroAdicional;
    QString menu;
    QString servidor;                 // server specification, "#" marks Oracle
    QString dbName;
    QString usuario;                  // command-line user
    QString usuarioLogeado;           // the application user
    std::optional<QString> password;  // nothing when absent
    QString caja = QStringLiteral("1");
};

// Reads the keys in the suite's order. "@Usuario" also matches the start of
// "@UsuarioLogeado" when that comes first; a missing or blank
// "@UsuarioLogeado" gives the trimmed command-line user.
Parametros Lee(const QString& linea);

// The server part of a specification: after the first "/", before the first ":".
QString ExtraeServidor(const QString& especificacion);

}  // namespace LineaComandos
