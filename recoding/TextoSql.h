#pragma once
// Values pasted into the statement texts of the recoding tool.

#include <QString>

namespace TextoSql {

// Single quotes doubled, for a value between quotes.
QString Comillas(const QString& valor);
// The LIKE wildcards of a value taken literally ("%" as "[%]", "_" as
// "[_]", "[" as "[[]"), quotes doubled: for a value inside a pattern.
QString PatronLike(const QString& valor);
// The key under which the server's text comparison makes codes equal:
// trailing blanks and letter case ignored, leading blanks kept.
QString ClaveServidor(const QString& codigo);

}  // namespace TextoSql
