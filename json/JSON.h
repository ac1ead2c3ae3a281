#pragma once
// The lenient JSON reader. Strings in double or single quotes, keys
// without quotes, optional commas, parentheses and comments between
// tokens; text after the root is ignored. Every fault adds a message to
// the error text of the reading, which is the verdict: empty means success.

#include "json/cJSONValor.h"

#include <QString>

namespace JSON {

// The root (an object or an array), or the empty value when the text does
// not start with "{" or "[".
cJSONValor ReadDocument(const QString& texto);
// The error text of the last reading in this process.
QString ReadErrors();

}  // namespace JSON
