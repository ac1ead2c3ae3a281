#pragma once
// A growable text of 16-bit code units. The capacity grows and shrinks in
// whole chunks; positions given to Insert and Remove are 0-based, Find
// answers 1-based.

#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstring>
#include <string>

class cStringBuilder {
public:
    cStringBuilder() = default;
    ~cStringBuilder();
    cStringBuilder(const cStringBuilder& otro);
    cStringBuilder& operator=(const cStringBuilder& otro);
    cStringBuilder(cStringBuilder&& otro) noexcept;
    cStringBuilder& operator=(cStringBuilder&& otro) noexcept;

    qsizetype Length() const { return largo_; }
    qsizetype Capacity() const { return capacidad_; }
    qsizetype ChunkSize() const { return trozo_; }
    // A chunk size below 1 is taken as 1.
    void ChunkSize(qsizetype iChunkSize) { trozo_ = iChunkSize < 1 ? 1 : iChunkSize; }

    QString toString() const;
    QStringView Vista() const { return QStringView(datos_, largo_); }
    void TheString(QStringView sThis);

    void Clear();
    void AppendNL(QStringView sThis);
    void Append(QStringView sThis) { Append(sThis.utf16(), sThis.size()); }
    void Append(const char16_t* p, qsizetype n) {
        if (n <= 0) return;
        if (largo_ + n > capacidad_) return AgregaCreciendo(p, n);
        Copia(datos_ + largo_, p, n);
        largo_ += n;
    }
    void Append(char16_t c) {
        if (largo_ + 1 > capacidad_) Crece(largo_ + 1);
        datos_[largo_++] = c;
    }
    void AppendByVal(QString sThis) { Append(QStringView(sThis)); }
    // Error 9 when iIndex is outside 0..Length; nothing changes then.
    void Insert(qsizetype iIndex, QStringView sThis);
    void InsertByVal(qsizetype iIndex, QString sThis) { Insert(iIndex, QStringView(sThis)); }
    // Error 9 when the range is not within the text; nothing changes then.
    void Remove(qsizetype iIndex, qsizetype lLen);
    // compare: 0 exact, 1 ignoring letter case. 0 when not found.
    qsizetype Find(QStringView sToFind, qsizetype lStartIndex = 1, int compare = 0) const;
    void HeapMinimize();

private:
    // Pieces of up to 16 characters are copied inline, as two overlapping
    // moves of a power of two bytes each; longer ones by memcpy.
    static void Copia(char16_t* d, const char16_t* p, qsizetype n) {
        const auto bytes = static_cast<std::size_t>(n) * sizeof(char16_t);
        auto* a = reinterpret_cast<unsigned char*>(d);
        const auto* b = reinterpret_cast<const unsigned char*>(p);
        if (bytes > 32) {
            std::memcpy(a, b, bytes);
        } else if (bytes >= 16) {
            std::memcpy(a, b, 16);
            std::memcpy(a + bytes - 16, b + bytes - 16, 16);
        } else if (bytes >= 8) {
            std::memcpy(a, b, 8);
            std::memcpy(a + bytes - 8, b + bytes - 8, 8);
        } else if (bytes >= 4) {
            std::memcpy(a, b, 4);
            std::memcpy(a + bytes - 4, b + bytes - 4, 4);
        } else {
            std::memcpy(a, b, 2);
        }
    }
    // Raises the capacity by whole chunks until it holds `necesario`.
    void Crece(qsizetype necesario);
    void Reserva(qsizetype unidades);
    void AgregaCreciendo(const char16_t* p, qsizetype n);

    char16_t* datos_ = nullptr;
    qsizetype largo_ = 0;
    qsizetype capacidad_ = 0;   // room the text may use: whole chunks
    qsizetype reservado_ = 0;   // units allocated: at least the capacity
    qsizetype trozo_ = 8192;
};
