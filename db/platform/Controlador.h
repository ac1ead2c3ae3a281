#pragma once
// The driver interface behind Conexion (private to db/platform: no driver
// header leaks through it). Two drivers: the embedded engine (SQLite with the
// suite's SQL Server dialect) and ODBC.

#include "db/platform/Errores.h"

#include <QString>
#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

struct ColumnaResultado {
    QString nombre;
    int tipo = 0;              // ADO data type code
    long tamano = 0;           // defined size
    int precision = 0;
    int escala = 0;
    QString tablaBase;         // base table, when the driver knows it
    QString columnaBase;
    bool clave = false;        // part of the base table's primary key
    bool autoincremento = false;  // identity / filled by the engine
    bool admiteNulos = true;
};

using Fila = QVector<QVariant>;

// One result of a request: a row set, or an affected-row count.
struct ResultadoSentencia {
    bool conFilas = false;
    std::vector<ColumnaResultado> columnas;
    std::vector<Fila> filas;
    long afectadas = -1;       // -1 when the statement reports no count
};

struct ResultadoLote {
    std::vector<ResultadoSentencia> resultados;
    std::vector<ErrorProveedor> errores;
    // The request failed as a whole: it did not compile, its first statement
    // failed, or the connection was lost. Conexion raises `numeroFallo` then.
    bool fallaCompleta = false;
    int32_t numeroFallo = 0;
    bool conexionPerdida = false;
};

struct ParametrosConexion {
    QString proveedor;         // "SQLOLEDB", "OraOLEDB.Oracle.1", "Microsoft.Jet.OLEDB.4.0", ...
    QString servidor;
    QString baseDatos;
    QString usuario;
    QString clave;
    QString origenDatos;       // Data Source (Oracle, Jet)
    QString cadenaOriginal;
    int tiempoEspera = 30;
};

// One statement with "?" markers, prepared once and run for set after set
// of values (bulk loads). Each run reports as EjecutaConParametros does.
class PreparadaControlador {
public:
    virtual ~PreparadaControlador() = default;
    virtual ResultadoLote Ejecuta(const QVariantList& parametros, int tiempoEspera) = 0;
};

class Controlador {
public:
    virtual ~Controlador() = default;

    virtual QString Nombre() const = 0;
    // Fails with a Fallo; `errores` receives the diagnostics.
    virtual void Abre(const ParametrosConexion& p, std::vector<ErrorProveedor>& errores) = 0;
    virtual void Cierra() = 0;
    virtual bool Abierta() const = 0;

    virtual ResultadoLote Ejecuta(const QString& texto, int tiempoEspera) = 0;
    // One statement with "?" parameters (record-set writes).
    virtual ResultadoLote EjecutaConParametros(const QString& sql, const QVariantList& parametros,
                                               int tiempoEspera) = 0;

    // A statement for many runs; nothing, with `errores`, when it cannot be
    // prepared. The default runs it through EjecutaConParametros each time.
    virtual std::unique_ptr<PreparadaControlador> PreparaSentencia(const QString& sql, std::vector<ErrorProveedor>& errores);

    virtual int IniciaTransaccion(std::vector<ErrorProveedor>& errores) = 0;     // nesting level
    virtual void ConfirmaTransaccion(std::vector<ErrorProveedor>& errores) = 0;
    virtual void DeshaceTransaccion(std::vector<ErrorProveedor>& errores) = 0;

    virtual ResultadoSentencia Esquema(int codigo, const QVariantList& restricciones,
                                       std::vector<ErrorProveedor>& errores) = 0;
    virtual void CambiaBase(const QString& base, std::vector<ErrorProveedor>& errores) = 0;
    // The isolation level of the next transactions, as an ADO level; a
    // driver with one isolation only ignores it.
    virtual void CambiaAislamiento(long nivelAdo, std::vector<ErrorProveedor>& errores) {}
    // An exclusive application lock named `recurso`, owned by this connection
    // and freed when it closes, however the process ends. Taking it never
    // waits: false when another connection holds it. `titular` is kept with
    // the lock while it is held; a refusal returns the holder's in `actual`.
    // Failures land in `errores` (and count as a refusal). The default asks
    // SQL Server (sp_getapplock, with the holder in a global temporary table).
    virtual bool TomaBloqueo(const QString& recurso, const QString& titular, QString& actual,
                             std::vector<ErrorProveedor>& errores);
    virtual void SueltaBloqueo(const QString& recurso, std::vector<ErrorProveedor>& errores);
};

inline std::unique_ptr<PreparadaControlador> Controlador::PreparaSentencia(const QString& sql, std::vector<ErrorProveedor>&) {
    class PorTexto : public PreparadaControlador {
    public:
        PorTexto(Controlador& c, QString sql) : c_(c), sql_(std::move(sql)) {}
        ResultadoLote Ejecuta(const QVariantList& parametros, int tiempoEspera) override {
            return c_.EjecutaConParametros(sql_, parametros, tiempoEspera);
        }

    private:
        Controlador& c_;
        QString sql_;
    };
    return std::make_unique<PorTexto>(*this, sql);
}

// SQL Server: sp_getapplock owned by the session; the holder's text in a
// global temporary table, dropped by the server with the session.
inline bool Controlador::TomaBloqueo(const QString& recurso, const QString& titular, QString& actual,
                                     std::vector<ErrorProveedor>& errores) {
    auto cita = [](QString t) { return QStringLiteral("N'") + t.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); };
    // One global table for the holders of every database of the server.
    const QString sql =
        QStringLiteral("SET NOCOUNT ON\r\nDECLARE @r int\r\n"
                       "EXEC @r = sp_getapplock @Resource = %1, @LockMode = 'Exclusive', @LockOwner = 'Session', "
                       "@LockTimeout = 0\r\n"
                       "IF @r >= 0 BEGIN\r\n"
                       " IF OBJECT_ID('tempdb..##QuenvarBloqueos') IS NULL\r\n"
                       "  CREATE TABLE ##QuenvarBloqueos (base sysname, recurso nvarchar(255), titular nvarchar(400))\r\n"
                       " DELETE FROM ##QuenvarBloqueos WHERE base = DB_NAME() AND recurso = %1\r\n"
                       " INSERT INTO ##QuenvarBloqueos VALUES (DB_NAME(), %1, %2)\r\nEND\r\n"
                       "SELECT @r AS r, (CASE WHEN @r < 0 AND OBJECT_ID('tempdb..##QuenvarBloqueos') IS NOT NULL "
                       "THEN (SELECT TOP 1 titular FROM ##QuenvarBloqueos WHERE base = DB_NAME() AND recurso = %1) "
                       "END) AS titular")
            .arg(cita(recurso), cita(titular));
    ResultadoLote r = Ejecuta(sql, 0);
    errores.insert(errores.end(), r.errores.begin(), r.errores.end());
    for (const ResultadoSentencia& rs : r.resultados) {
        if (!rs.conFilas || rs.filas.empty() || rs.filas.front().size() < 2) continue;
        const bool tomado = rs.filas.front().at(0).toInt() >= 0;
        if (!tomado) actual = rs.filas.front().at(1).toString();
        return tomado;
    }
    return false;
}

inline void Controlador::SueltaBloqueo(const QString& recurso, std::vector<ErrorProveedor>& errores) {
    QString r = recurso;
    r.replace(QLatin1Char('\''), QStringLiteral("''"));
    ResultadoLote l = Ejecuta(QStringLiteral("EXEC sp_releaseapplock @Resource = N'") + r +
                                  QStringLiteral("', @LockOwner = 'Session'"),
                              0);
    errores.insert(errores.end(), l.errores.begin(), l.errores.end());
}

// Creates the driver for a connection string; nothing when no driver serves it
// (the caller reports 3706 with `motivo`). Dispatches on provider and server:
// SQLOLEDB with server "(embebido)" to the embedded driver, everything else
// to ODBC.
std::shared_ptr<Controlador> CreaControlador(const ParametrosConexion& p, QString& motivo);
std::shared_ptr<Controlador> CreaControladorEmbebido(const ParametrosConexion& p, QString& motivo);
std::shared_ptr<Controlador> CreaControladorOdbc(const ParametrosConexion& p, QString& motivo);
