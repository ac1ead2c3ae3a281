#pragma once
// Long waits inside a database request (a lock another connection holds, a
// server that takes its time): the driver tells the one listener the program
// installs, on the waiting thread, so that the operator sees what the program
// waits for and its windows keep painting. The listener must not use the
// connection that waits.

#include <QString>

#include <functional>

struct Espera {
    QString motivo;          // what is waited for
    qint64 transcurridoMs = 0;
    qint64 limiteMs = 0;     // 0: no limit
    bool termino = false;    // the wait is over (sent once, after the others)
};

using OyenteEspera = std::function<void(const Espera&)>;

// The listener (none: nobody is told). Returns the one it replaces.
OyenteEspera FijaOyenteEspera(OyenteEspera oyente);
bool HayOyenteEspera();
void AvisaEspera(const Espera& e);
// A wait has been told and its end not yet: the connection that waits is in
// use, so whatever needs it (closing the program) comes back later.
bool EsperaEnCurso();

// The first notice after this long; then one every kIntervaloEsperaMs.
constexpr qint64 kPrimeraEsperaMs = 500;
constexpr qint64 kIntervaloEsperaMs = 250;
