#include "json/cDecimal.h"

#include <QByteArray>

std::optional<cDecimal> cDecimal::DeTexto(QStringView texto, bool* desborde) {
    return DeTexto(texto.utf16(), texto.size(), desborde);
}

std::optional<cDecimal> cDecimal::DeTexto(const char16_t* p, qsizetype n, bool* desborde) {
    if (desborde) *desborde = false;
    cDecimal d;
    qsizetype i = 0;
    if (i < n && (p[i] == u'+' || p[i] == u'-')) d.negativo_ = p[i++] == u'-';
    bool hayDigito = false;
    int64_t fraccion = 0;
    for (; i < n && p[i] >= u'0' && p[i] <= u'9'; ++i) {
        hayDigito = true;
        if (p[i] != u'0' || !d.digitos_.empty()) d.digitos_.push_back(static_cast<char>(p[i]));
    }
    if (i < n && p[i] == u'.') {
        for (++i; i < n && p[i] >= u'0' && p[i] <= u'9'; ++i) {
            hayDigito = true;
            ++fraccion;
            if (p[i] != u'0' || !d.digitos_.empty()) d.digitos_.push_back(static_cast<char>(p[i]));
        }
    }
    if (!hayDigito) return std::nullopt;
    int64_t exponente = 0;
    if (i < n && (p[i] == u'e' || p[i] == u'E')) {
        ++i;
        bool negativo = false;
        if (i < n && (p[i] == u'+' || p[i] == u'-')) negativo = p[i++] == u'-';
        if (i == n || p[i] < u'0' || p[i] > u'9') return std::nullopt;
        for (; i < n && p[i] >= u'0' && p[i] <= u'9'; ++i) {
            exponente = exponente * 10 + (p[i] - u'0');
            if (exponente > LimiteExponente) {
                if (desborde) *desborde = true;
                return std::nullopt;
            }
        }
        if (negativo) exponente = -exponente;
    }
    if (i != n) return std::nullopt;
    d.exponente_ = exponente - fraccion;
    if (d.digitos_.empty()) {
        // Zero keeps its fraction digits ("0.00") but no sign.
        d.negativo_ = false;
        if (d.exponente_ > 0) d.exponente_ = 0;
    }
    if (d.exponente_ < -LimiteExponente || d.exponente_ > LimiteExponente) {
        if (desborde) *desborde = true;
        return std::nullopt;
    }
    return d;
}

QString cDecimal::Texto() const {
    std::string t;
    if (negativo_) t.push_back('-');
    if (exponente_ >= 0) {
        if (digitos_.empty()) {
            t.push_back('0');
        } else {
            t += digitos_;
            t.append(static_cast<std::size_t>(exponente_), '0');
        }
    } else {
        const auto escala = static_cast<std::size_t>(-exponente_);
        if (digitos_.size() > escala) {
            t.append(digitos_, 0, digitos_.size() - escala);
            t.push_back('.');
            t.append(digitos_, digitos_.size() - escala, std::string::npos);
        } else {
            t += "0.";
            t.append(escala - digitos_.size(), '0');
            t += digitos_;
        }
    }
    return QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size()));
}

double cDecimal::ADouble() const {
    std::string t = (negativo_ ? "-" : "") + (digitos_.empty() ? std::string("0") : digitos_) + "e" +
                    std::to_string(exponente_);
    return QByteArray::fromStdString(t).toDouble();  // C locale, whatever the process's
}
