#include "db/platform/odbc/DiagnosticoOdbc.h"

namespace DiagnosticoOdbc {

bool EsFallaDeEnlace(const QString& s) {
    static const char* const estados[] = {"08S01", "08S02", "08001", "08003", "08007", "HYT01"};
    for (const char* e : estados)
        if (s.compare(QLatin1String(e), Qt::CaseInsensitive) == 0) return true;
    return false;
}

ErrorProveedor Entrada(const QString& sqlState, int32_t nativo, const QString& mensaje) {
    ErrorProveedor e;
    e.SQLState = sqlState;
    e.NativeError = EsFallaDeEnlace(sqlState) ? 11 : nativo;
    int i = 0;
    while (i < mensaje.size() && mensaje[i] == QLatin1Char('[')) {
        const int fin = mensaje.indexOf(QLatin1Char(']'), i);
        if (fin < 0) break;
        i = fin + 1;
    }
    e.Source = mensaje.left(i);
    e.Description = mensaje.mid(i);
    e.Number = NumeroAdoPara(e.NativeError, sqlState);
    return e;
}

bool EsInformativo(const QString& sqlState, int32_t nativo) {
    return EsAviso(sqlState) && (nativo == 5701 || nativo == 5703);
}

}  // namespace DiagnosticoOdbc
