#pragma once
// A growable array for elements whose bytes may move as they are
// (cJSONValor, QString, pairs of them): growing relocates them with one
// copy of their bytes, or none when a large buffer is remapped. Its memory
// comes from an arena (given back with the arena) or, without one, from
// MemoriaJSON.

#include "json/cArenaJSON.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

template <class T>
class cListaJSON {
public:
    cListaJSON() noexcept = default;
    explicit cListaJSON(cArenaJSON* arena) noexcept : arena_(arena) {}
    ~cListaJSON() { Libera(); }
    cListaJSON(const cListaJSON&) = delete;
    cListaJSON& operator=(const cListaJSON&) = delete;

    std::size_t size() const { return n_; }
    bool empty() const { return n_ == 0; }
    std::size_t capacity() const { return capacidad_; }
    T* begin() { return datos_; }
    T* end() { return datos_ + n_; }
    const T* begin() const { return datos_; }
    const T* end() const { return datos_ + n_; }
    T& operator[](std::size_t i) { return datos_[i]; }
    const T& operator[](std::size_t i) const { return datos_[i]; }

    void reserve(std::size_t n) {
        if (n > capacidad_) Reubica(n);
    }
    template <class... A>
    T& emplace_back(A&&... a) {
        if (n_ == capacidad_) Reubica(capacidad_ ? capacidad_ * 2 : 4);
        T* p = new (datos_ + n_) T(std::forward<A>(a)...);
        ++n_;
        triviales_ = false;
        return *p;
    }
    void push_back(T&& v) { emplace_back(std::move(v)); }
    void clear() { Recorta(0); }
    // Destroys the elements from `n` on.
    void Recorta(std::size_t n) {
        if (!triviales_)
            for (std::size_t i = n; i < n_; ++i) datos_[i].~T();
        n_ = std::min(n, n_);
    }
    // Drops the elements from `n` on, which have been moved from (so own
    // nothing), without destroying them.
    void OlvidaMovidos(std::size_t n) { n_ = std::min(n, n_); }
    // Tells that no element owns anything (no destructor needs to run for
    // them) until the next one is added.
    void SonTriviales() { triviales_ = true; }
    // Empty, with its memory given back.
    void Libera() noexcept {
        if (!triviales_)
            for (std::size_t i = 0; i < n_; ++i) datos_[i].~T();
        if (!enArena_) MemoriaJSON::Libera(datos_, capacidad_ * sizeof(T));
        datos_ = nullptr;
        n_ = capacidad_ = 0;
        triviales_ = enArena_ = false;
    }
    // Takes o's elements and memory, leaving o empty.
    void TomaDe(cListaJSON& o) noexcept {
        Libera();
        std::swap(datos_, o.datos_);
        std::swap(n_, o.n_);
        std::swap(capacidad_, o.capacidad_);
        std::swap(triviales_, o.triviales_);
        std::swap(enArena_, o.enArena_);
    }
    // Appends the n elements from `desde` by copying their bytes: the
    // caller then forgets the originals without destroying them.
    void AgregaReubicando(T* desde, std::size_t n) {
        if (n_ + n > capacidad_) Reubica(std::max(n_ + n, capacidad_ * 2));
        if (n) std::memcpy(static_cast<void*>(datos_ + n_), static_cast<const void*>(desde), n * sizeof(T));
        n_ += n;
        triviales_ = false;
    }
    bool Triviales() const { return triviales_; }

private:
    void Reubica(std::size_t nueva) {
        if (arena_) {
            void* p = arena_->Pide(nueva * sizeof(T), alignof(T));
            if (n_) std::memcpy(p, static_cast<const void*>(datos_), n_ * sizeof(T));
            if (!enArena_) MemoriaJSON::Libera(datos_, capacidad_ * sizeof(T));
            datos_ = static_cast<T*>(p);
            enArena_ = true;
        } else {
            datos_ = static_cast<T*>(MemoriaJSON::Crece(datos_, capacidad_ * sizeof(T), nueva * sizeof(T)));
        }
        capacidad_ = nueva;
    }

    T* datos_ = nullptr;
    std::size_t n_ = 0;
    std::size_t capacidad_ = 0;
    cArenaJSON* arena_ = nullptr;  // where new memory comes from
    bool triviales_ = false;
    bool enArena_ = false;  // the memory held is the arena's
};
