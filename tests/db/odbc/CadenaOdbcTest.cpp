// Connection strings as text.

#include "db/platform/odbc/CadenaOdbc.h"

#include <gtest/gtest.h>
