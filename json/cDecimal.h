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
