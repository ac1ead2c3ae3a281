#pragma once
// Error entries from ODBC diagnostic records.

#include "db/platform/Errores.h"

#include <QString>

#include <cstdint>

namespace DiagnosticoOdbc {

// Communication-link failures: 08S01, 08S02, 08001, 08003, 08007, HYT01.
bool EsFallaDeEnlace(const QString& sqlState);

// The entry for one record. A link failure carries native 11, whatever the
// driver gave; the message loses its "[vendor][driver]" prefixes, which go
// to Source.
ErrorProveedor Entrada(const QString& sqlState, int32_t nativo, const QString& mensaje);

// Warnings (SQLSTATE class 01) are entries but not failures.
inline bool EsAviso(const QString& sqlState) { return sqlState.startsWith(QLatin1String("01")); }

// Connection chatter the error collection leaves out: "Changed database
// context" (5701) and "Changed language setting" (5703).
bool EsInformativo(const QString& sqlState, int32_t nativo);

}  // namespace DiagnosticoOdbc
