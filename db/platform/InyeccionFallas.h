#pragma once
// Fault injection on the embedded driver, process-wide, so that recovery
// paths run against the real engine: the next N opens or executes fail as
// the given server error would (native 11 = lost connection, which also
// breaks the open connection until it is reopened).

#include <QString>

#include <cstdint>

namespace InyeccionFallas {

struct Falla {
    int32_t nativo = 11;
    QString descripcion = QStringLiteral("General network error. Check your network documentation.");
    QString sqlState = QStringLiteral("08S01");
    // Executes only: when set, only a request whose text contains it fails.
    QString contiene;
};

void FallaAperturas(int veces, Falla falla = {});
void FallaEjecuciones(int veces, Falla falla = {});
void Limpia();

int AperturasPendientes();
int EjecucionesPendientes();
// Counters of what the driver was asked since the last Limpia().
int AperturasIntentadas();
int EjecucionesIntentadas();

}  // namespace InyeccionFallas
