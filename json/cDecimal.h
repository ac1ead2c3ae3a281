#pragma once
// An exact decimal number: every digit its text gives is kept, with "." as
// the decimal point and an optional exponent.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class cDecimal {
public:
    cDecimal() = default;
    cDecimal(const cDecimal& o);
    cDecimal& operator=(const cDecimal& o);
    cDecimal(cDecimal&&) noexcept = default;
    cDecimal& operator=(cDecimal&&) noexcept = default;

    // Reads [+-]digits[.digits][(e|E)[+-]digits] with at least one digit
    // before the exponent. Nothing when the text is not such a number or
    // its exponent lies beyond ±LimiteExponente.
    // `desborde`, when given, tells an exponent beyond the limit apart.
    static std::optional<cDecimal> DeTexto(QStringView texto, bool* desborde = nullptr);
    static std::optional<cDecimal> DeTexto(const char16_t* p, qsizetype n, bool* desborde = nullptr);
    // The same, into `d`; false when the text is not such a number.
    static bool Lee(const char16_t* p, qsizetype n, cDecimal& d, bool* desborde = nullptr);
    // A number whose digits fit in one word at the start of the n
    // characters at p, as its parts (see DePartes), without making a
    // cDecimal: how many characters it takes (what follows is the
    // caller's to judge), or 0 when no such number starts there.
    static qsizetype LeeEnPartes(const char16_t* p, qsizetype n, uint64_t& mantisa, int32_t& exponente,
                                 bool& negativo);
    static constexpr int64_t LimiteExponente = 100000;

    // The plain decimal text: no exponent, "." as the decimal point, the
    // fraction digits as given ("1.50" stays "1.50", "1.5e1" is "15").
    QString Texto() const;
    double ADouble() const;

    bool Negativo() const { return negativo_; }
    // The significant digits, without leading zeros; empty for zero.
    std::string Digitos() const;
    // The value is Digitos() * 10^Exponente().
    int64_t Exponente() const { return exponente_; }

    bool operator==(const cDecimal& o) const;
    // Its digits fit in one word (nothing is kept apart for them).
    bool EnUnaPalabra() const { return !largos_; }
    // Such a number as its parts, and back.
    uint64_t Mantisa() const { return mantisa_; }
    static cDecimal DePartes(uint64_t mantisa, int32_t exponente, bool negativo) {
        cDecimal d;
        d.mantisa_ = mantisa;
        d.exponente_ = exponente;
        d.negativo_ = negativo;
        return d;
    }

private:
    static constexpr int kDigitosMantisa = 19;  // always fit in 64 bits

    // What reading a number's text found; its significant digits go to
    // the reader's `digito` (false stops the reading).
    struct Lectura {
        bool valido = false;  // a number, ending at fin
        bool desborde = false;
        bool negativo = false;
        int64_t exponente = 0;
        qsizetype fin = 0;
    };
    template <class Digito>
    static Lectura Analiza(const char16_t* p, qsizetype n, Digito&& digito);

    // The digits: in mantisa_ when there are kDigitosMantisa or fewer,
    // otherwise as text in largos_ (and mantisa_ is 0).
    uint64_t mantisa_ = 0;
    std::unique_ptr<std::string> largos_;
    int32_t exponente_ = 0;
    bool negativo_ = false;
};

// Inline: a reader of many numbers (the JSON reader) takes them in its own loop.
// Reads the longest start of the text that the form allows.
template <class Digito>
[[gnu::always_inline]] inline cDecimal::Lectura cDecimal::Analiza(const char16_t* p, qsizetype n, Digito&& digito) {
    Lectura r;
    qsizetype i = 0;
    if (i < n && (p[i] == u'+' || p[i] == u'-')) r.negativo = p[i++] == u'-';
    bool significativo = false;  // a digit other than a leading zero seen
    auto digitos = [&]() {
        const qsizetype desde = i;
        for (; i < n && p[i] >= u'0' && p[i] <= u'9'; ++i)
            if (!digito(p[i])) return false;
        significativo = significativo || i > desde;
        return true;
    };
    const qsizetype enteros = i;
    while (i < n && p[i] == u'0') ++i;  // leading zeros count for nothing
    if (!digitos()) return r;
    bool hayDigito = i > enteros;
    int64_t fraccion = 0;
    if (i < n && p[i] == u'.') {
        const qsizetype desde = ++i;
        if (!significativo)
            while (i < n && p[i] == u'0') ++i;
        if (!digitos()) return r;
        fraccion = i - desde;
        hayDigito = hayDigito || fraccion > 0;
    }
    if (!hayDigito) return r;
    int64_t exponente = 0;
    if (i < n && (p[i] == u'e' || p[i] == u'E')) {
        ++i;
        bool negativo = false;
        if (i < n && (p[i] == u'+' || p[i] == u'-')) negativo = p[i++] == u'-';
        if (i == n || p[i] < u'0' || p[i] > u'9') return r;
        for (; i < n && p[i] >= u'0' && p[i] <= u'9'; ++i) {
            exponente = exponente * 10 + (p[i] - u'0');
            if (exponente > LimiteExponente) {
                r.desborde = true;
                return r;
            }
        }
        if (negativo) exponente = -exponente;
    }
    r.fin = i;
    exponente -= fraccion;
    if (!significativo) {
        // Zero keeps its fraction digits ("0.00") but no sign.
        r.negativo = false;
        if (exponente > 0) exponente = 0;
    }
    if (exponente < -LimiteExponente || exponente > LimiteExponente) {
        r.desborde = true;
        return r;
    }
    r.exponente = exponente;
    r.valido = true;
    return r;
}

[[gnu::always_inline]] inline qsizetype cDecimal::LeeEnPartes(const char16_t* p, qsizetype n, uint64_t& mantisa,
                                                              int32_t& exponente, bool& negativo) {
    uint64_t m = 0;
    int cuenta = 0;
    const Lectura r = Analiza(p, n, [&m, &cuenta](char16_t c) {
        if (++cuenta > kDigitosMantisa) return false;
        m = m * 10 + static_cast<unsigned>(c - u'0');
        return true;
    });
    if (!r.valido) return 0;
    mantisa = m;
    exponente = static_cast<int32_t>(r.exponente);
    negativo = r.negativo;
    return r.fin;
}
