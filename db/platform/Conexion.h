#pragma once
// An ADO-shaped connection. The connection string selects the driver:
//   PROVIDER=SQLOLEDB;Server=(embebido);Database =X;...   embedded engine, file X.db
//                                                         in the data folder
//   PROVIDER=SQLOLEDB;Server=SRV[\INST][,port];...        ODBC, SQL Server driver
//   Provider=OraOLEDB.Oracle.1;Data Source=...;...        ODBC, Oracle driver when configured
//   PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =F;...   ODBC, Access driver when installed
// Statement failures land in Errors(); Execute raises only when the request
// failed as a whole (see Execute).

#include "db/platform/Errores.h"
#include "db/platform/Recordset.h"

#include <QString>
#include <QVariant>

#include <memory>

class Controlador;
class PreparadaControlador;
struct ResultadoLote;

// One statement with "?" markers prepared once by Conexion::Prepara and run
// for each set of values in turn: the rows of a bulk load, without a
// request's text to build and translate for each. It keeps the connection's
// driver; a run after the connection closed fails with 3709.
class SentenciaPreparada {
public:
    ~SentenciaPreparada();
    SentenciaPreparada(const SentenciaPreparada&) = delete;
    SentenciaPreparada& operator=(const SentenciaPreparada&) = delete;

    // Runs with `parametros` bound in order. Errors() of the connection is
    // cleared first; a failure is raised as EjecutaConParametros raises it.
    void Ejecuta(const QVariantList& parametros, long* recordsAffected = nullptr);

private:
    friend class Conexion;
    SentenciaPreparada() = default;

    std::shared_ptr<Controlador> c_;   // outlives p_
    std::unique_ptr<PreparadaControlador> p_;
    std::shared_ptr<Errores> errores_;
    int tiempoEspera_ = 30;
};

class Conexion {
public:
    Conexion();
    ~Conexion();
    Conexion(const Conexion&) = delete;
    Conexion& operator=(const Conexion&) = delete;

    QString ConnectionString() const;
    void SetConnectionString(const QString& cs);   // 3705 while open
    int CursorLocation() const;
    void SetCursorLocation(int v);
    int CommandTimeout() const;                    // seconds; default 30
    void SetCommandTimeout(int segundos);
    QString DefaultDatabase() const;
    void SetDefaultDatabase(const QString& base);  // on an open connection, switches database
    long IsolationLevel() const;
    void SetIsolationLevel(long nivel);            // ADO level; applied now when open, else at Open

    // Opens with the given string (or the one set). Fails with 3705 when
    // open, 3706 when the provider or driver is not available, 0x80004005
    // when the server cannot be reached or the database does not exist
    // (native 4060), 0x80040E4D for a refused login; entries in Errors().
    void Open(const QString& connectionString = {}, const QString& userId = {}, const QString& password = {},
              int options = -1);
    void Close();        // 3704 when already closed
    int State() const;

    // Runs the text as one request; it may hold several statements. Errors()
    // is cleared first and then holds every diagnostic of the request.
    // Raises when the request failed as a whole: 3709 on a closed connection,
    // 0x80004005 when the connection is lost (an entry with native 11), and
    // the number of the first entry when the batch did not compile (nothing
    // ran) or its first statement failed. Failures of later statements are
    // reported in Errors() only. Returns the first result set (a closed
    // record set when the request returned none); `recordsAffected` gets
    // the count of the first statement that reports one.
    RecordsetPtr Execute(const QString& commandText, long* recordsAffected = nullptr, int options = -1);
    // One statement with "?" markers bound to `parametros` in order (values
    // are never pasted into the text); otherwise as Execute.
    RecordsetPtr EjecutaConParametros(const QString& sentencia, const QVariantList& parametros,
                                      long* recordsAffected = nullptr);

    // The statement prepared for many runs (see SentenciaPreparada). Raises
    // 3709 when closed, and what the server reports when it does not take
    // the statement.
    std::unique_ptr<SentenciaPreparada> Prepara(const QString& sentencia);

    // Transaction control; BeginTrans returns the nesting level.
    int BeginTrans();
    void CommitTrans();
    void RollbackTrans();

    // The exclusive application lock `recurso`, owned by this connection and
    // freed when it closes or the process ends. Never waits: false when
    // another connection holds it, with that holder's `titular` in `actual`
    // (empty when unknown). Errors() holds the server's complaints, if any.
    bool TomaBloqueo(const QString& recurso, const QString& titular, QString& actual);
    void SueltaBloqueo(const QString& recurso);

    Errores& Errors() { return *errores_; }
    const Errores& Errors() const { return *errores_; }
    std::shared_ptr<Errores> ErroresCompartidos() const { return errores_; }

    // Schema rowsets: adSchemaTables (20) with TABLE_CATALOG, TABLE_SCHEMA,
    // TABLE_NAME, TABLE_TYPE ("TABLE", "VIEW", "SYSTEM TABLE"); adSchemaColumns
    // (4) with TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME,
    // ORDINAL_POSITION, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH, IS_NULLABLE, in
    // table order; adSchemaPrimaryKeys (28) with TABLE_CATALOG, TABLE_SCHEMA,
    // TABLE_NAME, COLUMN_NAME, ORDINAL (1-based, key order), PK_NAME.
    // Restrictions: catalogue, schema, table, column (empty = any; ODBC needs
    // the table for the keys).
    RecordsetPtr OpenSchema(int schema, const QVariantList& restricciones = {});

    // The driver behind the open connection ("embebido", "odbc"); empty when closed.
    QString Controlador_() const;

    // For the platform's own record sets.
    std::shared_ptr<Controlador> ControladorActivo() const;

private:
    [[noreturn]] void Falla(int32_t numero, const QString& descripcion);
    void RegistraYLanza(const std::vector<ErrorProveedor>& errs);  // raises the first, if any
    RecordsetPtr Resultado(const QString& commandText, ResultadoLote r, long* recordsAffected);

    std::shared_ptr<Controlador> c_;
    QString connectionString_;
    QString defaultDatabase_;
    int cursorLocation_ = 2;
    int commandTimeout_ = 30;
    long aislamiento_ = 4096;  // adXactReadCommitted
    bool aislamientoElegido_ = false;
    std::shared_ptr<Errores> errores_;
};

using ConexionPtr = std::shared_ptr<Conexion>;
