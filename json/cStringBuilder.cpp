#include "json/cStringBuilder.h"

#include "platform/Fallo.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {
[[noreturn]] void FueraDeRango() {
    throw Fallo(NumeroFallo::Subindice, QStringLiteral("El subíndice está fuera del intervalo"),
                QStringLiteral("cStringBuilder"));
}
}  // namespace

cStringBuilder::~cStringBuilder() { std::free(datos_); }

cStringBuilder::cStringBuilder(const cStringBuilder& otro) : trozo_(otro.trozo_) {
    if (otro.capacidad_ > 0) {
        Reserva(otro.capacidad_);
        capacidad_ = otro.capacidad_;
        std::memcpy(datos_, otro.datos_, static_cast<std::size_t>(otro.largo_) * sizeof(char16_t));
        largo_ = otro.largo_;
    }
}

cStringBuilder& cStringBuilder::operator=(const cStringBuilder& otro) {
    if (this != &otro) {
        cStringBuilder copia(otro);
        *this = std::move(copia);
    }
    return *this;
}

cStringBuilder::cStringBuilder(cStringBuilder&& otro) noexcept
    : datos_(std::exchange(otro.datos_, nullptr)),
      largo_(std::exchange(otro.largo_, 0)),
      capacidad_(std::exchange(otro.capacidad_, 0)),
      reservado_(std::exchange(otro.reservado_, 0)),
      trozo_(otro.trozo_) {}

cStringBuilder& cStringBuilder::operator=(cStringBuilder&& otro) noexcept {
    if (this != &otro) {
        std::free(datos_);
        datos_ = std::exchange(otro.datos_, nullptr);
        largo_ = std::exchange(otro.largo_, 0);
        capacidad_ = std::exchange(otro.capacidad_, 0);
        reservado_ = std::exchange(otro.reservado_, 0);
        trozo_ = otro.trozo_;
    }
    return *this;
}

// The allocation behind the capacity grows geometrically, so that a long
// text built from many pieces is not copied once per chunk.
void cStringBuilder::Reserva(qsizetype unidades) {
    if (unidades <= reservado_) return;
    qsizetype nuevo = reservado_ + reservado_ / 2;
    if (nuevo < unidades) nuevo = unidades;
    void* p = std::realloc(datos_, static_cast<std::size_t>(nuevo) * sizeof(char16_t));
    if (!p) throw std::bad_alloc();
    datos_ = static_cast<char16_t*>(p);
    reservado_ = nuevo;
}

void cStringBuilder::Crece(qsizetype necesario) {
    if (necesario <= capacidad_) return;
    const qsizetype trozos = (necesario - capacidad_ + trozo_ - 1) / trozo_;
    const qsizetype nueva = capacidad_ + trozos * trozo_;
    Reserva(nueva);
    capacidad_ = nueva;
}

QString cStringBuilder::toString() const {
    if (largo_ == 0) return QString();
    return QString(reinterpret_cast<const QChar*>(datos_), largo_);
}

void cStringBuilder::AgregaCreciendo(const char16_t* p, qsizetype n) {
    // The piece may be a view of this very buffer: keep a copy across growth.
    QString copia;
    if (datos_ && p >= datos_ && p < datos_ + reservado_) {
        copia = QString(reinterpret_cast<const QChar*>(p), n);
        p = reinterpret_cast<const char16_t*>(copia.constData());
    }
    Crece(largo_ + n);
    std::memcpy(datos_ + largo_, p, static_cast<std::size_t>(n) * sizeof(char16_t));
    largo_ += n;
}

void cStringBuilder::TheString(QStringView sThis) {
    if (sThis.isEmpty()) {
        Clear();
        return;
    }
    QString copia;
    const char16_t* fuente = sThis.utf16();
    if (datos_ && fuente >= datos_ && fuente < datos_ + reservado_) {
        copia = sThis.toString();
        fuente = reinterpret_cast<const char16_t*>(copia.constData());
    }
    Crece(sThis.size());
    std::memcpy(datos_, fuente, static_cast<std::size_t>(sThis.size()) * sizeof(char16_t));
    largo_ = sThis.size();
}

void cStringBuilder::Clear() {
    std::free(datos_);
    datos_ = nullptr;
    largo_ = capacidad_ = reservado_ = 0;
}

void cStringBuilder::AppendNL(QStringView sThis) {
    Append(sThis);
    Append(u"\r\n", 2);
}

void cStringBuilder::Insert(qsizetype iIndex, QStringView sThis) {
    if (iIndex < 0 || iIndex > largo_) FueraDeRango();
    const qsizetype n = sThis.size();
    if (n == 0) return;
    // The piece may be a view of this very buffer: keep a copy across growth.
    QString copia;
    const char16_t* fuente = sThis.utf16();
    if (datos_ && fuente >= datos_ && fuente < datos_ + reservado_) {
        copia = sThis.toString();
        fuente = reinterpret_cast<const char16_t*>(copia.constData());
    }
    Crece(largo_ + n);
    std::memmove(datos_ + iIndex + n, datos_ + iIndex, static_cast<std::size_t>(largo_ - iIndex) * sizeof(char16_t));
    std::memcpy(datos_ + iIndex, fuente, static_cast<std::size_t>(n) * sizeof(char16_t));
    largo_ += n;
}

void cStringBuilder::Remove(qsizetype iIndex, qsizetype lLen) {
    if (iIndex < 0 || lLen < 0 || iIndex > largo_ || lLen > largo_ - iIndex) FueraDeRango();
    if (lLen == 0) return;
    std::memmove(datos_ + iIndex, datos_ + iIndex + lLen,
                 static_cast<std::size_t>(largo_ - iIndex - lLen) * sizeof(char16_t));
    largo_ -= lLen;
}

qsizetype cStringBuilder::Find(QStringView sToFind, qsizetype lStartIndex, int compare) const {
    const qsizetype desde = lStartIndex >= 1 ? lStartIndex - 1 : 0;
    if (desde > largo_) return 0;
    const Qt::CaseSensitivity cs = compare == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const qsizetype i = Vista().indexOf(sToFind, desde, cs);
    return i < 0 ? 0 : i + 1;
}

void cStringBuilder::HeapMinimize() {
    while (capacidad_ - largo_ > trozo_) capacidad_ -= trozo_;
    if (capacidad_ == 0) {
        Clear();
        return;
    }
    if (reservado_ > capacidad_) {
        void* p = std::realloc(datos_, static_cast<std::size_t>(capacidad_) * sizeof(char16_t));
        if (p) {
            datos_ = static_cast<char16_t*>(p);
            reservado_ = capacidad_;
        }
    }
}
