#include "json/cJSONValor.h"

#include "frame/platform/Fallo.h"

static_assert(sizeof(cJSONValor) == 32);

cJSONValor cJSONValor::Nulo() {
    cJSONValor v;
    v.tipo_ = Tipo::Nulo;
    return v;
}

void cJSONValor::CopiaDe(const cJSONValor& o) {
    switch (tipo_) {
        case Tipo::Booleano: u_.b = o.u_.b; break;
        case Tipo::Texto: new (&u_.t) QString(o.u_.t); break;
        case Tipo::Numero: new (&u_.d) cDecimal(o.u_.d); break;
        case Tipo::Objeto: new (&u_.o) std::shared_ptr<cJSONObjeto>(o.u_.o); break;
        case Tipo::Arreglo: new (&u_.a) std::shared_ptr<cJSONArreglo>(o.u_.a); break;
        default: break;
    }
}

const QString& cJSONValor::Texto() const {
    static const QString vacio;
    return EsTexto() ? u_.t : vacio;
}

const cDecimal& cJSONValor::Numero() const {
    static const cDecimal cero;
    return EsNumero() ? u_.d : cero;
}

const std::shared_ptr<cJSONObjeto>& cJSONValor::ObjetoCompartido() const {
    static const std::shared_ptr<cJSONObjeto> nada;
    return EsObjeto() ? u_.o : nada;
}

const std::shared_ptr<cJSONArreglo>& cJSONValor::ArregloCompartido() const {
    static const std::shared_ptr<cJSONArreglo> nada;
    return EsArreglo() ? u_.a : nada;
}

// Releasing a tree: collections are destroyed recursively down to
// kNivelDirecto levels; deeper ones are handed to the outermost destructor,
// which releases them one by one. So a tree of any depth never takes more
// than kNivelDirecto nested destructor calls.
namespace {
constexpr int kNivelDirecto = 64;
thread_local int tNivel = 0;
thread_local std::vector<cJSONValor>* tPendientes = nullptr;

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
        tPendientes = nullptr;
    }
    --tNivel;
}
}  // namespace

cJSONObjeto::~cJSONObjeto() {
    Desmonta(entradas_, [](Entrada& e) -> cJSONValor& { return e.second; });
}

cJSONArreglo::~cJSONArreglo() {
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

void cJSONObjeto::AgregaNueva(QString clave, cJSONValor valor) {
    constexpr std::size_t kConIndice = 12;
    if (!indice_ && entradas_.size() + 1 > kConIndice) {
        indice_ = std::make_unique<QHash<QString, qsizetype>>();
        indice_->reserve(static_cast<qsizetype>(entradas_.size() * 2));
        for (std::size_t i = 0; i < entradas_.size(); ++i)
            indice_->insert(entradas_[i].first, static_cast<qsizetype>(i));
    }
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
