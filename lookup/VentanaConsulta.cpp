#include "lookup/VentanaConsulta.h"

namespace {
FabricaVentanaConsulta& fabrica() {
    static FabricaVentanaConsulta f;
    return f;
}
}  // namespace

void EstableceVentanasConsulta(FabricaVentanaConsulta f) { fabrica() = std::move(f); }

std::unique_ptr<VentanaConsulta> CreaVentanaConsulta(TipoVentanaConsulta tipo) {
    return fabrica() ? fabrica()(tipo) : nullptr;
}
