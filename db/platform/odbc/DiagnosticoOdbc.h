#pragma once
// Error entries from ODBC diagnostic records.

#include <QString>
#include <cstdint>

#include "db/platform/Controlador.h"
#include "db/platform/Errores.h"

namespace DiagnosticoOdbc {

// Communication-link failures: 08S01, 08S02, 08001, 08003, 08007, HYT01.
bool EsFallaDeEnlace(const QString& sqlState);

// The entry for one record. A link failure carries native 11, whatever the
// driver gave; the message loses its "[vendor][driver]" prefixes, which go
// to Source.
ErrorProveedor Entrada(const QString& sqlState, int32_t nativo, const QString& mensaje);

// Warnings (SQLSTATE class 01) are entries but not failures.
inline bool EsAviso(const QString& sqlState) {
    return sqlState.startsWith(QLatin1String("01"));
}

// Connection chatter the error collection leaves out: "Changed database
// context" (5701) and "Changed language setting" (5703).
bool EsInformativo(const QString& sqlState, int32_t nativo);

}  // namespace DiagnosticoOdbc

// A request's results and diagnostics as they arrive. The first error (not
// a warning) decides whether the request failed as a whole: it did when no
// row set or count came before it, or when the link failed at any point.
class LoteOdbc {
  public:
    std::vector<ErrorProveedor>& Errores() { return r_.errores; }
    // Weighs the entries that arrived since the last call.
    void Pesa();
    // `cuenta`: a row set or a count, something the request produced.
    void Agrega(ResultadoSentencia res, bool cuenta);
    bool Perdida();
    ResultadoLote Termina();

  private:
    ResultadoLote r_;
    std::size_t pesados_ = 0;
    bool producido_ = false, hayError_ = false, alInicio_ = false, perdida_ = false;
    int32_t primero_ = 0;
};
