#include "json/cArenaJSON.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr std::size_t kBloqueMinimo = 4096;
constexpr std::size_t kBloqueMaximo = std::size_t(4) << 20;
}  // namespace

cArenaJSON::cArenaJSON(std::size_t previsto)
    : siguiente_(std::clamp(previsto, kBloqueMinimo, kBloqueMaximo)) {}

cArenaJSON::~cArenaJSON() {
    while (bloques_) {
        Bloque* b = bloques_;
        bloques_ = b->anterior;
        std::free(b);
    }
}

void* cArenaJSON::PideBloque(std::size_t bytes, std::size_t alineacion) {
    const std::size_t cabecera = (sizeof(Bloque) + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
    const std::size_t necesario = cabecera + bytes + alineacion;
    // A request larger than a block gets a block of its own; the current
    // block stays in use.
    const bool propio = necesario > siguiente_ / 2;
    const std::size_t tamano = propio ? necesario : siguiente_;
    auto* b = static_cast<Bloque*>(std::malloc(tamano));
    if (!b) throw std::bad_alloc();
    b->anterior = bloques_;
    bloques_ = b;
    char* inicio = reinterpret_cast<char*>(b) + cabecera;
    char* fin = reinterpret_cast<char*>(b) + tamano;
    if (!propio) {
        libre_ = inicio;
        fin_ = fin;
        siguiente_ = std::min(siguiente_ * 2, kBloqueMaximo);
        return Pide(bytes, alineacion);
    }
    auto p = reinterpret_cast<std::uintptr_t>(inicio);
    p = (p + alineacion - 1) & ~(std::uintptr_t(alineacion) - 1);
    return reinterpret_cast<void*>(p);
}
