#pragma once
// The connection's error collection: one entry per provider diagnostic, in
// the order reported.

#include "platform/Fallo.h"

#include <QString>

#include <cstdint>
#include <vector>

struct ErrorProveedor {
    int32_t Number = 0;        // ADO / OLE DB number (HRESULT)
    QString Description;
    QString SQLState;
    int32_t NativeError = 0;   // the server's own message number (SQL Server numbering)
    QString Source;
};

class Errores {
public:
    long Count() const { return static_cast<long>(entradas_.size()); }
    // 0-based; fails with 3265 out of range.
    const ErrorProveedor& Item(long i) const {
        if (i < 0 || i >= Count())
            throw Fallo(3265, QStringLiteral("Item cannot be found in the collection corresponding to the "
                                             "requested name or ordinal."));
        return entradas_[static_cast<std::size_t>(i)];
    }
    void Clear() { entradas_.clear(); }

    void Agrega(ErrorProveedor e) { entradas_.push_back(std::move(e)); }
    const std::vector<ErrorProveedor>& Todas() const { return entradas_; }

private:
    std::vector<ErrorProveedor> entradas_;
};

// The ADO number for a server error: 208 missing table, 2627/2601/547/515
// integrity, 8152 truncation, 11 and connection failures unspecified,
// everything else "errors in command".
inline int32_t NumeroAdoPara(int32_t nativo, const QString& sqlState = {}) {
    switch (nativo) {
        case 208: return static_cast<int32_t>(0x80040E37);
        case 2627: case 2601: case 547: case 515: return static_cast<int32_t>(0x80040E2F);
        case 8152: return static_cast<int32_t>(0x80040E57);
        case 11: case 4060: case 17: case 53: return static_cast<int32_t>(0x80004005);
        case 18456: return static_cast<int32_t>(0x80040E4D);
        default: break;
    }
    if (sqlState.startsWith(QLatin1String("08"))) return static_cast<int32_t>(0x80004005);
    if (sqlState == QLatin1String("HYT00")) return static_cast<int32_t>(0x80040E31);
    return static_cast<int32_t>(0x80040E14);
}
