#pragma once
// Storage for the collections of one read document: memory is taken in
// blocks and given back all at once, when the last collection that uses it
// is released. cAsignador hands it to the standard containers; without an
// arena it uses the ordinary heap.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

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

    void Toma() noexcept { referencias_.fetch_add(1, std::memory_order_relaxed); }
    void Suelta() noexcept {
        if (referencias_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }

private:
    struct Bloque {
        Bloque* anterior;
    };
    void* PideBloque(std::size_t bytes, std::size_t alineacion);

    std::atomic<long> referencias_{0};
    Bloque* bloques_ = nullptr;
    char* libre_ = nullptr;
    char* fin_ = nullptr;
    std::size_t siguiente_;  // size of the next block
};

// Takes from an arena (or the heap when it has none) without keeping the
// arena alive: for the containers inside a collection, whose control block
// holds the arena with a cAsignadorPropio.
template <class T>
class cAsignador {
public:
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;

    cAsignador() noexcept = default;
    explicit cAsignador(cArenaJSON* arena) noexcept : arena_(arena) {}
    template <class U>
    cAsignador(const cAsignador<U>& o) noexcept : arena_(o.Arena()) {}

    T* allocate(std::size_t n) {
        if (arena_) return static_cast<T*>(arena_->Pide(n * sizeof(T), alignof(T)));
        return static_cast<T*>(::operator new(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t) noexcept {
        if (!arena_) ::operator delete(p);
    }

    cArenaJSON* Arena() const noexcept { return arena_; }
    template <class U>
    bool operator==(const cAsignador<U>& o) const noexcept {
        return arena_ == o.Arena();
    }

private:
    cArenaJSON* arena_ = nullptr;
};

// The same, keeping the arena alive while it exists.
template <class T>
class cAsignadorPropio {
public:
    using value_type = T;

    explicit cAsignadorPropio(cArenaJSON* arena) noexcept : arena_(arena) { arena_->Toma(); }
    cAsignadorPropio(const cAsignadorPropio& o) noexcept : cAsignadorPropio(o.arena_) {}
    template <class U>
    cAsignadorPropio(const cAsignadorPropio<U>& o) noexcept : cAsignadorPropio(o.Arena()) {}
    cAsignadorPropio& operator=(const cAsignadorPropio&) = delete;
    ~cAsignadorPropio() { arena_->Suelta(); }

    T* allocate(std::size_t n) { return static_cast<T*>(arena_->Pide(n * sizeof(T), alignof(T))); }
    void deallocate(T*, std::size_t) noexcept {}

    cArenaJSON* Arena() const noexcept { return arena_; }
    template <class U>
    bool operator==(const cAsignadorPropio<U>& o) const noexcept {
        return arena_ == o.Arena();
    }

private:
    cArenaJSON* arena_;
};
