#pragma once
// The values the JSON reader produces: empty, null, boolean, text, exact
// decimal number, keyed collection (object) and ordered collection (array).
// Collections are shared: copying a value copies a reference (counted in
// the collection itself).

#include "json/cArenaJSON.h"
#include "json/cDecimal.h"
#include "json/cListaJSON.h"

#include <QHash>
#include <QString>

#include <atomic>
#include <memory>
#include <utility>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

class cJSONObjeto;
class cJSONArreglo;

class cJSONValor {
public:
    enum class Tipo : uint8_t { Vacio, Nulo, Booleano, Texto, Numero, Objeto, Arreglo };

    cJSONValor() noexcept {}  // the empty value: neither null nor text
    static cJSONValor Nulo();
    cJSONValor(bool b) noexcept : tipo_(Tipo::Booleano) { u_.b = b; }
    cJSONValor(QString t) : tipo_(Tipo::Texto) { u_.t = new QString(std::move(t)); }
    cJSONValor(const char16_t* t) : cJSONValor(QString::fromUtf16(t)) {}
    cJSONValor(const char*) = delete;  // not a boolean
    cJSONValor(cDecimal d);
    // The number of at most 19 digits these parts give (as cDecimal's).
    static cJSONValor DePartes(uint64_t mantisa, int32_t exponente, bool negativo) noexcept {
        cJSONValor v;
        v.tipo_ = Tipo::Numero;
        v.u_.mantisa = mantisa;
        v.exponente_ = exponente;
        v.marcas_ = negativo ? kNegativo : 0;
        return v;
    }
    // A collection made with new.
    explicit cJSONValor(std::unique_ptr<cJSONObjeto> o) noexcept;
    explicit cJSONValor(std::unique_ptr<cJSONArreglo> a) noexcept;
    // A collection no value holds yet, made with new or in an arena (see
    // cJSONColeccion); the value becomes its first holder.
    static cJSONValor Adopta(cJSONObjeto* o) noexcept;
    static cJSONValor Adopta(cJSONArreglo* a) noexcept;
    // A text kept in the arena, for a reader building collections there:
    // the value must end inside a collection of that arena (or be
    // destroyed while the reader still holds the arena). Copies of it keep
    // their text on the heap.
    static cJSONValor TextoEnArena(cArenaJSON* arena, QString t);
    cJSONValor(const cJSONValor& o) : tipo_(o.tipo_) { CopiaDe(o); }
    cJSONValor(cJSONValor&& o) noexcept : tipo_(o.tipo_) { MueveDe(o); }
    cJSONValor& operator=(const cJSONValor& o) {
        if (this != &o) {
            cJSONValor copia(o);
            *this = std::move(copia);
        }
        return *this;
    }
    cJSONValor& operator=(cJSONValor&& o) noexcept {
        if (this != &o) {
            Libera();
            tipo_ = o.tipo_;
            MueveDe(o);
        }
        return *this;
    }
    ~cJSONValor() { Libera(); }

    Tipo tipo() const { return tipo_; }
    bool EsVacio() const { return tipo_ == Tipo::Vacio; }
    bool EsNulo() const { return tipo_ == Tipo::Nulo; }
    bool EsBooleano() const { return tipo_ == Tipo::Booleano; }
    bool EsTexto() const { return tipo_ == Tipo::Texto; }
    bool EsNumero() const { return tipo_ == Tipo::Numero; }
    bool EsObjeto() const { return tipo_ == Tipo::Objeto; }
    bool EsArreglo() const { return tipo_ == Tipo::Arreglo; }

    bool Booleano() const { return EsBooleano() && u_.b; }
    // Nothing to give back when it goes: no text, no collection, no number
    // of more digits than fit in a word.
    bool Trivial() const { return tipo_ < Tipo::Texto || (tipo_ == Tipo::Numero && !(marcas_ & kLargo)); }
    // The text of a text value; empty for any other kind.
    const QString& Texto() const;
    // The number of a number value; zero for any other kind.
    cDecimal Numero() const;
    // The collection, or nullptr for any other kind.
    cJSONObjeto* Objeto() const { return EsObjeto() ? u_.o : nullptr; }
    cJSONArreglo* Arreglo() const { return EsArreglo() ? u_.a : nullptr; }

private:
    void CopiaDe(const cJSONValor& o);
    // Takes o's contents, which leaves o empty. Whatever is held (a box, a
    // collection's address, a number's parts) points to nothing inside the
    // value, so its bytes may move as they are.
    void MueveDe(cJSONValor& o) noexcept {
        std::memcpy(static_cast<void*>(&u_), static_cast<const void*>(&o.u_), sizeof u_);
        exponente_ = o.exponente_;
        marcas_ = o.marcas_;
        o.tipo_ = Tipo::Vacio;
    }
    // Gives back what it owns; a trivial value owns nothing.
    void Libera() noexcept {
        if (!Trivial()) LiberaPropio();
    }
    void LiberaPropio() noexcept {
        switch (tipo_) {
            case Tipo::Texto:
                if (marcas_ & kEnArena)
                    u_.t->~QString();
                else
                    delete u_.t;
                break;
            case Tipo::Numero:
                if (marcas_ & kLargo) delete u_.d;
                break;
            case Tipo::Objeto: Suelta(u_.o); break;
            case Tipo::Arreglo: Suelta(u_.a); break;
            default: break;
        }
    }

    // 16 bytes. A number whose digits fit in a word is kept as its parts
    // (mantissa here, exponent and sign beside); a longer one, and a text,
    // in a box of their own.
    union Datos {
        uint64_t mantisa;
        bool b;
        QString* t;
        cDecimal* d;
        cJSONObjeto* o;
        cJSONArreglo* a;
    } u_{};
    int32_t exponente_ = 0;
    uint8_t marcas_ = 0;
    Tipo tipo_ = Tipo::Vacio;
    static constexpr uint8_t kNegativo = 1;  // a number in parts
    static constexpr uint8_t kLargo = 2;     // a number in a box
    static constexpr uint8_t kEnArena = 4;   // a text boxed in an arena

    // The collections' destructors give back their texts' counts together.
    friend class cJSONObjeto;
    friend class cJSONArreglo;
    QString* TextoPropio() { return tipo_ == Tipo::Texto ? u_.t : nullptr; }

    static void Suelta(cJSONObjeto* o) noexcept;
    static void Suelta(cJSONArreglo* a) noexcept;
    template <class C>
    static cJSONValor Adopta(C* c, Tipo tipo, C* Datos::*campo) noexcept;
};

// What both collections share: how many values hold it, and where it lives.
// One made with new is deleted by its last holder. One built in an arena
// (placement new on the arena's memory) holds a count of that arena, which
// its last holder gives back after destroying it. A collection that is a
// plain member or variable is never held by a value.
class cJSONColeccion {
public:
    cJSONColeccion(const cJSONColeccion&) = delete;
    cJSONColeccion& operator=(const cJSONColeccion&) = delete;

    // The arena it was built in, or nullptr.
    cArenaJSON* Arena() const { return arena_; }

protected:
    cJSONColeccion() = default;
    explicit cJSONColeccion(cArenaJSON* arena) noexcept : arena_(arena) {}
    ~cJSONColeccion() = default;

private:
    friend class cJSONValor;
    // True for the last holder, which then releases it. A holder alone
    // needs no atomic step: nobody else can take it meanwhile.
    bool Ultimo() const noexcept {
        return holders_.load(std::memory_order_acquire) == 1 ||
               holders_.fetch_sub(1, std::memory_order_acq_rel) == 1;
    }

    mutable std::atomic<int32_t> holders_{0};
    cArenaJSON* arena_ = nullptr;
};

// Entries kept in insertion order; keys compared exactly (letter case
// matters). Adding a key already present fails with error 457.
class cJSONObjeto : public cJSONColeccion {
public:
    using Entrada = std::pair<QString, cJSONValor>;
    using Lista = cListaJSON<Entrada>;

    cJSONObjeto() = default;
    // Built in the arena, whose count the caller has taken for it.
    explicit cJSONObjeto(cArenaJSON* arena) noexcept : cJSONColeccion(arena) {}
    ~cJSONObjeto();

    qsizetype Count() const { return static_cast<qsizetype>(entradas_.size()); }
    bool Exists(const QString& clave) const { return Busca(clave) >= 0; }
    // The value under the key; nullptr when absent.
    const cJSONValor* Item(const QString& clave) const;
    void Add(QString clave, cJSONValor valor);
    // Adds a key the caller knows to be new (a reader that has checked).
    void AgregaNueva(QString clave, cJSONValor valor);
    void Reserva(qsizetype n) { entradas_.reserve(static_cast<std::size_t>(n)); }
    // Adds the key, or replaces its value when present.
    void Establece(const QString& clave, cJSONValor valor);
    const Lista& Entradas() const { return entradas_; }
    // For a reader building it: the entries as a list to fill with keys
    // known to be distinct, and then Indexa.
    Lista& EntradasPorLlenar() { return entradas_; }
    // Makes the index a larger object is searched by.
    void Indexa();

private:
    qsizetype Busca(const QString& clave) const;
    void HazIndice();

    Lista entradas_;
    std::unique_ptr<QHash<QString, qsizetype>> indice_;  // built for larger objects
};

// Elements addressed from 1 in insertion order.
class cJSONArreglo : public cJSONColeccion {
public:
    using Lista = cListaJSON<cJSONValor>;

    cJSONArreglo() = default;
    // Built in the arena, whose count the caller has taken for it.
    explicit cJSONArreglo(cArenaJSON* arena) noexcept : cJSONColeccion(arena) {}
    ~cJSONArreglo();

    qsizetype Count() const { return static_cast<qsizetype>(elementos_.size()); }
    // 1-based; error 9 outside 1..Count.
    const cJSONValor& Item(qsizetype i) const;
    void Add(cJSONValor valor) { elementos_.push_back(std::move(valor)); }
    void Reserva(qsizetype n) { elementos_.reserve(static_cast<std::size_t>(n)); }
    const Lista& Elementos() const { return elementos_; }
    // For a reader building it: the elements as a list to fill.
    Lista& ElementosPorLlenar() { return elementos_; }

private:
    Lista elementos_;
};
