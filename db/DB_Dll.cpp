#include "db/DB_Dll.h"

#include "db/Traduccion.h"
#include "db/platform/Ado.h"
#include "platform/lib/Lib_Dialogo.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"

#include <QDateTime>

using namespace Texto;

DB_Dll::DB_Dll() = default;
DB_Dll::~DB_Dll() = default;

Conexion& DB_Dll::Cnn() {
    if (!gCnn) gCnn = std::make_shared<Conexion>();
    return *gCnn;
}

Lib_Util& DB_Dll::Util() {
    if (!util_) util_ = std::make_unique<Lib_Util>();
    return *util_;
}

bool DB_Dll::EsOracle() const { return gCnn && Contiene(gCnn->ConnectionString(), QStringLiteral("ORACLE")); }

bool DB_Dll::PrimerNativoEs(int32_t nativo) const {
    DB_Dll& principal = gDB();
    const Errores& e = principal.Cnn().Errors();
    return e.Count() > 0 && e.Item(0).NativeError == nativo;
}

// ---- error dialog and log -----------------------------------------------------

int16_t DB_Dll::TratamientoErrores(const Fallo& CodErr, const QVariant& Botones, const QVariant& Rutina) {
    const QString ruta = gLogErr.isEmpty()
                             ? LibUtil().AgregaBarra(CarpetaAplicacion()) + NombreLogErrores
                             : gLogErr;
    const PartesError partes =
        ArmaPartesError(CodErr, Rutina.isValid() ? Rutina.toString() : QString(), FinTituloSesion);
    const int botones = Botones.isValid() && !Botones.isNull() ? Botones.toInt() : BotonesErrorPorDefecto;
    if (CodErr.Numero() == 0) return 0;
    const int respuesta = ElOperador().Mensaje(partes.mensaje, botones, partes.titulo);
    ArchivoTexto::Agrega(ruta, LineaLogError(QDateTime::currentDateTime(), partes.rutina, partes.mensaje, respuesta));
    return static_cast<int16_t>(respuesta);
}

// ---- lost connection ------------------------------------------------------------

void DB_Dll::PreguntaConexionPerdida() {
    const QString CRLF = ArchivoTexto::CRLF;
    DB_Dll& principal = gDB();
    const QString texto = CRLF + CRLF + CRLF + QStringLiteral("Se perdio la conexion con la base de datos ") +
                          principal.gDBName + CRLF + QStringLiteral(" Servidor ") + principal.gServidor + CRLF +
                          CRLF + QStringLiteral("Elija SI para reintentar conectarse") + CRLF +
                          QStringLiteral("Elija NO para cerrar la aplicacion") + CRLF + CRLF + CRLF;
    if (ElOperador().Mensaje(texto, vbYesNo + vbCritical, QStringLiteral("AVISO AL OPERADOR")) == vbNo)
        TerminaProceso(0);
}

namespace {

// Puts back the entry of a failure that a reconnection cleared.
void DevuelveError(Errores& e, const ErrorProveedor& error) {
    if (e.Count() == 0) e.Agrega(error);
}

// The recovery of a statement execution: true when the failed step is to
// run again. The counter belongs to the call.
bool RecuperaEjecucion(DB_Dll& s, int& contador) {
    s.ReintentaConectar();
    if (s.gOpenFlag) return ++contador < 3;
    for (;;) {
        s.ReintentaConectar();
        if (s.gOpenFlag) return true;
        if (++contador >= 3) s.PreguntaConexionPerdida();
    }
}

}  // namespace

// ---- statements ----------------------------------------------------------------

namespace {
void ReescribeSentencia(const DB_Dll& s, QString& sql) {
    if (Contiene(sql, QStringLiteral("CREATE")) && Contiene(sql, QStringLiteral("DROP")) &&
        !Contiene(sql, QStringLiteral("DELETE")) && !Contiene(sql, QStringLiteral("@ADMIN_")))
        sql = s.SS_TSinonimos(sql);
    else
        sql = Reemplaza(sql, QStringLiteral("@Admin_"), QString());
}

bool UnaODosConTruncamiento(const Errores& e, const QString& sql) {
    return (e.Count() == 1 || e.Count() == 2) && !Contiene(sql, QStringLiteral("TRANS")) &&
           e.Item(0).NativeError == 8152;
}
}  // namespace

// The normal path shared by both executions: the script runner on Oracle,
// one Execute otherwise; one or two truncation entries cleared.
void DB_Dll::EnviaSentencia(QString& SentenciaSQL, long& ra, RecordsetPtr* LRCS) {
    if (Contiene(Cnn().ConnectionString(), QStringLiteral("ORACLE"))) {
        EjecutaScriptSQL(SentenciaSQL, ra);
    } else {
        RecordsetPtr rs = Cnn().Execute(SentenciaSQL, &ra, -1);
        if (LRCS) *LRCS = rs;
    }
    Errores& e = gDB().Cnn().Errors();
    if (UnaODosConTruncamiento(e, SentenciaSQL)) e.Clear();
}

void DB_Dll::EjecutaConsultaSQL(const QString& SentenciaSQL) {
    QString s = SentenciaSQL;
    EjecutaConsultaSQL(s);
}

void DB_Dll::EjecutaConsultaSQL(QString& SentenciaSQL, long* RecordsAffected, RecordsetPtr* LRCS) {
    long ra = RecordsAffected ? *RecordsAffected : 0;
    ReescribeSentencia(*this, SentenciaSQL);
    int contador = 0;
    for (;;) {
        try {
            EnviaSentencia(SentenciaSQL, ra, LRCS);
            break;
        } catch (...) {
            (void)FalloActual();  // anything not a failure of ours passes through
            Errores& e = gDB().Cnn().Errors();
            if (e.Count() == 0 || Contiene(SentenciaSQL, QStringLiteral("TRANS"))) break;
            if (e.Item(0).NativeError == 11) {
                const ErrorProveedor enlace = e.Item(0);
                if (RecuperaEjecucion(*this, contador)) continue;
                // Given up: the reconnection emptied the collection, and the
                // caller must still see that the statement did not run.
                DevuelveError(gDB().Cnn().Errors(), enlace);
            } else if (e.Item(0).NativeError == 8152) {
                e.Clear();
            }
            break;
        }
    }
    if (RecordsAffected) *RecordsAffected = ra;
}

void DB_Dll::EjecutaConsultaRSQL(QString& SentenciaSQL, long* RecordsAffected, RecordsetPtr* LRCS) {
    long ra = RecordsAffected ? *RecordsAffected : 0;
    ReescribeSentencia(*this, SentenciaSQL);
    try {
        EnviaSentencia(SentenciaSQL, ra, LRCS);
    } catch (...) {
        const Fallo f = FalloActual();
        Errores& e = gDB().Cnn().Errors();
        const bool trans = Contiene(SentenciaSQL, QStringLiteral("TRANS"));
        if (e.Count() > 0 && !trans && e.Item(0).NativeError == 8152) {
            e.Clear();
        } else if (!trans && f.Numero() != ado::E_FAIL_PROVEEDOR && f.Numero() != ado::DB_E_ERRORSINCOMMAND &&
                   f.Numero() != ado::DB_E_NOTABLE && f.Numero() != ado::DB_E_INTEGRITYVIOLATION) {
            ElOperador().Mensaje(f.Descripcion(), vbCritical + vbOKOnly, QStringLiteral("Aviso al operador!!!"));
        }
    }
    if (RecordsAffected) *RecordsAffected = ra;
}

// ---- record sets ----------------------------------------------------------------

void DB_Dll::AbrirRecordset(const QString& SentenciaSQL, RecordsetPtr& LRCS, int32_t CursorType, int32_t LockType) {
    QString s = SentenciaSQL;
    AbrirRecordset(s, LRCS, nullptr, CursorType, LockType);
}

void DB_Dll::AbrirRecordset(QString& SentenciaSQL, RecordsetPtr& LRCS, Conexion* Conexionactiva, int32_t CursorType,
                            int32_t LockType, int32_t Options, bool ConvOracle) {
    if (!LRCS) LRCS = std::make_shared<Recordset>();
    QString fuente;
    int contador = 2;
    Guardia g([this](const Fallo& f) { return TratamientoErrores(f, {}, QStringLiteral("AbrirRecordset")); });
    g.Antes([&](const Fallo& f) {
        if ((f.Numero() == ado::E_FAIL_PROVEEDOR || f.Numero() == ado::adErrInvalidConnection) &&
            Cnn().Errors().Count() > 0) {
            const ErrorProveedor enlace = Cnn().Errors().Item(0);
            ReintentaConectar();
            if (gOpenFlag) {
                ++contador;  // reaches 3: nothing is repeated automatically
                DevuelveError(Cnn().Errors(), enlace);
                return Guardia::Decision::Dialogo;
            }
            for (;;) {
                ReintentaConectar();
                if (gOpenFlag) return Guardia::Decision::Reintentar;
                PreguntaConexionPerdida();
            }
        }
        return Guardia::Decision::Dialogo;
    });
    g.Ejecuta({
        [&] {
            if (LRCS->State() != ado::adStateClosed) CierraRecordset(LRCS);
        },
        [&] { SentenciaSQL = SS_TSinonimos(SentenciaSQL); },
        [&] {
            const bool oracle = InStr(Cnn().ConnectionString(), QStringLiteral("ORACLE")) > 1 && ConvOracle;
            fuente = oracle ? ORACLE_Dicc(SentenciaSQL) : SentenciaSQL;
        },
        [&] { LRCS->Open(fuente, Conexionactiva ? *Conexionactiva : Cnn(), CursorType, LockType, Options); },
        [&] { ElOperador().ProcesaEventos(); },
    });
}

void DB_Dll::CierraRecordset(RecordsetPtr& rs) {
    Guardia g([this](const Fallo& f) { return TratamientoErrores(f, {}, QStringLiteral("CierraRecordset")); });
    g.Antes([&](const Fallo& f) {
        if (f.Numero() != ado::adErrIllegalOperation || !rs) return Guardia::Decision::Dialogo;
        try {
            rs->CancelUpdate();
            if (rs->State() != ado::adStateClosed) rs->Close();
        } catch (...) {
            (void)FalloActual();
        }
        return Guardia::Decision::Seguir;
    });
    g.Paso([&] {
        if (!rs) throw Fallo(NumeroFallo::ObjetoNoEstablecido, QStringLiteral("Variable de objeto o bloque With no establecido"));
        if (rs->State() != ado::adStateClosed) rs->Close();
    });
}

// ---- dialect -----------------------------------------------------------------------

QString DB_Dll::ORACLE_Dicc(const QString& Valor) const {
    return Traduccion::ORACLE_Dicc(Valor, gConnString);
}

QString DB_Dll::SS_TSinonimos(const QString& sql) const {
    return Traduccion::SS_TSinonimos(sql, gEsAdmin, gConfiguracion.SS_CONFIDENCIALIDAD, NombrePrograma());
}

// ---- the process's sessions ------------------------------------------------------------

namespace {
std::unique_ptr<DB_Dll>& principal() {
    static std::unique_ptr<DB_Dll> s;
    return s;
}
std::unique_ptr<DB_Dll>& estadisticas() {
    static std::unique_ptr<DB_Dll> s;
    return s;
}
}  // namespace

DB_Dll& gDB() {
    auto& s = principal();
    if (!s) s = std::make_unique<DB_Dll>();
    return *s;
}

DB_Dll& gDBEstadisticas() {
    auto& s = estadisticas();
    if (!s) s = std::make_unique<DB_Dll>();
    return *s;
}

void LiberaSesionPrincipal() { principal().reset(); }
void LiberaSesiones() {
    principal().reset();
    estadisticas().reset();
}
