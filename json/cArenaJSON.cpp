#include "json/cArenaJSON.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace {
constexpr std::size_t kBloqueMinimo = 4096;
// Blocks of this size are kept for the next documents when released
// (up to kGuardados of them): a document read after another reuses memory
// already mapped instead of faulting fresh pages in.
constexpr std::size_t kBloqueComun = std::size_t(256) << 10;
constexpr std::size_t kGuardados = 32;
// Blocks of more than a quarter of the common size take the common size:
// those of malloc's larger sizes would be mapped or trimmed away on release
// and faulted in afresh by the next document.
std::size_t Comun(std::size_t n) { return n > kBloqueComun / 4 ? kBloqueComun : n; }
// An arena that has taken kGuardados common blocks holds a large document:
// its next blocks double from kBloqueGrande up to kBloqueMaximo, mapped on
// their own (MemoriaJSON). Released, they are kept too, up to kRetenidos
// bytes in all, with their pages given up lazily: the system takes them
// back when it needs memory, and a later document that reuses them before
// then faults nothing in.
constexpr std::size_t kBloqueGrande = std::size_t(4) << 20;
constexpr std::size_t kBloqueMaximo = std::size_t(64) << 20;
constexpr std::size_t kRetenidos = std::size_t(512) << 20;

// The kept blocks are carved from regions of kRegion bytes aligned to
// their size, backed by huge pages where the system offers them: the first
// document to use them faults a few pages in, not a thousand. Regions are
// never given back (a block still in use may be released at the process's
// very end); the heap serves where they cannot be mapped.
constexpr std::size_t kRegion = MemoriaJSON::kPaginaEnorme;
constexpr std::size_t kRegiones = kGuardados * kBloqueComun / kRegion;

// A mapping of `bytes` (a multiple of a huge page) aligned to a huge page;
// nullptr when it cannot be made.
void* MapeaAlineado(std::size_t bytes);

struct Reserva {
    std::mutex m;
    std::vector<void*> libres;  // blocks of the regions, unused
    char* regiones[kRegiones] = {};
    std::size_t hechas = 0;
    std::vector<std::pair<void*, std::size_t>> grandes;  // kept large blocks, and their sizes
    std::size_t retenidos = 0;                           // their bytes

    bool EsDeRegion(const void* b) const {
        const char* c = static_cast<const char*>(b);
        for (std::size_t i = 0; i < hechas; ++i)
            if (c >= regiones[i] && c < regiones[i] + kRegion) return true;
        return false;
    }
};

Reserva& LaReserva() {
    static Reserva r;
    return r;
}

void* PideComun() {
    {
        Reserva& r = LaReserva();
        std::lock_guard<std::mutex> l(r.m);
        if (r.libres.empty() && r.hechas < kRegiones) {
            if (char* region = static_cast<char*>(MapeaAlineado(kRegion))) {
                r.libres.reserve(kGuardados);
                r.regiones[r.hechas++] = region;
                for (std::size_t i = kRegion / kBloqueComun; i-- > 0;) r.libres.push_back(region + i * kBloqueComun);
            }
        }
        if (!r.libres.empty()) {
            void* b = r.libres.back();
            r.libres.pop_back();
            return b;
        }
    }
    return std::malloc(kBloqueComun);
}

void DevuelveComun(void* b) {
    {
        Reserva& r = LaReserva();
        std::lock_guard<std::mutex> l(r.m);
        if (r.EsDeRegion(b)) {
            r.libres.push_back(b);
            return;
        }
    }
    std::free(b);
}

void* PideGrande(std::size_t tamano) {
    {
        Reserva& r = LaReserva();
        std::lock_guard<std::mutex> l(r.m);
        for (auto it = r.grandes.begin(); it != r.grandes.end(); ++it)
            if (it->second == tamano) {
                void* b = it->first;
                r.grandes.erase(it);
                r.retenidos -= tamano;
                return b;
            }
    }
    return MemoriaJSON::Pide(tamano);
}

void DevuelveGrande(void* b, std::size_t tamano) {
    {
        Reserva& r = LaReserva();
        std::lock_guard<std::mutex> l(r.m);
        if (r.retenidos + tamano <= kRetenidos) {
            r.grandes.emplace_back(b, tamano);
            r.retenidos += tamano;
            MemoriaJSON::Olvida(b, tamano);
            return;
        }
    }
    MemoriaJSON::Libera(b, tamano);
}

#if defined(MAP_ANONYMOUS) && defined(__linux__)
void* MapeaAlineado(std::size_t bytes) {
    // A huge page more, and the ends beyond the aligned part given back.
    constexpr std::size_t kPagina = MemoriaJSON::kPaginaEnorme;
    const std::size_t mas = bytes + kPagina;
    void* p = mmap(nullptr, mas, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    const auto inicio = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t alineado = MemoriaJSON::AEnorme(inicio);
    if (alineado > inicio) munmap(p, alineado - inicio);
    const std::uintptr_t fin = inicio + mas;
    if (fin > alineado + bytes) munmap(reinterpret_cast<void*>(alineado + bytes), fin - alineado - bytes);
    MemoriaJSON::Enormes(reinterpret_cast<void*>(alineado), bytes);
    return reinterpret_cast<void*>(alineado);
}
#else
void* MapeaAlineado(std::size_t) { return nullptr; }
#endif
}  // namespace

namespace MemoriaJSON {

#if defined(MAP_ANONYMOUS) && defined(__linux__)
namespace {
constexpr std::size_t kPagina = kPaginaEnorme;
std::size_t Redondea(std::size_t bytes) { return AEnorme(bytes); }
}  // namespace

void Enormes(void* p, std::size_t bytes) noexcept {
#ifdef MADV_HUGEPAGE
    if (bytes < kMemoriaGrande) return;
    const auto desde = AEnorme(reinterpret_cast<std::uintptr_t>(p));
    const auto hasta = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kPagina - 1);
    if (hasta > desde) madvise(reinterpret_cast<void*>(desde), hasta - desde, MADV_HUGEPAGE);
#else
    (void)p;
    (void)bytes;
#endif
}

void* Pide(std::size_t bytes) {
    if (bytes < kMemoriaGrande) {
        void* p = std::malloc(bytes);
        if (!p) throw std::bad_alloc();
        return p;
    }
    void* p = MapeaAlineado(Redondea(bytes));
    if (!p) throw std::bad_alloc();
    return p;
}

void* Crece(void* p, std::size_t antes, std::size_t despues) {
    if (!p) return Pide(despues);
    if (antes >= kMemoriaGrande) {
        void* q = mremap(p, Redondea(antes), Redondea(despues), MREMAP_MAYMOVE);
        if (q != MAP_FAILED) {
            Enormes(q, Redondea(despues));
            return q;
        }
        // Where remapping is refused (some tools do), a new buffer below.
    } else if (despues < kMemoriaGrande) {
        void* q = std::realloc(p, despues);
        if (!q) throw std::bad_alloc();
        return q;
    }
    void* q = Pide(despues);
    std::memcpy(q, p, antes);
    Libera(p, antes);
    return q;
}

void Libera(void* p, std::size_t bytes) noexcept {
    if (!p) return;
    if (bytes < kMemoriaGrande)
        std::free(p);
    else
        munmap(p, Redondea(bytes));
}

void Olvida(void* p, std::size_t bytes) noexcept {
#ifdef MADV_FREE
    if (bytes >= kMemoriaGrande) madvise(p, Redondea(bytes), MADV_FREE);
#else
    (void)p;
    (void)bytes;
#endif
}
#else
void* Pide(std::size_t bytes) {
    void* p = std::malloc(bytes);
    if (!p) throw std::bad_alloc();
    return p;
}

void* Crece(void* p, std::size_t, std::size_t despues) {
    void* q = std::realloc(p, despues);
    if (!q) throw std::bad_alloc();
    return q;
}

void Libera(void* p, std::size_t) noexcept { std::free(p); }

void Enormes(void*, std::size_t) noexcept {}

void Olvida(void*, std::size_t) noexcept {}
#endif

}  // namespace MemoriaJSON

cArenaJSON::cArenaJSON(std::size_t previsto)
    : siguiente_(Comun(std::clamp(previsto, kBloqueMinimo, kBloqueComun))) {}

cArenaJSON::~cArenaJSON() {
    while (bloques_) {
        Bloque* b = bloques_;
        bloques_ = b->anterior;
        if (b->propio)
            MemoriaJSON::Libera(b, b->tamano);
        else if (b->tamano == kBloqueComun)
            DevuelveComun(b);
        else if (b->tamano >= kBloqueGrande)
            DevuelveGrande(b, b->tamano);
        else
            MemoriaJSON::Libera(b, b->tamano);
    }
}

void* cArenaJSON::PideBloque(std::size_t bytes, std::size_t alineacion) {
    const std::size_t cabecera = (sizeof(Bloque) + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
    const std::size_t necesario = cabecera + bytes + alineacion;
    // A request larger than half a block gets a block of its own; the
    // current block stays in use.
    const bool propio = necesario > siguiente_ / 2;
    const std::size_t tamano = propio ? necesario : siguiente_;
    auto* b = static_cast<Bloque*>(propio                    ? MemoriaJSON::Pide(tamano)
                                   : tamano == kBloqueComun  ? PideComun()
                                   : tamano >= kBloqueGrande ? PideGrande(tamano)
                                                             : MemoriaJSON::Pide(tamano));
    if (!b) throw std::bad_alloc();
    b->anterior = bloques_;
    b->tamano = tamano;
    b->propio = propio;
    bloques_ = b;
    char* inicio = reinterpret_cast<char*>(b) + cabecera;
    char* fin = reinterpret_cast<char*>(b) + tamano;
    if (!propio) {
        libre_ = inicio;
        fin_ = fin;
        if (tamano == kBloqueComun && ++comunes_ >= static_cast<int>(kGuardados))
            siguiente_ = kBloqueGrande;
        else if (siguiente_ < kBloqueComun)
            siguiente_ = Comun(siguiente_ * 2);
        else if (siguiente_ > kBloqueComun)
            siguiente_ = std::min(siguiente_ * 2, kBloqueMaximo);
        return Pide(bytes, alineacion);
    }
    auto p = reinterpret_cast<std::uintptr_t>(inicio);
    p = (p + alineacion - 1) & ~(std::uintptr_t(alineacion) - 1);
    return reinterpret_cast<void*>(p);
}
