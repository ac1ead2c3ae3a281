#include "db/platform/embebido/InyeccionFallasInterna.h"

#include <mutex>

namespace InyeccionFallas {
namespace {

struct Estado {
    std::mutex m;
    int aperturas = 0, ejecuciones = 0;
    Falla fallaApertura, fallaEjecucion;
    int aperturasIntentadas = 0, ejecucionesIntentadas = 0;
};
Estado& E() {
    static Estado e;
    return e;
}

}  // namespace

void FallaAperturas(int veces, Falla falla) {
    std::lock_guard<std::mutex> l(E().m);
    E().aperturas = veces;
    E().fallaApertura = std::move(falla);
}

void FallaEjecuciones(int veces, Falla falla) {
    std::lock_guard<std::mutex> l(E().m);
    E().ejecuciones = veces;
    E().fallaEjecucion = std::move(falla);
}

void Limpia() {
    std::lock_guard<std::mutex> l(E().m);
    E().aperturas = E().ejecuciones = 0;
    E().aperturasIntentadas = E().ejecucionesIntentadas = 0;
}

int AperturasPendientes() { std::lock_guard<std::mutex> l(E().m); return E().aperturas; }
int EjecucionesPendientes() { std::lock_guard<std::mutex> l(E().m); return E().ejecuciones; }
int AperturasIntentadas() { std::lock_guard<std::mutex> l(E().m); return E().aperturasIntentadas; }
int EjecucionesIntentadas() { std::lock_guard<std::mutex> l(E().m); return E().ejecucionesIntentadas; }

bool TomaApertura(Falla& falla) {
    std::lock_guard<std::mutex> l(E().m);
    ++E().aperturasIntentadas;
    if (E().aperturas <= 0) return false;
    --E().aperturas;
    falla = E().fallaApertura;
    return true;
}

bool TomaEjecucion(Falla& falla, const QString& texto) {
    std::lock_guard<std::mutex> l(E().m);
    ++E().ejecucionesIntentadas;
    if (E().ejecuciones <= 0) return false;
    if (!E().fallaEjecucion.contiene.isEmpty() && !texto.contains(E().fallaEjecucion.contiene, Qt::CaseInsensitive))
        return false;
    --E().ejecuciones;
    falla = E().fallaEjecucion;
    return true;
}

}  // namespace InyeccionFallas
