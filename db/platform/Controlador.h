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

    virtual int IniciaTransaccion(std::vector<ErrorProveedor>& errores) = 0;     // nesting level
    virtual void ConfirmaTransaccion(std::vector<ErrorProveedor>& errores) = 0;
    virtual void DeshaceTransaccion(std::vector<ErrorProveedor>& errores) = 0;

    virtual ResultadoSentencia Esquema(int codigo, const QVariantList& restricciones,
                                       std::vector<ErrorProveedor>& errores) = 0;
    virtual void CambiaBase(const QString& base, std::vector<ErrorProveedor>& errores) = 0;
    // The isolation level of the next transactions, as an ADO level; a
    // driver with one isolation only ignores it.
    virtual void CambiaAislamiento(long nivelAdo, std::vector<ErrorProveedor>& errores) {}
};

// Creates the driver for a connection string; nothing when no driver serves it
// (the caller reports 3706 with `motivo`). Dispatches on provider and server:
// SQLOLEDB with server "(embebido)" to the embedded driver, everything else
// to ODBC.
std::shared_ptr<Controlador> CreaControlador(const ParametrosConexion& p, QString& motivo);
std::shared_ptr<Controlador> CreaControladorEmbebido(const ParametrosConexion& p, QString& motivo);
std::shared_ptr<Controlador> CreaControladorOdbc(const ParametrosConexion& p, QString& motivo);
