#pragma once
// The connection's error collection: one entry per provider diagnostic, in
// the order reported.

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
    const ErrorProveedor& Item(long i) const;
    void Clear() { entradas_.clear(); }

    void Agrega(ErrorProveedor e) { entradas_.push_back(std::move(e)); }
    const std::vector<ErrorProveedor>& Todas() const { return entradas_; }

private:
    std::vector<ErrorProveedor> entradas_;
};

// The ADO number for a server error: 208 missing table, 2627/2601/547/515
// integrity, 8152 truncation, 11 and connection failures unspecified,
// everything else "errors in command".
int32_t NumeroAdoPara(int32_t nativo, const QString& sqlState = {});
