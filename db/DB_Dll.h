#pragma once
// The suite's database session: the open connection, the data it was opened
// with, and the operations through which every other part sends statements
// and opens record sets. Statement failures are reported through the
// connection's error collection; the session's own failures go to its error
// dialog and log.

#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "platform/Fallo.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <optional>

class Lib_Dialogo;
class Lib_Util;

class DB_Dll {
public:
    DB_Dll();
    ~DB_Dll();
    DB_Dll(const DB_Dll&) = delete;
    DB_Dll& operator=(const DB_Dll&) = delete;

    // ---- public fields, in the suite's order --------------------------------
    std::shared_ptr<Lib_Dialogo> CmdDlg;   // created on first use (Access files)
    bool gOpenFlag = false;
    QVariant gIgnoraPassWord;
    ConexionPtr gCnn;                      // created, unopened, on first use (see Cnn())
    RecordsetPtr glrcs;
    QVariant gCursorLocation;
    QString gProveedor;
    QString gDsn;
    QString gServidor;
    QString gDBName;
    QString gUsuario;
    bool gEsAdmin = false;
    QString gUserPassWord;
    QString gConnString;
    QString gExtended;
    QString gLogErr;
    int16_t ParametrosSQL = 0;
    int16_t gKVTimeOut = 0;

    // The connection, created unopened when the session has none yet.
    Conexion& Cnn();

    // ---- aggregates ----------------------------------------------------------
    QVariant BuscaMaximo(const QString& QueTabla, const QString& QueCampo, const QVariant& Tipo = {},
                         QString* Condicion = nullptr);
    QVariant BuscaMinimo(const QString& QueTabla, const QString& QueCampo, const QVariant& Tipo = {},
                         const QString& Condicion = {});
    QVariant BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo, const QVariant& Tipo,
                               const QString& Condicion);

    // ---- opening -------------------------------------------------------------
    void OpenServerADODB(bool PideParametrosSQL = false, int32_t lCursor = 3, const QString& ConnString = {},
                         bool ValidaAdmin = true, bool MuestraError = true);
    void ReintentaConectar();
    void OpenLocalADODB(const QString& ConnString = {}, const QString& CadenaID = {},
                        const QString& CadenaPWD = {});

    // ---- single-record helpers -------------------------------------------------
    bool ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                         RecordsetPtr* LRCS = nullptr, const QVariant& Tipodato = 8, const QString& Condicion = {},
                         bool SoloLectura = true);
    bool ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                       RecordsetPtr* LRCS = nullptr, const QVariant& Tipodato = 8, const QString& Condicion = {},
                       bool SoloLectura = true);
    // The text of one column of the first row found; "" when none; a null
    // QVariant when the session is closed.
    QVariant DatosTabla(const QString& Tabla, const QString& ValorBuscado, const QString& CampoDevuelto,
                        const QString& Campo, QVariant* Tipodato = nullptr, const QString& Condicion = {},
                        bool UsaTrim = true, bool IgnoraError = false);

    // ---- value literals and type predicates ------------------------------------
    bool adodate(int Qtype) const;
    QString ADOComilla(int Qtype) const;
    bool ADOText(int Qtype) const;
    bool ADONumeric(int Qtype) const;
    bool ADOCurrency(int Qtype) const { return Qtype == 6; }
    bool ADOBoolean(int Qtype) const { return Qtype == 11; }

    // ---- record sets ------------------------------------------------------------
    void CierraRecordset(RecordsetPtr& rs);
    void QConsulta(const QString&, const QString&, const QString&, const QString&, const QString&,
                   const QString&) {}
    void QGridConsulta(const QString&, const QString&, const QString&, const QString&, const QString&) {}

    // ---- object names -------------------------------------------------------------
    QString stSTF(QString& rsName, bool rnPart) const;
    QString AddBrackets(const QString& rObjName) const;
    QString StripConnect(const QString& rsTblName) const;
    QString StripBrackets(const QString& rsObjName) const;
    QString StripOwner(QString& rsTblName) const;
    QString StripFileName(const QString& rsFileName) const;

    // ---- statements ----------------------------------------------------------------
    // Never raises: the caller reads Cnn().Errors() after the call.
    void EjecutaConsultaSQL(QString& SentenciaSQL, long* RecordsAffected = nullptr, RecordsetPtr* LRCS = nullptr);
    void EjecutaConsultaSQL(const QString& SentenciaSQL);
    void EjecutaConsultaRSQL(QString& SentenciaSQL, long* RecordsAffected = nullptr,
                             RecordsetPtr* LRCS = nullptr);
    void AbrirRecordset(QString& SentenciaSQL, RecordsetPtr& LRCS, Conexion* Conexionactiva = nullptr,
                        int32_t CursorType = 0, int32_t LockType = 1, int32_t Options = -1, bool ConvOracle = true);
    void AbrirRecordset(const QString& SentenciaSQL, RecordsetPtr& LRCS, int32_t CursorType = 0,
                        int32_t LockType = 1);

    // ---- dialect ----------------------------------------------------------------------
    QString ORACLE_Dicc(const QString& Valor) const;
    QString SS_TSinonimos(const QString& sql) const;

    // ---- schema ------------------------------------------------------------------------
    void AddField(const QString& Tabla, const QString& Campo, const QString& Tipo, bool PermiteNulos,
                  const std::optional<QString>& ValorDefault = std::nullopt);
    bool ExisteTablaDB(const QString& Tabla);
    bool ExisteCampoDB(const QString& Tabla, const QString& Campo);
    bool VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar = false, const QString& Tipo = {},
                    bool PermiteNulos = true, const std::optional<QString>& ValorDefault = std::nullopt);

    QString SQLValue2(const QVariant& Valor, const QString& Tipo) const { return SQLValue(Valor, Tipo); }
    QString SQLValue(const QVariant& Valor, const QString& Tipo) const;

    // ---- provider names ------------------------------------------------------------------
    QString pJETOLEDB40() const { return QStringLiteral("Microsoft.Jet.OLEDB.4.0"); }
    QString pJETOLEDB35() const { return QStringLiteral("Microsoft.Jet.OLEDB.3.51"); }
    QString pSQLOLEDB() const { return QStringLiteral("SQLOLEDB"); }

    QVariant ArchivoErrores() const { return QVariant(gLogErr); }
    void SetArchivoErrores(const QVariant& v) { gLogErr = v.toString(); }

    // The error dialog and log of the session: answer code (0 for error 0).
    int16_t TratamientoErrores(const Fallo& CodErr, const QVariant& Botones = {}, const QVariant& Rutina = {});

    // ---- private in the suite, public here for the script runner's tests ----
    void EjecutaScriptSQL(QString& SentenciaSQL, long& RecordsAffected);
    static QString FiltraSentencia(QString& texto);

    bool EsOracle() const;   // the connection string names Oracle
    // The lost-connection question; No ends the process at once.
    void PreguntaConexionPerdida();
    // The single-record helpers' handling of a lost connection: true when
    // the failed step is to run again, false for the error dialog.
    bool RecuperaRegistro(int& contador, bool preguntaSiempre);

private:
    // Shared by EjecutaConsultaSQL and the single-record helpers.
    void EnviaSentencia(QString& SentenciaSQL, long& ra, RecordsetPtr* LRCS);
    bool PrimerNativoEs(int32_t nativo) const;
    bool ExisteEn(bool conTraduccion, const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                  RecordsetPtr* LRCS, const QVariant& Tipodato, const QString& Condicion, bool SoloLectura);

    Lib_Util& Util();
    std::unique_ptr<Lib_Util> util_;
};

// The explanation of a failed opening (with its numbered advice).
QString MensajeErrorConexion(const ErrorProveedor& e);

// The process's sessions, created on first use.
DB_Dll& gDB();
DB_Dll& gDBEstadisticas();
// Releases the main session (shut-down); both sessions (tests).
void LiberaSesionPrincipal();
void LiberaSesiones();
