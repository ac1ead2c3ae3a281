#pragma once
// The values the JSON reader produces: empty, null, boolean, text, exact
// decimal number, keyed collection (object) and ordered collection (array).
// Collections are shared: copying a value copies a reference.

#include "json/cDecimal.h"

#include <QHash>
#include <QString>

#include <memory>
#include <utility>
#include <variant>
#include <vector>

class cJSONObjeto;
class cJSONArreglo;

class cJSONValor {
public:
    enum class Tipo { Vacio, Nulo, Booleano, Texto, Numero, Objeto, Arreglo };

    cJSONValor() = default;  // the empty value: neither null nor text
    static cJSONValor Nulo();
    cJSONValor(bool b) : datos_(b) {}
    cJSONValor(QString t) : datos_(std::move(t)) {}
    cJSONValor(const char16_t* t) : datos_(QString::fromUtf16(t)) {}
    cJSONValor(const char*) = delete;  // not a boolean
    cJSONValor(cDecimal d) : datos_(std::move(d)) {}
    cJSONValor(std::shared_ptr<cJSONObjeto> o);
    cJSONValor(std::shared_ptr<cJSONArreglo> a);

    Tipo tipo() const { return static_cast<Tipo>(datos_.index()); }
    bool EsVacio() const { return tipo() == Tipo::Vacio; }
    bool EsNulo() const { return tipo() == Tipo::Nulo; }
    bool EsBooleano() const { return tipo() == Tipo::Booleano; }
    bool EsTexto() const { return tipo() == Tipo::Texto; }
    bool EsNumero() const { return tipo() == Tipo::Numero; }
    bool EsObjeto() const { return tipo() == Tipo::Objeto; }
    bool EsArreglo() const { return tipo() == Tipo::Arreglo; }

    bool Booleano() const { return EsBooleano() && std::get<bool>(datos_); }
    // The text of a text value; empty for any other kind.
    const QString& Texto() const;
    // The number of a number value; zero for any other kind.
    const cDecimal& Numero() const;
    // The collection, or nullptr for any other kind.
    cJSONObjeto* Objeto() const;
    cJSONArreglo* Arreglo() const;
    const std::shared_ptr<cJSONObjeto>& ObjetoCompartido() const;
    const std::shared_ptr<cJSONArreglo>& ArregloCompartido() const;

private:
    struct NuloT {};
    using Datos = std::variant<std::monostate, NuloT, bool, QString, cDecimal, std::shared_ptr<cJSONObjeto>,
                               std::shared_ptr<cJSONArreglo>>;
    Datos datos_;
};

// Entries kept in insertion order; keys compared exactly (letter case
// matters). Adding a key already present fails with error 457.
class cJSONObjeto {
public:
    using Entrada = std::pair<QString, cJSONValor>;

    cJSONObjeto() = default;
    ~cJSONObjeto();
    cJSONObjeto(const cJSONObjeto&) = delete;
    cJSONObjeto& operator=(const cJSONObjeto&) = delete;

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
    const std::vector<Entrada>& Entradas() const { return entradas_; }

private:
    qsizetype Busca(const QString& clave) const;

    std::vector<Entrada> entradas_;
    std::unique_ptr<QHash<QString, qsizetype>> indice_;  // built for larger objects
};

// Elements addressed from 1 in insertion order.
class cJSONArreglo {
public:
    cJSONArreglo() = default;
    ~cJSONArreglo();
    cJSONArreglo(const cJSONArreglo&) = delete;
    cJSONArreglo& operator=(const cJSONArreglo&) = delete;

    qsizetype Count() const { return static_cast<qsizetype>(elementos_.size()); }
    // 1-based; error 9 outside 1..Count.
    const cJSONValor& Item(qsizetype i) const;
    void Add(cJSONValor valor) { elementos_.push_back(std::move(valor)); }
    void Reserva(qsizetype n) { elementos_.reserve(static_cast<std::size_t>(n)); }
    const std::vector<cJSONValor>& Elementos() const { return elementos_; }

private:
    std::vector<cJSONValor> elementos_;
};
