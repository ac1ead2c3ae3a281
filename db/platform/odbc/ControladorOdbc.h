#pragma once
// The ODBC driver (unixODBC). Each text goes to the driver as one request
// through the narrow calls in UTF-8 (FreeTDS is asked for ClientCharset=UTF-8;
// SQLite's driver speaks UTF-8 natively), and every result is walked with
// SQLMoreResults. Transactions use the driver's manual-commit mode
// (SQL_ATTR_AUTOCOMMIT off, SQLEndTran) under a nesting count; T-SQL
// BEGIN/COMMIT TRAN inside a text are the server's business.

#include <QString>
#include <QStringList>
#include <map>

#include "db/platform/Controlador.h"

class ControladorOdbc : public Controlador {
  public:
    ControladorOdbc(QString cadenaOdbc, bool sqlServer);
    ~ControladorOdbc() override;
    ControladorOdbc(const ControladorOdbc&) = delete;
    ControladorOdbc& operator=(const ControladorOdbc&) = delete;

    QString Nombre() const override { return QStringLiteral("odbc"); }
    void Abre(const ParametrosConexion& p, std::vector<ErrorProveedor>& errores) override;
    void Cierra() override;
    bool Abierta() const override { return dbc_ != nullptr; }

    ResultadoLote Ejecuta(const QString& texto, int tiempoEspera) override;
    ResultadoLote EjecutaConParametros(const QString& sql, const QVariantList& parametros,
                                       int tiempoEspera) override;

    int IniciaTransaccion(std::vector<ErrorProveedor>& errores) override;
    void ConfirmaTransaccion(std::vector<ErrorProveedor>& errores) override;
    void DeshaceTransaccion(std::vector<ErrorProveedor>& errores) override;

    ResultadoSentencia Esquema(int codigo, const QVariantList& restricciones,
                               std::vector<ErrorProveedor>& errores) override;
    void CambiaBase(const QString& base, std::vector<ErrorProveedor>& errores) override;
    void CambiaAislamiento(long nivelAdo, std::vector<ErrorProveedor>& errores) override;

    const QString& CadenaOdbc() const { return cadena_; }
    // The connection handle (SQLHDBC), for tests that break the link.
    void* ManejadorConexion() const { return dbc_; }

  private:
    ResultadoLote Corre(const QString& sql, const QVariantList* parametros, int tiempoEspera);
    void TerminaTransaccion(bool confirma, std::vector<ErrorProveedor>& errores);
    void Libera();
    // Marks the columns of each row set that are part of their base table's
    // primary key (asked once per table, after the request's statement is done).
    void MarcaClaves(ResultadoLote& r);
    const QStringList& ClavesDe(const QString& tabla);
    ResultadoSentencia ClavesPrimarias(const QString& catalogo, const QString& esquema, const QString& tabla,
                                       std::vector<ErrorProveedor>& errores);

    QString cadena_;
    bool sqlServer_;
    void* env_ = nullptr;
    void* dbc_ = nullptr;
    int nivel_ = 0;                          // transaction nesting
    std::map<QString, QStringList> claves_;  // primary-key columns by table (upper case)
};

// Drivers registered with the driver manager (odbcinst.ini).
QStringList ControladoresOdbcInstalados();
