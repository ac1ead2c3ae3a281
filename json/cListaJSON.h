#pragma once
// A growable array for elements whose bytes may move as they are
// (cJSONValor, QString, pairs of them): growing relocates them with one
// copy of their bytes, or none when a large buffer is remapped. Its memory
// comes from MemoriaJSON, or is a block of an arena given to it exactly
// sized (see Adopta), which a growth leaves behind for memory of its own.

#include "json/cArenaJSON.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

template <class T>
class cListaJSON {
public:
    cListaJSON() noexcept = default;
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
        if (n_ == capacidad_) Reubica(capacidad_ ? std::size_t(capacidad_) * 2 : 4);
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
        n_ = static_cast<uint32_t>(std::min<std::size_t>(n, n_));
    }
    // Drops the elements from `n` on, which have been moved from (so own
    // nothing), without destroying them.
    void OlvidaMovidos(std::size_t n) { n_ = static_cast<uint32_t>(std::min<std::size_t>(n, n_)); }
    // Tells that no element owns anything (no destructor needs to run for
    // them) until the next one is added.
    void SonTriviales() { triviales_ = true; }
    // Empty, with its memory given back.
    void Libera() noexcept {
        if (!triviales_)
            for (std::size_t i = 0; i < n_; ++i) datos_[i].~T();
        if (!enArena_) MemoriaJSON::Libera(datos_, std::size_t(capacidad_) * sizeof(T));
        datos_ = nullptr;
        n_ = capacidad_ = 0;
        triviales_ = enArena_ = false;
    }
    // Takes o's elements and memory, leaving o empty.
    void TomaDe(cListaJSON& o) noexcept {
        Libera();
        std::swap(datos_, o.datos_);
        std::swap(n_, o.n_);
        const uint32_t capacidad = capacidad_;
        capacidad_ = o.capacidad_;
        o.capacidad_ = capacidad;
        triviales_ = o.triviales_;
        enArena_ = o.enArena_;
        o.triviales_ = o.enArena_ = false;
    }
    // Takes the n elements at `datos`, in an arena block of exactly their
    // size, as its own (it must be empty and hold no memory).
    void Adopta(T* datos, std::size_t n) {
        Cabe(n);
        datos_ = datos;
        n_ = capacidad_ = static_cast<uint32_t>(n);
        triviales_ = false;
        enArena_ = true;
    }
    // Appends the n elements from `desde` by copying their bytes: the
    // caller then forgets the originals without destroying them.
    void AgregaReubicando(T* desde, std::size_t n) {
        if (n_ + n > capacidad_) Reubica(std::max<std::size_t>(n_ + n, std::size_t(capacidad_) * 2));
        if (n) std::memcpy(static_cast<void*>(datos_ + n_), static_cast<const void*>(desde), n * sizeof(T));
        n_ += static_cast<uint32_t>(n);
        triviales_ = false;
    }
    bool Triviales() const { return triviales_; }

private:
    static constexpr std::size_t kMaximo = (std::size_t(1) << 30) - 1;
    static void Cabe(std::size_t n) {
        if (n > kMaximo) throw std::length_error("JSON: too many elements in one list");
    }
    void Reubica(std::size_t nueva) {
        Cabe(nueva);
        const std::size_t antes = std::size_t(capacidad_) * sizeof(T);
        if (enArena_) {
            // The arena's block stays where it is, unused.
            void* p = MemoriaJSON::Pide(nueva * sizeof(T));
            if (n_) std::memcpy(p, static_cast<const void*>(datos_), std::size_t(n_) * sizeof(T));
            datos_ = static_cast<T*>(p);
            enArena_ = false;
        } else {
            datos_ = static_cast<T*>(MemoriaJSON::Crece(datos_, antes, nueva * sizeof(T)));
        }
        capacidad_ = static_cast<uint32_t>(nueva);
    }

    // 16 bytes: a collection's list costs no more than its address and
    // two counts.
    T* datos_ = nullptr;
    uint32_t n_ = 0;
    uint32_t capacidad_ : 30 = 0;
    uint32_t triviales_ : 1 = 0;
    uint32_t enArena_ : 1 = 0;  // the memory held is an arena's
};
