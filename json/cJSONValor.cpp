#include "json/cJSONValor.h"

#include "platform/Fallo.h"

static_assert(sizeof(cJSONValor) == 16);
static_assert(sizeof(cJSONArreglo) == 32);

cJSONValor cJSONValor::Nulo() {
    cJSONValor v;
    v.tipo_ = Tipo::Nulo;
    return v;
}

cJSONValor::cJSONValor(cDecimal d) : tipo_(Tipo::Numero) {
    if (d.EnUnaPalabra()) {
        u_.mantisa = d.Mantisa();
        exponente_ = static_cast<int32_t>(d.Exponente());
        marcas_ = d.Negativo() ? kNegativo : 0;
    } else {
        u_.d = new cDecimal(std::move(d));
        marcas_ = kLargo;
    }
}

cJSONValor cJSONValor::TextoEnArena(cArenaJSON* arena, QString t) {
    cJSONValor v;
    v.u_.t = new (arena->Pide(sizeof(QString), alignof(QString))) QString(std::move(t));
    v.marcas_ = kEnArena;
    v.tipo_ = Tipo::Texto;
    return v;
}

void cJSONValor::CopiaDe(const cJSONValor& o) {
    switch (tipo_) {
        case Tipo::Booleano: u_.b = o.u_.b; break;
        case Tipo::Texto: u_.t = new QString(*o.u_.t); break;
        case Tipo::Numero:
            marcas_ = o.marcas_;
            exponente_ = o.exponente_;
            if (marcas_ & kLargo)
                u_.d = new cDecimal(*o.u_.d);
            else
                u_.mantisa = o.u_.mantisa;
            break;
        case Tipo::Objeto:
            u_.o = o.u_.o;
            u_.o->holders_.fetch_add(1, std::memory_order_relaxed);
            break;
        case Tipo::Arreglo:
            u_.a = o.u_.a;
            u_.a->holders_.fetch_add(1, std::memory_order_relaxed);
            break;
        default: break;
    }
}

const QString& cJSONValor::Texto() const {
    static const QString vacio;
    return EsTexto() ? *u_.t : vacio;
}

cDecimal cJSONValor::Numero() const {
    if (!EsNumero()) return {};
    if (marcas_ & kLargo) return *u_.d;
    return cDecimal::DePartes(u_.mantisa, exponente_, marcas_ & kNegativo);
}

cJSONValor::cJSONValor(std::unique_ptr<cJSONObjeto> o) noexcept : cJSONValor(Adopta(o.release())) {}
cJSONValor::cJSONValor(std::unique_ptr<cJSONArreglo> a) noexcept : cJSONValor(Adopta(a.release())) {}

template <class C>
cJSONValor cJSONValor::Adopta(C* c, Tipo tipo, C* Datos::*campo) noexcept {
    cJSONValor v;
    c->holders_.store(1, std::memory_order_relaxed);
    v.tipo_ = tipo;
    v.u_.*campo = c;
    return v;
}

cJSONValor cJSONValor::Adopta(cJSONObjeto* o) noexcept { return Adopta(o, Tipo::Objeto, &Datos::o); }
cJSONValor cJSONValor::Adopta(cJSONArreglo* a) noexcept { return Adopta(a, Tipo::Arreglo, &Datos::a); }

// Releasing a tree: collections are destroyed recursively down to
// kNivelDirecto levels; deeper ones are handed to the outermost destructor,
// which releases them one by one. So a tree of any depth never takes more
// than kNivelDirecto nested destructor calls.
// Within the outermost destructor the counts given back to an arena are
// gathered and given back at its end, in one step (the collection being
// destroyed still holds its own count, so the arena outlives it).
namespace {
constexpr int kNivelDirecto = 64;
thread_local int tNivel = 0;
thread_local std::vector<cJSONValor>* tPendientes = nullptr;
thread_local cArenaJSON* tArena = nullptr;
thread_local long tCuentaArena = 0;

void DevuelveJuntas() noexcept {
    if (tArena) tArena->Suelta(tCuentaArena);
    tArena = nullptr;
    tCuentaArena = 0;
}

void DevuelveArena(cArenaJSON* arena) noexcept {
    if (!tPendientes) {
        arena->Suelta();
        return;
    }
    if (arena != tArena) {
        DevuelveJuntas();
        tArena = arena;
    }
    ++tCuentaArena;
}

template <class C>
void Destruye(C* c) noexcept {
    cArenaJSON* arena = c->Arena();
    if (!arena) {
        delete c;
        return;
    }
    c->~C();
    DevuelveArena(arena);
}

template <class Hijos, class Valor>
void Desmonta(Hijos& hijos, Valor valor) {
    if (tNivel >= kNivelDirecto) {
        for (auto& h : hijos)
            if (valor(h).EsObjeto() || valor(h).EsArreglo()) tPendientes->push_back(std::move(valor(h)));
        return;
    }
    std::vector<cJSONValor> pendientes;
    const bool exterior = tPendientes == nullptr;
    if (exterior) tPendientes = &pendientes;
    ++tNivel;
    hijos.clear();
    if (exterior) {
        while (!pendientes.empty()) {
            cJSONValor v = std::move(pendientes.back());
            pendientes.pop_back();
        }
        DevuelveJuntas();
        tPendientes = nullptr;
    }
    --tNivel;
}
}  // namespace

void cJSONValor::Suelta(cJSONObjeto* o) noexcept {
    if (o->Ultimo()) Destruye(o);
}

void cJSONValor::Suelta(cJSONArreglo* a) noexcept {
    if (a->Ultimo()) Destruye(a);
}

// Texts that share one buffer (those of a read document do) give back
// their counts of it in one step: all but the first of a run of them are
// emptied without their own step, and the first is released as usual
// afterwards, so the count never reaches zero here.
class CuentasJuntas {
public:
    CuentasJuntas() = default;
    CuentasJuntas(const CuentasJuntas&) = delete;
    CuentasJuntas& operator=(const CuentasJuntas&) = delete;
    ~CuentasJuntas() { Devuelve(); }

    void Pasa(QString* t) noexcept {
        if (!t) return;
        QArrayData* d = t->data_ptr().d_ptr();
        if (!d) return;
        if (d != d_) {
            Devuelve();
            d_ = d;  // the first of the run keeps its count
            return;
        }
        ++n_;
        new (t) QString();  // its count goes back with the run's
    }

private:
    void Devuelve() noexcept {
        if (n_) d_->ref_.fetchAndSubRelease(n_);
        n_ = 0;
    }
    QArrayData* d_ = nullptr;
    int n_ = 0;
};

cJSONObjeto::~cJSONObjeto() {
    {
        CuentasJuntas cuentas;
        for (Entrada& e : entradas_) {
            cuentas.Pasa(&e.first);
            cuentas.Pasa(e.second.TextoPropio());
        }
    }
    Desmonta(entradas_, [](Entrada& e) -> cJSONValor& { return e.second; });
}

cJSONArreglo::~cJSONArreglo() {
    if (elementos_.Triviales()) return;  // nothing in it to release
    {
        CuentasJuntas cuentas;
        for (cJSONValor& e : elementos_) cuentas.Pasa(e.TextoPropio());
    }
    Desmonta(elementos_, [](cJSONValor& e) -> cJSONValor& { return e; });
}

qsizetype cJSONObjeto::Busca(const QString& clave) const {
    if (indice_) return indice_->value(clave, -1);
    for (std::size_t i = 0; i < entradas_.size(); ++i)
        if (entradas_[i].first == clave) return static_cast<qsizetype>(i);
    return -1;
}

const cJSONValor* cJSONObjeto::Item(const QString& clave) const {
    const qsizetype i = Busca(clave);
    return i < 0 ? nullptr : &entradas_[static_cast<std::size_t>(i)].second;
}

void cJSONObjeto::Add(QString clave, cJSONValor valor) {
    if (Busca(clave) >= 0)
        throw Fallo(457, QStringLiteral("Esta clave ya está asociada con un elemento de esta colección"),
                    QStringLiteral("JSON"));
    AgregaNueva(std::move(clave), std::move(valor));
}

namespace {
constexpr std::size_t kConIndice = 12;
}

void cJSONObjeto::Indexa() {
    if (!indice_ && entradas_.size() > kConIndice) HazIndice();
}

void cJSONObjeto::HazIndice() {
    auto indice = std::make_unique<QHash<QString, qsizetype>>();
    indice->reserve(static_cast<qsizetype>(entradas_.size() * 2));
    for (std::size_t i = 0; i < entradas_.size(); ++i) indice->insert(entradas_[i].first, static_cast<qsizetype>(i));
    indice_ = std::move(indice);
}

void cJSONObjeto::AgregaNueva(QString clave, cJSONValor valor) {
    if (!indice_ && entradas_.size() + 1 > kConIndice) HazIndice();
    if (indice_) indice_->insert(clave, static_cast<qsizetype>(entradas_.size()));
    entradas_.emplace_back(std::move(clave), std::move(valor));
}

void cJSONObjeto::Establece(const QString& clave, cJSONValor valor) {
    const qsizetype i = Busca(clave);
    if (i >= 0)
        entradas_[static_cast<std::size_t>(i)].second = std::move(valor);
    else
        Add(clave, std::move(valor));
}

const cJSONValor& cJSONArreglo::Item(qsizetype i) const {
    if (i < 1 || i > Count())
        throw Fallo(NumeroFallo::Subindice, QStringLiteral("El subíndice está fuera del intervalo"),
                    QStringLiteral("JSON"));
    return elementos_[static_cast<std::size_t>(i - 1)];
}
