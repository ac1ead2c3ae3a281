#include "platform/Espera.h"

#include <utility>

namespace {
bool enCurso = false;

OyenteEspera& Oyente() {
    static OyenteEspera o;
    return o;
}
}  // namespace

OyenteEspera FijaOyenteEspera(OyenteEspera oyente) { return std::exchange(Oyente(), std::move(oyente)); }

bool HayOyenteEspera() { return static_cast<bool>(Oyente()); }

bool EsperaEnCurso() { return enCurso; }

void AvisaEspera(const Espera& e) {
    enCurso = !e.termino;
    // A listener that fails must not break the request that waits.
    try {
        if (Oyente()) Oyente()(e);
    } catch (...) {
    }
}
