// The per-article statement plans of the recoding run.

#include "recoding/Planes.h"

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "db/platform/Recordset.h"
#include "frame/ModGlobal.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Texto.h"
#include "recoding/TextoSql.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString Formato(const QString& codigo, int ancho) {
    return LibUtil().AlineaTexto(Texto::Trim(codigo), ancho);
}

// "    UPDATE <tabla> SET <campo> = '<a>' WHERE <campo> = '<b>'"
QString Update(const QString& tabla, const QString& a, const QString& b,
               const QString& campo = QStringLiteral("IDARTICULO")) {
    return QStringLiteral("    UPDATE ") + tabla + QStringLiteral(" SET ") + campo + QStringLiteral(" = '") +
           a + QStringLiteral("' WHERE ") + campo + QStringLiteral(" = '") + b + QStringLiteral("'");
}

QString Delete(const QString& tabla, const QString& b) {
    return QStringLiteral("    DELETE ") + tabla + QStringLiteral(" WHERE IDARTICULO = '") + b +
           QStringLiteral("'");
}

// The four statistics tables: SET n, WHERE o.
void Estadisticas(Plan& p, const QString& n, const QString& o) {
    p.Agrega(Update(QStringLiteral("AC_VENTASDIARIA"), n, o));
    p.Agrega(Update(QStringLiteral("AC_VENTASMES"), n, o));
    p.Agrega(Update(QStringLiteral("AC_COMPRASDIARIA"), n, o));
    p.Agrega(Update(QStringLiteral("AC_COMPRASMES"), n, o));
}

// Voucher supply lines, stock movements and both sides of the bill of supplies.
void Movimientos(Plan& p, const QString& n, const QString& o) {
    p.Agrega(Update(QStringLiteral("V_MV_CPTEINSUMOS"), n, o));
    p.Agrega(Update(QStringLiteral("C_MV_CPTEINSUMOS"), n, o));
    p.Agrega(Update(QStringLiteral("V_MV_STOCK"), n, o));
    p.Agrega(Update(QStringLiteral("V_MA_INSUMOS"), n, o));
    p.Agrega(Update(QStringLiteral("V_MA_INSUMOS"), n, o, QStringLiteral("IDARTICULOINSUMO")));
}

// The transaction first, then the triggers off inside it: whatever ends the
// code (a rollback, a killed process, a lost connection) turns them back on
// with it. The run sends the opening apart and checks it before the rest.
void Disparadores(Plan& p) {
    p.Agrega(kAbreTransaccion);
    p.Agrega(QStringLiteral(" ALTER TABLE V_MA_ARTICULOS DISABLE TRIGGER ALL "));
    p.Agrega(QStringLiteral(" ALTER TABLE V_MV_STOCK DISABLE TRIGGER ALL "));
}

// Triggers off and the transaction opened before the new code's
// equivalences are cleared, so a rollback restores them.
void Prologo(Plan& p, const QString& nn) {
    Disparadores(p);
    p.Agrega(QStringLiteral("    delete from S_TA_EQUIV  WHERE IDARTICULO = '") + nn + QStringLiteral("'"));
}

}  // namespace

QString FormatoGuardado(const QString& codigo, int ancho) {
    if (!codigo.startsWith(QLatin1Char(' ')) || Texto::Trim(codigo).isEmpty()) return Formato(codigo, ancho);
    const QString t = Texto::RTrim(codigo);
    return t.size() >= ancho ? t : t.leftJustified(ancho);
}

QString NombreTipoPlan(TipoPlan tipo) {
    switch (tipo) {
        case TipoPlan::Estadisticas:
            return QStringLiteral("estadisticas");
        case TipoPlan::Fusion:
            return QStringLiteral("fusion");
        case TipoPlan::Copia:
            return QStringLiteral("copia");
        case TipoPlan::EnSitio:
            return QStringLiteral("en sitio");
    }
    return {};
}

void Plan::Reinicia() {
    for (QString& s : Sentencias) s.clear();
    Cantidad = 0;
}

void Plan::Agrega(const QString& sentencia) {
    Sentencias.at(static_cast<size_t>(Cantidad)) = sentencia;
    ++Cantidad;
}

QString Plan::Lote() const {
    return Lote(0, Cantidad);
}

QString Plan::Lote(int desde, int hasta) const {
    QString r;
    for (int k = desde; k < hasta && k < Cantidad; ++k) r += kCrLf + Sentencias[static_cast<size_t>(k)];
    return r;
}

TipoPlan TipoSegun(const QString& O, const QString& N, const OpcionesPlan& op, bool existeNuevo) {
    if (op.ChkEstadisticas) return TipoPlan::Estadisticas;
    if (Texto::Iguales(Texto::Trim(O), Texto::Trim(N))) return TipoPlan::EnSitio;
    return existeNuevo ? TipoPlan::Fusion : TipoPlan::Copia;
}

void ArmaPlan(Plan& plan, const QString& O, const QString& N, const OpcionesPlan& op, bool existeNuevo,
              const QString& L) {
    using TextoSql::Comillas;
    plan.Reinicia();
    plan.Tipo = TipoSegun(O, N, op, existeNuevo);
    // Every code and the rubro as they go between quotes.
    const QString n = Comillas(N);
    const QString nn = Comillas(FormatoGuardado(N, 25));
    const QString o = Comillas(O);
    const QString oo = Comillas(FormatoGuardado(O, 25));
    // The rubro's value, or the column itself when the rubro does not fit.
    const QString r = op.CambiaRubro ? QStringLiteral("'") + Comillas(Formato(op.TxtPrefijoNvo, 4)) + QStringLiteral("'")
                                     : QStringLiteral("IDRUBRO");

    switch (plan.Tipo) {
        case TipoPlan::Estadisticas:
            plan.Agrega(kAbreTransaccionEstadisticas);
            Estadisticas(plan, n, oo);
            plan.Agrega(QStringLiteral(" COMMIT TRANSACTION"));
            break;

        case TipoPlan::Fusion:
            Prologo(plan, nn);
            if (!op.ChkSoloMaestro) {
                Estadisticas(plan, n, oo);
                Movimientos(plan, nn, oo);
                plan.Agrega(Update(QStringLiteral("S_TA_EQUIV"), n, oo));
            }
            plan.Agrega(Delete(QStringLiteral("V_MA_Precios_Borrador"), oo));
            plan.Agrega(Delete(QStringLiteral("S_TA_EQUIV"), oo));
            plan.Agrega(Delete(QStringLiteral("V_MA_PRECIOS"), oo));
            plan.Agrega(Delete(QStringLiteral("V_MA_ARTICULOS"), oo));
            break;

        case TipoPlan::Copia:
            Prologo(plan, nn);
            plan.Agrega(QStringLiteral("    INSERT INTO V_MA_ARTICULOS SELECT '") + n + QStringLiteral("',") +
                        L + QStringLiteral("  "));
            plan.Agrega(QStringLiteral("        FROM V_MA_ARTICULOS WHERE IDARTICULO = '") + oo +
                        QStringLiteral("'"));
            plan.Agrega(QStringLiteral(" "));
            if (op.CargaPorPrefijo)
                plan.Agrega(QStringLiteral("    UPDATE V_MA_ARTICULOS SET IDRUBRO = ") + r +
                            QStringLiteral(" WHERE IDARTICULO = '") + nn + QStringLiteral("'"));
            Estadisticas(plan, n, oo);
            Movimientos(plan, nn, oo);
            plan.Agrega(Delete(QStringLiteral("V_MA_Precios"), nn));
            plan.Agrega(Delete(QStringLiteral("V_MA_Precios_Borrador"), nn));
            plan.Agrega(Update(QStringLiteral("V_MA_Precios"), nn, o));
            plan.Agrega(Update(QStringLiteral("V_MA_Precios_Borrador"), nn, o));
            plan.Agrega(Update(QStringLiteral("S_TA_EQUIV"), nn, oo));
            plan.Agrega(Delete(QStringLiteral("S_TA_EQUIV"), oo));
            plan.Agrega(Delete(QStringLiteral("V_MA_ARTICULOS"), oo));
            break;

        case TipoPlan::EnSitio:
            Disparadores(plan);
            if (op.CargaPorPrefijo)
                plan.Agrega(QStringLiteral("    UPDATE V_MA_ARTICULOS SET IDRUBRO = ") + r +
                            QStringLiteral(", IDARTICULO = '") + nn +
                            QStringLiteral("' WHERE IDARTICULO = '") + oo + QStringLiteral("'"));
            else
                plan.Agrega(Update(QStringLiteral("V_MA_ARTICULOS"), n, oo));
            Estadisticas(plan, n, oo);
            Movimientos(plan, n, oo);
            plan.Agrega(Update(QStringLiteral("V_MA_Precios"), n, oo));
            plan.Agrega(Update(QStringLiteral("V_MA_Precios_Borrador"), n, oo));
            plan.Agrega(Update(QStringLiteral("S_TA_EQUIV"), n, oo));
            break;
    }
}

Plan ArmaPlan(const QString& O, const QString& N, const OpcionesPlan& op, bool existeNuevo,
              const QString& L) {
    Plan p;
    ArmaPlan(p, O, N, op, existeNuevo, L);
    return p;
}

bool ExisteArticulo(const QString& N) {
    QString sql = QStringLiteral("select idarticulo from v_ma_articulos where idarticulo = '") +
                  TextoSql::Comillas(FormatoGuardado(N, 25)) + QStringLiteral("'");
    RecordsetPtr rs;
    gDB().AbrirRecordset(sql, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly);
    const bool existe = !rs->Bof();
    gDB().CierraRecordset(rs);
    return existe;
}

QString ColumnasDeCopia() {
    QString tipos;
    return VerificaCampos(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("ID"), QStringLiteral("Idarticulo"),
                          QStringLiteral("ID"), false, tipos);
}

void EligePlan(Plan& plan, const QString& O, const QString& N, const OpcionesPlan& op, QString* columnas) {
    bool existe = false;
    QString leidas;
    if (!op.ChkEstadisticas && !Texto::Iguales(Texto::Trim(O), Texto::Trim(N))) {
        existe = ExisteArticulo(N);
        if (!existe) {
            if (!columnas)
                leidas = ColumnasDeCopia();
            else if (columnas->isEmpty())
                leidas = *columnas = ColumnasDeCopia();
            else
                leidas = *columnas;
        }
    }
    ArmaPlan(plan, O, N, op, existe, leidas);
}
