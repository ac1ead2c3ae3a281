#include "json/JSON.h"

#include "platform/Fallo.h"

#include <QSet>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

// Implementation choices where the format leaves room:
// - Numbers: "." is the decimal point and an exponent is accepted; the
//   value keeps every digit (cDecimal). A text that is not such a number
//   fails with "No coinciden los tipos", an exponent beyond the limit with
//   "Desbordamiento".
// - An invalid true, false or null literal leaves the position on it. An
//   array then passes the literal (its run of letters) and goes on, so it
//   never reads the same literal again; an object moves on by itself, as
//   its next key is read from there.
// - Comments: a line comment runs to the line end and a block comment to
//   the next "*/", whatever they hold (a "/" inside a line comment or a
//   "**/" does not end them early). Between tokens, a lone "/" or "*" is
//   passed like a blank.
// - A quote of the other kind inside a quoted key is part of the key.
// - The messages that quote the rest of the text quote at most
//   kCitaResto characters of it, so that a long text with many faults
//   does not make an error text of quadratic size.
// - The reading keeps its own stack of open collections instead of
//   recursing: any depth of nesting is read.
// - Texts and keys keep their characters exactly as read (a leading
//   U+FEFF too). They are slices of one buffer of the reading, where their
//   characters are written one text after another, each ended by a 0: they
//   share it, so a text read from a large document keeps that buffer alive
//   while it lives.

namespace {

QString& Errores() {
    static QString errores;
    return errores;
}

constexpr qsizetype kCitaResto = 200;

const QString& DescripcionTipos() {
    static const QString d = QStringLiteral("No coinciden los tipos");
    return d;
}

const QString& DescripcionDesbordamiento() {
    static const QString d = QStringLiteral("Desbordamiento");
    return d;
}

inline bool EsDeNumero(char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E';
}

inline bool EsLetra(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

class Lector {
public:
    Lector(const QString& texto, QString& errores)
        : texto_(texto),
          s_(reinterpret_cast<const char16_t*>(texto.constData())),
          n_(texto.size()),
          errores_(errores),
          pila_(pilas_.p->pila),
          valores_(pilas_.p->valores),
          claves_(pilas_.p->claves),
          huellas_(pilas_.p->huellas),
          arena_(new cArenaJSON(static_cast<std::size_t>(n_) * 4)) {
        arena_->Toma();
    }
    // Values a failure left on the stacks may keep their texts in the
    // arena: they go before it.
    ~Lector() {
        valores_.Recorta(0);
        claves_.Recorta(0);
        if (cupoTextos_) textos_.data_ptr().d_ptr()->ref_.fetchAndSubRelaxed(cupoTextos_);
        arena_->Suelta(cupo_ + 1);
    }
    Lector(const Lector&) = delete;
    Lector& operator=(const Lector&) = delete;

    cJSONValor LeeDocumento();

private:
    // An open collection. Its values (and an object's keys) wait on the
    // reader's stacks until it ends, and then move into it at once.
    struct Marco {
        bool objeto = false;
        std::size_t inicio = 0;        // its first value in valores_
        std::size_t inicioClaves = 0;  // its first key in claves_
        QString clave;                 // the entry being read
        uint32_t huella = 0;           // and its key's hash
        uint64_t mascara = 0;          // a bit for each key's hash
        std::unique_ptr<QSet<QString>> vistas;  // keys, for larger objects
    };

    // The stacks are kept by the thread from one document to the next, so
    // a large document does not grow them from nothing (each growth maps
    // fresh memory). A reading inside another takes stacks of its own.
    struct Pilas {
        std::vector<Marco> pila;
        cListaJSON<cJSONValor> valores;
        cListaJSON<QString> claves;
        std::vector<uint32_t> huellas;  // of the keys, one for one

        static Pilas* Toma() {
            Pilas*& libres = Libres();
            Pilas* p = libres ? libres : new Pilas;
            libres = nullptr;
            return p;
        }
        static void Devuelve(Pilas* p) {
            // Emptied in any case; what grew beyond kRetenido is given back.
            constexpr std::size_t kRetenido = std::size_t(8) << 20;
            p->pila.clear();
            p->valores.Recorta(0);
            p->claves.Recorta(0);
            p->huellas.clear();
            if (p->valores.capacity() * sizeof(cJSONValor) > kRetenido) p->valores.Libera();
            if (p->claves.capacity() * sizeof(QString) > kRetenido) p->claves.Libera();
            if (p->pila.capacity() * sizeof(Marco) > kRetenido) std::vector<Marco>().swap(p->pila);
            if (p->huellas.capacity() * sizeof(uint32_t) > kRetenido) std::vector<uint32_t>().swap(p->huellas);
            Pilas*& libres = Libres();
            if (libres)
                delete p;
            else
                libres = p;
        }
        static Pilas*& Libres() {
            struct Guardadas {
                Pilas* p = nullptr;
                ~Guardadas() { delete p; }
            };
            thread_local Guardadas g;
            return g.p;
        }
    };

    void Agrega(const QString& mensaje) {
        errores_ += mensaje;
        errores_ += QLatin1String("\r\n");
    }
    QString Desde(qsizetype desde, qsizetype largo) const { return texto_.mid(desde, largo); }
    QString Ultimos20() const { return texto_.right(20); }

    // The buffer the texts and keys are written to, the next one from
    // usados_ on. Each takes at least one character of the document more
    // than it writes (a quote, a ":", a "{" or a ","), except the one the
    // document's end cuts: the document's size and one more is room enough.
    char16_t* Textos();
    // Appends n characters to the text being written from `inicio`.
    void Escribe(qsizetype inicio, qsizetype escritos, const char16_t* p, qsizetype n);
    // The `largo` characters written from `inicio`, as a text sharing the
    // buffer; a 0 ends them, as every text ends.
    QString Rebanada(qsizetype inicio, qsizetype largo);
    // The key of `largo` characters at `k`, as the same key read before
    // when it was (its characters written once for all); its hash in
    // huella_. `k` is the document, or the buffer from usados_, where a
    // key read piecemeal is written.
    QString Clave(const char16_t* k, qsizetype largo);

    // Filler: blanks, line ends, parentheses, "/" and "*" (comments).
    static bool PuedeSerRelleno(char16_t c) {
        constexpr uint64_t kMascara = (uint64_t(1) << '\t') | (uint64_t(1) << '\n') | (uint64_t(1) << '\r') |
                                      (uint64_t(1) << ' ') | (uint64_t(1) << '(') | (uint64_t(1) << ')') |
                                      (uint64_t(1) << '*') | (uint64_t(1) << '/');
        return c < 64 && ((kMascara >> c) & 1);
    }
    void SaltaRelleno() {
        if (pos_ < n_ && PuedeSerRelleno(s_[pos_])) {
            // The common filler: one blank before what comes.
            if (s_[pos_] == u' ' && pos_ + 1 < n_ && !PuedeSerRelleno(s_[pos_ + 1]))
                ++pos_;
            else
                PasaRelleno();
        }
    }
    void PasaRelleno();
    QString LeeClave();
    // A value that is not a collection; false with the failure's
    // description when it cannot be read.
    bool LeeEscalar(cJSONValor& valor, QString& descripcion);
    QString LeeTexto();
    bool LeeNumero(cJSONValor& valor, QString& descripcion);
    // The number at the position, into `valor`; nullptr, or the failure's
    // description.
    const QString* LeeNumeroEn(cJSONValor& valor);
    // The literal's characters come next.
    template <std::size_t N>
    bool Sigue(const char16_t (&literal)[N]) const {
        constexpr qsizetype n = N - 1;
        return pos_ + n <= n_ && std::equal(literal, literal + n, s_ + pos_);
    }
    cJSONValor LeeBooleano();
    cJSONValor LeeNulo();

    void Abre(bool objeto);
    // Ends the innermost collection and gives it to the one around it.
    void Cierra();
    // Puts a value into the innermost collection; a failure to add it
    // ends that collection.
    void Entrega(cJSONValor&& valor);
    // False, with its message, when the innermost object refuses the value.
    bool Acepta(cJSONValor& valor);
    void FalloEntrada(const QString& descripcion);

    const QString& texto_;
    const char16_t* s_;
    qsizetype n_;
    qsizetype pos_ = 0;  // 0-based here; messages give it 1-based
    QString& errores_;
    bool Repetida(Marco& m) const;

    struct Prestadas {
        Pilas* p = Pilas::Toma();
        Prestadas() = default;
        Prestadas(const Prestadas&) = delete;
        Prestadas& operator=(const Prestadas&) = delete;
        ~Prestadas() { Pilas::Devuelve(p); }
    } pilas_;
    std::vector<Marco>& pila_;
    cListaJSON<cJSONValor>& valores_;
    cListaJSON<QString>& claves_;
    std::vector<uint32_t>& huellas_;
    cJSONValor raiz_;
    QString textos_;
    char16_t* b_ = nullptr;
    qsizetype usados_ = 0;
    // Counts of the buffer taken in batches for the texts (one each).
    int cupoTextos_ = 0;
    // Keys read lately, by a hash of their characters: where they were
    // written, and their length (0: none).
    struct Vista {
        qsizetype inicio = 0;
        qsizetype largo = 0;
    };
    static constexpr qsizetype kClaveCorta = 32;
    Vista vistas_[64];
    uint32_t huella_ = 0;  // of the last key read
    // The collections' storage; each collection keeps it alive. The reader
    // holds one count of it and takes counts for the collections it builds
    // in batches (cupo_ left of the last one).
    cArenaJSON* arena_;
    long cupo_ = 0;
    // Room in the arena for a collection, with its count, and `mas` bytes
    // right after it.
    template <class C>
    C* NuevaColeccion(std::size_t mas = 0) {
        void* lugar = arena_->Pide(sizeof(C) + mas, alignof(C));
        if (cupo_ == 0) {
            constexpr long kLote = 1024;
            arena_->Toma(kLote);
            cupo_ = kLote;
        }
        --cupo_;
        return new (lugar) C(arena_);
    }
};

// The empty text the reading gives for "" and empty keys (not null).
QString VaciaNoNula() { return QString(reinterpret_cast<const QChar*>(u""), 0); }

char16_t* Lector::Textos() {
    if (!b_) {
        // Only the pages written to are ever taken. A large buffer is
        // taken with room to start on a huge page's boundary: where the
        // system backs it with huge pages, writing the texts faults a few
        // pages in, not thousands.
        constexpr std::size_t kPagina = MemoriaJSON::kPaginaEnorme;
        std::size_t bytes = static_cast<std::size_t>(n_ + 1) * sizeof(char16_t);
        const bool enormes = bytes >= MemoriaJSON::kMemoriaGrande;
        if (enormes) bytes = MemoriaJSON::AEnorme(bytes);
        textos_.resize(static_cast<qsizetype>((bytes + (enormes ? kPagina : 0)) / sizeof(char16_t)));
        auto inicio = reinterpret_cast<std::uintptr_t>(textos_.data());
        if (enormes) inicio = MemoriaJSON::AEnorme(inicio);
        b_ = reinterpret_cast<char16_t*>(inicio);
        MemoriaJSON::Enormes(b_, bytes);
    }
    return b_;
}

void Lector::Escribe(qsizetype inicio, qsizetype escritos, const char16_t* p, qsizetype n) {
    if (inicio + escritos + n >= n_ + 1) throw std::length_error("JSON: texts beyond their buffer");
    std::copy(p, p + n, Textos() + inicio + escritos);
}

// A hash of a key's characters, taken four at a time.
uint32_t Huella(const char16_t* k, qsizetype n) {
    constexpr uint64_t kMezcla = 0x9E3779B97F4A7C15ull;
    uint64_t h = static_cast<uint64_t>(n) * kMezcla;
    auto mezcla = [&](uint64_t w) {
        h = (h ^ w) * kMezcla;
        h ^= h >> 29;
    };
    if (n >= 4) {
        qsizetype i = 0;
        for (; i + 4 <= n; i += 4) {
            uint64_t w;
            std::memcpy(&w, k + i, sizeof w);
            mezcla(w);
        }
        if (i < n) {  // the last four, overlapping those taken
            uint64_t w;
            std::memcpy(&w, k + n - 4, sizeof w);
            mezcla(w);
        }
    } else {
        uint64_t w = 0;
        for (qsizetype i = 0; i < n; ++i) w = (w << 16) | k[i];
        mezcla(w);
    }
    return static_cast<uint32_t>(h ^ (h >> 32));
}

// The n characters at a and b are the same (n of a short key).
inline bool Iguales(const char16_t* a, const char16_t* b, qsizetype n) {
    if (n < 4) {
        for (qsizetype i = 0; i < n; ++i)
            if (a[i] != b[i]) return false;
        return true;
    }
    uint64_t x, y;
    for (qsizetype i = 0; i + 4 <= n; i += 4) {
        std::memcpy(&x, a + i, sizeof x);
        std::memcpy(&y, b + i, sizeof y);
        if (x != y) return false;
    }
    std::memcpy(&x, a + n - 4, sizeof x);
    std::memcpy(&y, b + n - 4, sizeof y);
    return x == y;
}

QString Lector::Clave(const char16_t* k, qsizetype largo) {
    const uint32_t h = Huella(k, largo);
    huella_ = h;
    const bool escrita = k == Textos() + usados_;
    if (largo <= kClaveCorta) {
        Vista& v = vistas_[(h ^ (h >> 16)) & 63];
        if (v.largo == largo && Iguales(k, b_ + v.inicio, largo)) return Rebanada(v.inicio, largo);
        v = {usados_, largo};
    }
    if (!escrita) Escribe(usados_, 0, k, largo);
    return Rebanada(usados_, largo);
}

QString Lector::Rebanada(qsizetype inicio, qsizetype largo) {
    char16_t* b = Textos();
    if (inicio == usados_) {
        b[inicio + largo] = 0;
        usados_ = inicio + largo + 1;
    }
    QArrayData* d = textos_.data_ptr().d_ptr();
    if (cupoTextos_ == 0) {
        constexpr int kLote = 4096;
        d->ref_.fetchAndAddRelaxed(kLote);
        cupoTextos_ = kLote;
    }
    --cupoTextos_;
    return QString(QString::DataPointer(static_cast<QTypedArrayData<char16_t>*>(d), b + inicio, largo));
}

void Lector::PasaRelleno() {
    bool barra = false;
    while (pos_ < n_) {
        const char16_t c = s_[pos_];
        if (c > u'/') return;
        switch (c) {
            case u'\r':
            case u'\n':
                barra = false;
                break;
            case u'\t':
            case u' ':
            case u'(':
            case u')':
                break;
            case u'/':
                if (barra) {  // a line comment, up to the line end
                    barra = false;
                    while (pos_ + 1 < n_ && s_[pos_ + 1] != u'\r' && s_[pos_ + 1] != u'\n') ++pos_;
                } else {
                    barra = true;
                }
                break;
            case u'*':
                if (barra) {  // a block comment, up to the next "*/"
                    barra = false;
                    ++pos_;
                    while (pos_ < n_ && !(s_[pos_] == u'*' && pos_ + 1 < n_ && s_[pos_ + 1] == u'/')) ++pos_;
                    if (pos_ >= n_) return;
                    ++pos_;  // on the "/"
                } else {
                    barra = true;
                }
                break;
            default:
                return;
        }
        ++pos_;
    }
}

cJSONValor Lector::LeeDocumento() {
    SaltaRelleno();
    if (pos_ >= n_ || (s_[pos_] != u'{' && s_[pos_] != u'[')) {
        errores_ = QStringLiteral("Invalid JSON");
        return {};
    }
    Abre(s_[pos_] == u'{');
    while (!pila_.empty()) {
        const bool objeto = pila_.back().objeto;
        SaltaRelleno();
        if (pos_ >= n_) {
            Agrega((objeto ? QStringLiteral("Missing '}': ") : QStringLiteral("Missing ']': ")) + Ultimos20());
            Cierra();
            continue;
        }
        if (s_[pos_] == (objeto ? u'}' : u']')) {
            ++pos_;
            Cierra();
            continue;
        }
        if (s_[pos_] == u',') {
            ++pos_;
            SaltaRelleno();
        }
        if (objeto) {
            Marco& m = pila_.back();
            m.clave = LeeClave();
            m.huella = huella_;
        }
        SaltaRelleno();
        if (pos_ < n_ && (s_[pos_] == u'{' || s_[pos_] == u'[')) {
            Abre(s_[pos_] == u'{');
            continue;
        }
        if (!objeto && pos_ < n_) {
            const char16_t c = s_[pos_];
            if (c != u'"' && c != u'\'' && c != u't' && c != u'f' && c != u'n') {
                // A number in an array: read straight onto the stack.
                if (const QString* fallo = LeeNumeroEn(valores_.emplace_back())) {
                    valores_.Recorta(valores_.size() - 1);
                    FalloEntrada(*fallo);
                }
                continue;
            }
        }
        const qsizetype antes = pos_;
        cJSONValor valor;
        QString descripcion;
        if (!LeeEscalar(valor, descripcion)) {
            FalloEntrada(descripcion);
            continue;
        }
        Entrega(std::move(valor));
        if (!objeto && pos_ == antes && !pila_.empty() && !pila_.back().objeto) {
            // An invalid literal: pass it, so it is not read again.
            do ++pos_;
            while (pos_ < n_ && EsLetra(s_[pos_]));
        }
    }
    return std::move(raiz_);
}

void Lector::Abre(bool objeto) {
    Marco& m = pila_.emplace_back();
    m.objeto = objeto;
    m.inicio = valores_.size();
    m.inicioClaves = claves_.size();
    ++pos_;  // the "{" or "["
}

void Lector::Cierra() {
    // A collection the one around it refuses (a repeated key) ends that
    // one too: a loop, not a recursion, however many levels it takes.
    for (;;) {
        const Marco& m = pila_.back();
        cJSONValor* const desde = valores_.begin() + m.inicio;
        cJSONValor v;
        if (m.objeto) {
            // The entries right after the object, in one block of exactly
            // their size.
            using Entrada = cJSONObjeto::Entrada;
            static_assert(sizeof(cJSONObjeto) % alignof(Entrada) == 0);
            const std::size_t n = valores_.size() - m.inicio;
            cJSONObjeto* o = NuevaColeccion<cJSONObjeto>(n * sizeof(Entrada));
            v = cJSONValor::Adopta(o);
            auto* entradas = reinterpret_cast<Entrada*>(o + 1);
            cJSONObjeto::Lista& lista = o->EntradasPorLlenar();
            lista.Adopta(entradas, n);
            QString* clave = claves_.begin() + m.inicioClaves;
            for (std::size_t i = 0; i < n; ++i) new (entradas + i) Entrada(std::move(clave[i]), std::move(desde[i]));
            claves_.OlvidaMovidos(m.inicioClaves);
            huellas_.resize(m.inicioClaves);
            o->Indexa();
        } else {
            const std::size_t n = valores_.size() - m.inicio;
            if (pila_.size() == 1 && valores_.capacity() * sizeof(cJSONValor) >= MemoriaJSON::kMemoriaGrande) {
                // A large root takes the stack's memory as it is.
                cJSONArreglo* a = NuevaColeccion<cJSONArreglo>();
                v = cJSONValor::Adopta(a);
                a->ElementosPorLlenar().TomaDe(valores_);
            } else {
                // The elements right after the array, in one block of
                // exactly their size.
                static_assert(sizeof(cJSONArreglo) % alignof(cJSONValor) == 0);
                cJSONArreglo* a = NuevaColeccion<cJSONArreglo>(n * sizeof(cJSONValor));
                v = cJSONValor::Adopta(a);
                auto* elementos = reinterpret_cast<cJSONValor*>(a + 1);
                // Mostly a few elements: copied one by one, not by a call.
                bool triviales = true;
                for (std::size_t i = 0; i < n; ++i) {
                    triviales &= desde[i].Trivial();
                    std::memcpy(static_cast<void*>(elementos + i), static_cast<const void*>(desde + i),
                                sizeof(cJSONValor));
                }
                cJSONArreglo::Lista& lista = a->ElementosPorLlenar();
                lista.Adopta(elementos, n);
                if (triviales) lista.SonTriviales();
            }
        }
        valores_.OlvidaMovidos(m.inicio);
        pila_.pop_back();
        if (pila_.empty()) {
            raiz_ = std::move(v);
            return;
        }
        if (Acepta(v)) return;
    }
}

bool Lector::Repetida(Marco& m) const {
    constexpr std::size_t kConConjunto = 12;
    const std::size_t n = claves_.size() - m.inicioClaves;
    if (!m.vistas) {
        if (m.mascara & (uint64_t(1) << (m.huella & 63)))
            for (std::size_t i = m.inicioClaves; i < claves_.size(); ++i)
                if (huellas_[i] == m.huella && claves_[i] == m.clave) return true;
        if (n + 1 < kConConjunto) return false;
        m.vistas = std::make_unique<QSet<QString>>();
        for (std::size_t i = m.inicioClaves; i < claves_.size(); ++i) m.vistas->insert(claves_[i]);
        return false;
    }
    return m.vistas->contains(m.clave);
}

bool Lector::Acepta(cJSONValor& valor) {
    Marco& m = pila_.back();
    if (!m.objeto) {
        valores_.push_back(std::move(valor));
        return true;
    }
    if (Repetida(m)) {
        Agrega(QStringLiteral("Esta clave ya está asociada con un elemento de esta colección: ") + m.clave);
        return false;
    }
    if (m.vistas) m.vistas->insert(m.clave);
    huellas_.push_back(m.huella);
    m.mascara |= uint64_t(1) << (m.huella & 63);
    claves_.push_back(std::move(m.clave));
    valores_.push_back(std::move(valor));
    return true;
}

void Lector::Entrega(cJSONValor&& valor) {
    if (!Acepta(valor)) Cierra();
}

void Lector::FalloEntrada(const QString& descripcion) {
    const Marco& m = pila_.back();
    Agrega(descripcion + QLatin1String(": ") + (m.objeto ? m.clave : Desde(pos_, 20)));
    Cierra();
}

QString Lector::LeeClave() {
    SaltaRelleno();
    // The key's characters are written to the texts' buffer as they come.
    qsizetype largo = 0;
    auto junta = [&](qsizetype desde, qsizetype n) {
        Escribe(usados_, largo, s_ + desde, n);
        largo += n;
    };
    auto clave = [&]() {
        if (largo > 0) return Clave(Textos() + usados_, largo);
        huella_ = Huella(nullptr, 0);
        return VaciaNoNula();
    };
    char16_t comilla = 0;  // the quote the key is inside, if any
    while (pos_ < n_) {
        const char16_t c = s_[pos_];
        if ((c == u'"' || c == u'\'') && (comilla == 0 || comilla == c)) {
            ++pos_;
            if (comilla == 0) {
                comilla = c;
                // The common case: a plain quoted key followed by ":".
                qsizetype fin = pos_;
                while (fin < n_ && s_[fin] != c && s_[fin] > u' ' && s_[fin] != u'"' && s_[fin] != u'\'') ++fin;
                if (fin < n_ && s_[fin] == c && fin > pos_) {
                    // Read in place: only a key not seen lately is written.
                    const qsizetype desde = pos_;
                    pos_ = fin + 1;
                    SaltaRelleno();
                    if (pos_ < n_ && s_[pos_] == u':') {
                        ++pos_;
                        return Clave(s_ + desde, fin - desde);
                    }
                    junta(desde, fin - desde);
                } else {
                    continue;
                }
            }
            // The closing quote: a ":" must follow.
            comilla = 0;
            SaltaRelleno();
            if (pos_ < n_ && s_[pos_] == u':') {
                ++pos_;
                return clave();
            }
            QString k = clave();
            Agrega(QStringLiteral("Invalid Key at position %1 : ").arg(pos_ + 1) + k);
            return k;
        }
        ++pos_;
        if (c == u':') {
            if (comilla == 0) break;
            junta(pos_ - 1, 1);
        } else if (c != u'\r' && c != u'\n' && c != u'\t' && c != u' ') {
            junta(pos_ - 1, 1);
        }
    }
    return clave();
}

bool Lector::LeeEscalar(cJSONValor& valor, QString& descripcion) {
    SaltaRelleno();
    const char16_t c = pos_ < n_ ? s_[pos_] : 0;
    switch (c) {
        case u'"':
        case u'\'':
            valor = cJSONValor::TextoEnArena(arena_, LeeTexto());
            return true;
        case u't':
        case u'f':
            valor = LeeBooleano();
            return true;
        case u'n':
            valor = LeeNulo();
            return true;
        default:
            return LeeNumero(valor, descripcion);
    }
}

QString Lector::LeeTexto() {
    const char16_t comilla = s_[pos_++];
    const qsizetype inicio = pos_;
    while (pos_ < n_ && s_[pos_] != comilla && s_[pos_] != u'\\') ++pos_;
    if (pos_ >= n_ || s_[pos_] == comilla) {
        const qsizetype largo = pos_ - inicio;
        if (pos_ < n_) ++pos_;
        if (largo == 0) return VaciaNoNula();
        Escribe(usados_, 0, s_ + inicio, largo);
        return Rebanada(usados_, largo);
    }
    // Escapes: the decoded text never takes more characters than it was
    // written with.
    Escribe(usados_, 0, s_ + inicio, pos_ - inicio);
    char16_t* b = Textos() + usados_ - inicio;  // b[inicio] is the text's first
    qsizetype w = pos_;
    while (pos_ < n_) {
        const char16_t c = s_[pos_++];
        if (c == comilla) break;
        if (c != u'\\') {
            const qsizetype desde = pos_ - 1;
            while (pos_ < n_ && s_[pos_] != comilla && s_[pos_] != u'\\') ++pos_;
            std::copy(s_ + desde, s_ + pos_, b + w);
            w += pos_ - desde;
            continue;
        }
        if (pos_ >= n_) break;
        const char16_t e = s_[pos_++];
        switch (e) {
            case u'b': b[w++] = char16_t(8); break;
            case u'f': b[w++] = char16_t(12); break;
            case u'n': b[w++] = u'\n'; break;
            case u'r': b[w++] = u'\r'; break;
            case u't': b[w++] = u'\t'; break;
            case u'u': {
                // The leading hexadecimal digits of the next four characters;
                // the four are passed in any case. No digit: nothing collected.
                const qsizetype cuatro = std::min<qsizetype>(4, n_ - pos_);
                unsigned codigo = 0;
                int digitos = 0;
                for (; digitos < cuatro; ++digitos) {
                    const char16_t h = s_[pos_ + digitos];
                    unsigned d;
                    if (h >= u'0' && h <= u'9') d = h - u'0';
                    else if (h >= u'a' && h <= u'f') d = h - u'a' + 10;
                    else if (h >= u'A' && h <= u'F') d = h - u'A' + 10;
                    else break;
                    codigo = codigo * 16 + d;
                }
                pos_ += cuatro;
                if (digitos > 0) b[w++] = static_cast<char16_t>(codigo);
                break;
            }
            default:  // quotes, backslash, "/", and any other character as it is
                b[w++] = e;
                break;
        }
    }
    return w == inicio ? QString() : Rebanada(usados_, w - inicio);
}

bool Lector::LeeNumero(cJSONValor& valor, QString& descripcion) {
    const QString* fallo = LeeNumeroEn(valor);
    if (fallo) descripcion = *fallo;
    return !fallo;
}

const QString* Lector::LeeNumeroEn(cJSONValor& valor) {
    SaltaRelleno();
    // The common number, straight into the value's parts, when no
    // character that may be part of a number follows it.
    uint64_t mantisa = 0;
    int32_t exponente = 0;
    bool negativo = false;
    if (const qsizetype largo = cDecimal::LeeEnPartes(s_ + pos_, n_ - pos_, mantisa, exponente, negativo);
        largo > 0 && pos_ + largo < n_ && !EsDeNumero(s_[pos_ + largo])) {
        pos_ += largo;
        valor = cJSONValor::DePartes(mantisa, exponente, negativo);
        return nullptr;
    }
    const qsizetype inicio = pos_;
    while (pos_ < n_ && EsDeNumero(s_[pos_])) ++pos_;
    if (pos_ >= n_) {
        valor = cJSONValor();  // the text ended inside the number
        return nullptr;
    }
    bool desborde = false;
    cDecimal d;
    if (cDecimal::Lee(s_ + inicio, pos_ - inicio, d, &desborde)) {
        valor = cJSONValor(std::move(d));
        return nullptr;
    }
    valor = cJSONValor();
    return desborde ? &DescripcionDesbordamiento() : &DescripcionTipos();
}

cJSONValor Lector::LeeBooleano() {
    SaltaRelleno();
    if (Sigue(u"true")) {
        pos_ += 4;
        return cJSONValor(true);
    }
    if (Sigue(u"false")) {
        pos_ += 5;
        return cJSONValor(false);
    }
    Agrega(QStringLiteral("Invalid Boolean at position %1 : ").arg(pos_ + 1) + Desde(pos_, kCitaResto));
    return cJSONValor(false);
}

cJSONValor Lector::LeeNulo() {
    SaltaRelleno();
    if (Sigue(u"null")) {
        pos_ += 4;
        return cJSONValor::Nulo();
    }
    Agrega(QStringLiteral("Invalid null value at position %1 : ").arg(pos_ + 1) + Desde(pos_, kCitaResto));
    return {};
}

}  // namespace

namespace JSON {

cJSONValor ReadDocument(const QString& texto) {
    QString& errores = Errores();
    errores.clear();
    try {
        Lector lector(texto, errores);
        return lector.LeeDocumento();
    } catch (...) {
        // Only a failure of the platform itself (memory) gets here.
        const Fallo f = FalloActual();
        errores += f.Descripcion() + QLatin1String("\r\n");
        return {};
    }
}

QString ReadErrors() { return Errores(); }

}  // namespace JSON
