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

void LoteOdbc::Pesa() {
    for (; pesados_ < r_.errores.size(); ++pesados_) {
        const ErrorProveedor& e = r_.errores[pesados_];
        if (DiagnosticoOdbc::EsFallaDeEnlace(e.SQLState)) perdida_ = true;
        if (DiagnosticoOdbc::EsAviso(e.SQLState) || hayError_) continue;
        hayError_ = true;
        primero_ = e.Number;
        alInicio_ = !producido_;
    }
}

void LoteOdbc::Agrega(ResultadoSentencia res, bool cuenta) {
    if (cuenta) producido_ = true;
    r_.resultados.push_back(std::move(res));
}

bool LoteOdbc::Perdida() {
    Pesa();
    return perdida_;
}

ResultadoLote LoteOdbc::Termina() {
    Pesa();
    r_.conexionPerdida = perdida_;
    r_.fallaCompleta = perdida_ || (hayError_ && alInicio_);
    r_.numeroFallo = perdida_ ? static_cast<int32_t>(0x80004005) : (r_.fallaCompleta ? primero_ : 0);
    return std::move(r_);
}
