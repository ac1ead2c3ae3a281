#pragma once
// Reading BASES.TXT, the registered connections of this computer: one per
// line, five comma-separated fields.

#include <QString>

#include <vector>

struct EntradaBase {
    QString Nombre;    // "SERVER / DATABASE", the list text and lookup key
    QString Dbname;
    QString Usuario;
    QString Password;  // enciphered
    QString Servidor;  // may end in ":" + port
};

// The entries of the file's text. A line ends at CR LF, a lone CR or a lone
// LF; a last line without an end counts; blank lines are skipped. A field
// ends at a comma or at the end of the line and loses its surrounding
// blanks; a field in double quotes may hold commas (the quotes are not part
// of the value, and whatever follows the closing quote up to the comma is
// dropped). Missing fields are empty; fields after the fifth are ignored.
std::vector<EntradaBase> LeeBases(const QString& texto);
