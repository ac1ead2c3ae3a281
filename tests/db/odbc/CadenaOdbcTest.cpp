// ODBC connection strings built from the suite's OLE DB strings, as text.

#include <gtest/gtest.h>

#include "db/platform/odbc/CadenaOdbc.h"

namespace {

const QStringList kInstalados{QStringLiteral("FreeTDS"), QStringLiteral("SQLite3"),
                              QStringLiteral("MDBTools"), QStringLiteral("Oracle 19 ODBC driver")};

ParametrosConexion SqlServer(const QString& servidor, const QString& extra = {}) {
    ParametrosConexion p;
    p.proveedor = QStringLiteral("SQLOLEDB");
    p.servidor = servidor;
    p.baseDatos = QStringLiteral("DEMO");
    p.usuario = QStringLiteral("sa");
    p.clave = QStringLiteral("secreto");
    p.cadenaOriginal =
        QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =DEMO;UId=sa;Pwd=secreto;").arg(servidor) +
        extra;
    return p;
}

std::string Cadena(const ParametrosConexion& p, const QStringList& instalados = kInstalados) {
    const CadenaOdbc::Destino d = CadenaOdbc::Construye(p, instalados);
    return (d.cadena.isEmpty() ? QStringLiteral("<") + d.motivo + QStringLiteral(">") : d.cadena)
        .toStdString();
}

class CadenaOdbcTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qunsetenv("QUENVAR_ODBC_SQLSERVER");
        qunsetenv("QUENVAR_ODBC_ORACLE");
        qunsetenv("QUENVAR_ODBC_ACCESS");
    }
    void TearDown() override { SetUp(); }
};

}  // namespace

TEST_F(CadenaOdbcTest, SqlServerPorFreeTds) {
    const std::string resto = "Database=DEMO;UID=sa;PWD=secreto;TDS_Version=7.3;ClientCharset=UTF-8;";
    EXPECT_EQ(Cadena(SqlServer("SRV1")), "Driver={FreeTDS};Server=SRV1;" + resto);
    EXPECT_EQ(Cadena(SqlServer("SRV1\\ORBASRV")), "Driver={FreeTDS};Server=SRV1\\ORBASRV;" + resto);
    EXPECT_EQ(Cadena(SqlServer("SRV1,1433")), "Driver={FreeTDS};Server=SRV1;Port=1433;" + resto);
    EXPECT_EQ(Cadena(SqlServer("SRV1:1500")), "Driver={FreeTDS};Server=SRV1;Port=1500;" + resto);
    // A port names the listener itself: the instance is not looked up.
    EXPECT_EQ(Cadena(SqlServer("SRV1\\ORBASRV,1501")), "Driver={FreeTDS};Server=SRV1;Port=1501;" + resto);
    EXPECT_EQ(Cadena(SqlServer("SRV1", "Port=2000;")), "Driver={FreeTDS};Server=SRV1;Port=2000;" + resto);
    EXPECT_EQ(Cadena(SqlServer("(local)\\SQLEXPRESS")),
              "Driver={FreeTDS};Server=127.0.0.1\\SQLEXPRESS;" + resto);
    EXPECT_EQ(Cadena(SqlServer("SRV1", "TDS_Version=7.1;APP=Quenvar;")),
              "Driver={FreeTDS};Server=SRV1;Database=DEMO;UID=sa;PWD=secreto;TDS_Version=7.1;ClientCharset="
              "UTF-8;APP=Quenvar;");
}

TEST_F(CadenaOdbcTest, ValoresQueNoSePuedenInyectar) {
    ParametrosConexion p = SqlServer("SRV1");
    p.clave = QStringLiteral("a;b}c");
    p.cadenaOriginal.clear();
    EXPECT_EQ(Cadena(p),
              "Driver={FreeTDS};Server=SRV1;Database=DEMO;UID=sa;PWD={a;b}}c};TDS_Version=7.3;ClientCharset="
              "UTF-8;");
    p.clave = QStringLiteral("x;Server=OTRO");
    EXPECT_EQ(Cadena(p),
              "Driver={FreeTDS};Server=SRV1;Database=DEMO;UID=sa;PWD={x;Server=OTRO};TDS_Version=7.3;"
              "ClientCharset=UTF-8;");

    const auto items =
        CadenaOdbc::Items(QStringLiteral(" Driver = {SQLite3} ;PWD={a;b}}c}; Database =X ;sinvalor;"));
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].first, "Driver");
    EXPECT_EQ(items[0].second, "SQLite3");
    EXPECT_EQ(items[1].second, "a;b}c");
    EXPECT_EQ(items[2].first, "Database");
    EXPECT_EQ(items[2].second, "X");
}

TEST_F(CadenaOdbcTest, ControladorConfigurableYAusente) {
    qputenv("QUENVAR_ODBC_SQLSERVER", "ODBC Driver 18 for SQL Server");
    EXPECT_EQ(
        Cadena(SqlServer("SRV1"), kInstalados + QStringList{QStringLiteral("ODBC Driver 18 for SQL Server")}),
        "Driver={ODBC Driver 18 for SQL Server};Server=SRV1;Database=DEMO;UID=sa;PWD=secreto;");
    EXPECT_EQ(Cadena(SqlServer("SRV1")),
              "<El controlador ODBC \"ODBC Driver 18 for SQL Server\" no está instalado.>");
    qunsetenv("QUENVAR_ODBC_SQLSERVER");
    EXPECT_EQ(Cadena(SqlServer("SRV1"), {}), "<El controlador ODBC \"FreeTDS\" no está instalado.>");

    ParametrosConexion otro;
    otro.proveedor = QStringLiteral("SQLNCLI11");
    EXPECT_EQ(Cadena(otro), "<El proveedor \"SQLNCLI11\" no está disponible.>");
}

TEST_F(CadenaOdbcTest, OracleYAccess) {
    ParametrosConexion o;
    o.proveedor = QStringLiteral("OraOLEDB.Oracle.1");
    o.cadenaOriginal = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=U;Password=P;");
    EXPECT_EQ(Cadena(o), "<No hay un controlador ODBC de Oracle configurado (QUENVAR_ODBC_ORACLE).>");
    qputenv("QUENVAR_ODBC_ORACLE", "Oracle 19 ODBC driver");
    EXPECT_EQ(Cadena(o), "Driver={Oracle 19 ODBC driver};DBQ=ORCL;UID=U;PWD=P;");

    ParametrosConexion j;
    j.proveedor = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
    j.origenDatos = QStringLiteral("/datos/ventas.mdb");
    EXPECT_EQ(Cadena(j), "Driver={MDBTools};DBQ=/datos/ventas.mdb;");
    EXPECT_EQ(Cadena(j, {QStringLiteral("FreeTDS")}),
              "<El controlador ODBC \"MDBTools\" no está instalado. Para abrir bases de Access hace falta el "
              "controlador de MDB Tools.>");
}

TEST_F(CadenaOdbcTest, ControladorODsnDeLaCadena) {
    ParametrosConexion p;
    p.proveedor = QStringLiteral("MSDASQL");
    p.cadenaOriginal = QStringLiteral("Provider=MSDASQL;Driver={SQLite3};Database=/tmp/a b.db;");
    const CadenaOdbc::Destino d = CadenaOdbc::Construye(p, kInstalados);
    EXPECT_EQ(d.cadena, "Driver={SQLite3};Database=/tmp/a b.db;");
    EXPECT_FALSE(d.sqlServer);

    // A Driver item overrides the SQL Server driver too.
    EXPECT_EQ(Cadena(SqlServer("SRV1", "Driver=SQLite3;")),
              "Server=SRV1;Database=DEMO;UId=sa;Pwd=secreto;Driver={SQLite3};");
    p.cadenaOriginal = QStringLiteral("DSN=Ventas;UID=u;");
    EXPECT_EQ(Cadena(p), "DSN=Ventas;UID=u;");
    p.cadenaOriginal = QStringLiteral("Driver=/no/existe/libx.so;");
    EXPECT_EQ(Cadena(p), "<El controlador ODBC \"/no/existe/libx.so\" no está instalado.>");
}
