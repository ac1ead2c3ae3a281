#pragma once
// Readable QString values in test failures.

#include "tests/support/Soporte.h"

#include <QString>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << Visible(s) << '"'; }
