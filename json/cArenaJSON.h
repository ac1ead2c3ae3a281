#pragma once
// Storage for the collections of one read document: memory is taken in
// blocks and given back all at once, when the last collection that uses it
// is released.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

class cArenaJSON {
public:
    // The first block holds about `previsto` bytes (at least a minimum).
    explicit cArenaJSON(std::size_t previsto);
    ~cArenaJSON();
    cArenaJSON(const cArenaJSON&) = delete;
    cArenaJSON& operator=(const cArenaJSON&) = delete;

    void* Pide(std::size_t bytes, std::size_t alineacion) {
        auto p = reinterpret_cast<std::uintptr_t>(libre_);
        p = (p + alineacion - 1) & ~(std::uintptr_t(alineacion) - 1);
        if (p + bytes > reinterpret_cast<std::uintptr_t>(fin_)) return PideBloque(bytes, alineacion);
        libre_ = reinterpret_cast<char*>(p + bytes);
        return reinterpret_cast<void*>(p);
    }

    // Counts of the arena's users (the collections built in it, and the
    // reader while it builds them); the last one given back deletes it.
    void Toma(long n = 1) noexcept { referencias_.fetch_add(n, std::memory_order_relaxed); }
    void Suelta(long n = 1) noexcept {
        if (referencias_.fetch_sub(n, std::memory_order_acq_rel) == n) delete this;
    }

private:
    struct Bloque {
        Bloque* anterior;
        std::size_t tamano;
        bool propio;  // taken for one request: never kept
    };
    void* PideBloque(std::size_t bytes, std::size_t alineacion);

    std::atomic<long> referencias_{0};
    Bloque* bloques_ = nullptr;
    char* libre_ = nullptr;
    char* fin_ = nullptr;
    std::size_t siguiente_;  // size of the next block
    int comunes_ = 0;        // blocks of the common size taken
};

// Large buffers (a reader's stacks, an arena's largest blocks) are mapped
// on their own, backed by huge pages where the system offers them, and
// grown by remapping: the first touch of such a buffer faults a few pages
// in, not thousands, and growing it copies nothing. Below kMemoriaGrande
// bytes they come from the ordinary heap.
namespace MemoriaJSON {
constexpr std::size_t kMemoriaGrande = std::size_t(1) << 20;
// The size of a huge page, where the system has them.
constexpr std::size_t kPaginaEnorme = std::size_t(2) << 20;
// x rounded up to a multiple of a huge page (a size, or an address).
constexpr std::uintptr_t AEnorme(std::uintptr_t x) { return (x + kPaginaEnorme - 1) & ~(kPaginaEnorme - 1); }
void* Pide(std::size_t bytes);
// The buffer `p` of `antes` bytes, with room for `despues` bytes now.
void* Crece(void* p, std::size_t antes, std::size_t despues);
void Libera(void* p, std::size_t bytes) noexcept;
// Tells the system that the pages of a large buffer, kept for later, may
// be taken back whenever it needs them (their contents are lost then).
void Olvida(void* p, std::size_t bytes) noexcept;
// Asks that the whole pages inside a large buffer taken elsewhere be
// backed by huge pages, before it is first written.
void Enormes(void* p, std::size_t bytes) noexcept;
}  // namespace MemoriaJSON
