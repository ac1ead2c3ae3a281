#include "json/cDecimal.h"

#include <QByteArray>

#include <charconv>

cDecimal::cDecimal(const cDecimal& o)
    : mantisa_(o.mantisa_),
      largos_(o.largos_ ? std::make_unique<std::string>(*o.largos_) : nullptr),
      exponente_(o.exponente_),
      negativo_(o.negativo_) {}

cDecimal& cDecimal::operator=(const cDecimal& o) {
    if (this != &o) {
        mantisa_ = o.mantisa_;
        largos_ = o.largos_ ? std::make_unique<std::string>(*o.largos_) : nullptr;
        exponente_ = o.exponente_;
        negativo_ = o.negativo_;
    }
    return *this;
}

bool cDecimal::operator==(const cDecimal& o) const {
    if (mantisa_ != o.mantisa_ || exponente_ != o.exponente_ || negativo_ != o.negativo_) return false;
    if (!largos_ || !o.largos_) return !largos_ && !o.largos_;
    return *largos_ == *o.largos_;
}

std::optional<cDecimal> cDecimal::DeTexto(QStringView texto, bool* desborde) {
    return DeTexto(texto.utf16(), texto.size(), desborde);
}

std::optional<cDecimal> cDecimal::DeTexto(const char16_t* p, qsizetype n, bool* desborde) {
    cDecimal d;
    if (!Lee(p, n, d, desborde)) return std::nullopt;
    return d;
}

bool cDecimal::Lee(const char16_t* p, qsizetype n, cDecimal& d, bool* desborde) {
    d.mantisa_ = 0;
    d.largos_.reset();
    int cuenta = 0;  // significant digits so far
    const Lectura r = Analiza(p, n, [&d, &cuenta](char16_t c) {
        if (cuenta < kDigitosMantisa) {
            d.mantisa_ = d.mantisa_ * 10 + static_cast<unsigned>(c - u'0');
        } else {
            if (!d.largos_) {
                d.largos_ = std::make_unique<std::string>(std::to_string(d.mantisa_));
                d.mantisa_ = 0;
            }
            d.largos_->push_back(static_cast<char>(c));
        }
        ++cuenta;
        return true;
    });
    if (desborde) *desborde = r.desborde;
    d.negativo_ = r.negativo;
    if (!r.valido || r.fin != n) return false;
    d.exponente_ = static_cast<int32_t>(r.exponente);
    return true;
}

std::string cDecimal::Digitos() const {
    if (largos_) return *largos_;
    if (mantisa_ == 0) return {};
    char t[24];
    const auto r = std::to_chars(t, t + sizeof t, mantisa_);
    return std::string(t, r.ptr);
}

QString cDecimal::Texto() const {
    const std::string digitos = Digitos();
    std::string t;
    if (negativo_) t.push_back('-');
    if (exponente_ >= 0) {
        if (digitos.empty()) {
            t.push_back('0');
        } else {
            t += digitos;
            t.append(static_cast<std::size_t>(exponente_), '0');
        }
    } else {
        const auto escala = static_cast<std::size_t>(-static_cast<int64_t>(exponente_));
        if (digitos.size() > escala) {
            t.append(digitos, 0, digitos.size() - escala);
            t.push_back('.');
            t.append(digitos, digitos.size() - escala, std::string::npos);
        } else {
            t += "0.";
            t.append(escala - digitos.size(), '0');
            t += digitos;
        }
    }
    return QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size()));
}

double cDecimal::ADouble() const {
    const std::string digitos = Digitos();
    std::string t = (negativo_ ? "-" : "") + (digitos.empty() ? std::string("0") : digitos) + "e" +
                    std::to_string(exponente_);
    return QByteArray::fromStdString(t).toDouble();  // C locale, whatever the process's
}
