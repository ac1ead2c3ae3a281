// The ODBC driver against the real driver manager, with SQLite's ODBC driver
// (and FreeTDS for an unreachable server) registered in a temporary
// odbcinst.ini.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "db/platform/Ado.h"
#include "db/platform/odbc/ControladorOdbc.h"
#include "db/platform/odbc/DiagnosticoOdbc.h"
#include "platform/Espera.h"

#include <thread>
#include "tests/support/Soporte.h"

namespace {

const char* const kSqlite = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";
const char* const kFreeTds = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";

// The driver manager reads this configuration from the first ODBC call on.
class EntornoOdbc : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QFile ini(dir_.filePath(QStringLiteral("odbcinst.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(
            QStringLiteral(
                "[SQLite3]\nDriver=%1\n\n[FreeTDS]\nDriver=%2\n\n[Roto]\nDriver=libquenvar_noexiste.so\n")
                .arg(QLatin1String(kSqlite), QLatin1String(kFreeTds))
                .toUtf8());
        ini.close();
        QFile(dir_.filePath(QStringLiteral("odbc.ini"))).open(QIODevice::WriteOnly);
        qputenv("ODBCSYSINI", dir_.path().toUtf8());
        qputenv("ODBCINSTINI", "odbcinst.ini");
        qputenv("ODBCINI", dir_.filePath(QStringLiteral("odbc.ini")).toUtf8());
        qunsetenv("QUENVAR_ODBC_SQLSERVER");
        qunsetenv("QUENVAR_ODBC_ORACLE");
        qunsetenv("QUENVAR_ODBC_ACCESS");
    }

  private:
    QTemporaryDir dir_;
};

const auto* const kEntorno = ::testing::AddGlobalTestEnvironment(new EntornoOdbc);

ParametrosConexion Sqlite(const QString& archivo) {
    ParametrosConexion p;
    p.proveedor = QStringLiteral("MSDASQL");
    p.cadenaOriginal = QStringLiteral("Provider=MSDASQL;Driver={SQLite3};Database=%1;").arg(archivo);
    return p;
}

std::string Entradas(const std::vector<ErrorProveedor>& l) {
    std::string s;
    for (const auto& e : l)
        s +=
            QStringLiteral("[%1 %2 %3] ").arg(e.SQLState).arg(e.NativeError).arg(e.Description).toStdString();
    return s;
}

class OdbcSqlite : public PruebaConCarpeta {
  protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        QString motivo;
        auto c = CreaControladorOdbc(Sqlite(Ruta(QStringLiteral("prueba.db"))), motivo);
        ASSERT_TRUE(c) << motivo.toStdString();
        c_ = std::static_pointer_cast<ControladorOdbc>(c);
        std::vector<ErrorProveedor> errores;
        c_->Abre(Sqlite(Ruta(QStringLiteral("prueba.db"))), errores);
        ASSERT_TRUE(c_->Abierta());
    }
    void TearDown() override {
        c_.reset();
        PruebaConCarpeta::TearDown();
    }
    ResultadoLote Ok(const QString& sql) {
        ResultadoLote r = c_->Ejecuta(sql, 30);
        EXPECT_TRUE(r.errores.empty()) << sql.toStdString() << ": " << Entradas(r.errores);
        EXPECT_FALSE(r.fallaCompleta);
        return r;
    }
    std::shared_ptr<ControladorOdbc> c_;
};

}  // namespace

TEST_F(OdbcSqlite, FilasColumnasYValores) {
    Ok(QStringLiteral(
        "CREATE TABLE V_MA_ARTICULOS (ID INTEGER PRIMARY KEY AUTOINCREMENT, IdArticulo varchar(25) NOT NULL, "
        "Descripcion varchar(60), Precio numeric(12,4), Alta datetime, Nota text, Peso float, Baja bit)"));
    Ok(QStringLiteral(
        "INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, Precio, Alta, Peso, Baja) VALUES "
        "('A.1', 'Ñandú de peluche', 12.5, '2024-03-01 10:20:30', 1.25, 1)"));
    Ok(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo) VALUES ('  B2')"));

    ResultadoLote r = Ok(QStringLiteral("SELECT * FROM V_MA_ARTICULOS ORDER BY ID"));
    ASSERT_EQ(r.resultados.size(), 1u);
    const ResultadoSentencia& s = r.resultados[0];
    ASSERT_TRUE(s.conFilas);
    ASSERT_EQ(s.columnas.size(), 8u);
    EXPECT_EQ(s.columnas[0].nombre, "ID");
    EXPECT_EQ(s.columnas[0].tipo, ado::adInteger);
    EXPECT_TRUE(s.columnas[0].clave);
    EXPECT_TRUE(s.columnas[0].autoincremento);
    EXPECT_FALSE(s.columnas[1].clave);
    EXPECT_EQ(s.columnas[1].nombre, "IdArticulo");
    EXPECT_EQ(s.columnas[1].tipo, ado::adVarChar);
    EXPECT_EQ(s.columnas[1].tamano, 25);
    EXPECT_EQ(s.columnas[1].tablaBase, "V_MA_ARTICULOS");
    EXPECT_EQ(s.columnas[3].tipo, ado::adDouble);  // SQLite's driver reports numeric as SQL_DOUBLE
    EXPECT_EQ(s.columnas[4].tipo, ado::adDBTimeStamp);
    EXPECT_EQ(s.columnas[5].tipo, ado::adLongVarChar);
    EXPECT_EQ(s.columnas[6].tipo, ado::adDouble);
    EXPECT_EQ(s.columnas[7].tipo, ado::adBoolean);

    ASSERT_EQ(s.filas.size(), 2u);
    const Fila& a = s.filas[0];
    EXPECT_EQ(a[0].toInt(), 1);
    EXPECT_EQ(a[1].toString(), "A.1");
    EXPECT_EQ(a[2].toString(), QStringLiteral("Ñandú de peluche"));
    EXPECT_DOUBLE_EQ(a[3].toDouble(), 12.5);
    EXPECT_EQ(a[4].toDateTime(), QDateTime(QDate(2024, 3, 1), QTime(10, 20, 30)));
    EXPECT_TRUE(a[5].isNull());
    EXPECT_DOUBLE_EQ(a[6].toDouble(), 1.25);
    EXPECT_EQ(a[7].toBool(), true);
    const Fila& b = s.filas[1];
    EXPECT_EQ(b[1].toString(), "  B2");  // leading blanks kept
    EXPECT_TRUE(b[2].isNull());
    EXPECT_TRUE(b[3].isNull());
    EXPECT_TRUE(b[4].isNull());

    ResultadoLote u = Ok(QStringLiteral("UPDATE V_MA_ARTICULOS SET Precio = 1"));
    ASSERT_EQ(u.resultados.size(), 1u);
    EXPECT_FALSE(u.resultados[0].conFilas);
    EXPECT_EQ(u.resultados[0].afectadas, 2);
    ResultadoLote ninguna = Ok(QStringLiteral("DELETE FROM V_MA_ARTICULOS WHERE ID = 99"));
    ASSERT_EQ(ninguna.resultados.size(), 1u);
    EXPECT_EQ(ninguna.resultados[0].afectadas, 0);
}

TEST_F(OdbcSqlite, TextoLargoEnTrozos) {
    Ok(QStringLiteral("CREATE TABLE T (Nota text)"));
    QString largo;
    for (int i = 0; i < 5000; ++i)
        largo += QStringLiteral("añ");  // multi-byte characters across chunk borders
    largo += QStringLiteral("fin");
    ResultadoLote w =
        c_->EjecutaConParametros(QStringLiteral("INSERT INTO T (Nota) VALUES (?)"), {largo}, 30);
    ASSERT_TRUE(w.errores.empty()) << Entradas(w.errores);
    ResultadoLote r = Ok(QStringLiteral("SELECT Nota FROM T"));
    ASSERT_EQ(r.resultados.at(0).filas.size(), 1u);
    EXPECT_EQ(r.resultados[0].filas[0][0].toString(), largo);
}

TEST_F(OdbcSqlite, DiagnosticosDeUnaSentenciaFallida) {
    Ok(QStringLiteral("CREATE TABLE T (A int PRIMARY KEY, B varchar(5))"));
    Ok(QStringLiteral("INSERT INTO T VALUES (1, 'x')"));

    ResultadoLote r = c_->Ejecuta(QStringLiteral("SELECT * FROM NOEXISTE"), 30);
    EXPECT_TRUE(r.fallaCompleta);
    EXPECT_FALSE(r.conexionPerdida);
    EXPECT_TRUE(r.resultados.empty());
    ASSERT_EQ(r.errores.size(), 1u) << Entradas(r.errores);
    EXPECT_EQ(r.errores[0].SQLState, "HY000");
    EXPECT_EQ(r.errores[0].NativeError, 1);
    EXPECT_EQ(r.errores[0].Description, "no such table: NOEXISTE (1)");
    EXPECT_EQ(r.errores[0].Number, ado::DB_E_ERRORSINCOMMAND);
    EXPECT_EQ(r.numeroFallo, ado::DB_E_ERRORSINCOMMAND);

    ResultadoLote d = c_->Ejecuta(QStringLiteral("INSERT INTO T VALUES (1, 'y')"), 30);
    EXPECT_TRUE(d.fallaCompleta);
    ASSERT_EQ(d.errores.size(), 1u) << Entradas(d.errores);
    EXPECT_EQ(d.errores[0].NativeError, 19);  // SQLite's constraint code, as the driver gives it
    EXPECT_TRUE(d.errores[0].Description.contains(QLatin1String("UNIQUE"))) << Entradas(d.errores);

    // SQLite's driver takes one statement per request and says so.
    ResultadoLote dos = c_->Ejecuta(QStringLiteral("INSERT INTO T VALUES (2, 'y');\nSELECT * FROM T"), 30);
    EXPECT_TRUE(dos.fallaCompleta);
    ASSERT_EQ(dos.errores.size(), 1u);
    EXPECT_EQ(dos.errores[0].Description, "only one SQL statement allowed");

    // The connection goes on serving requests.
    ResultadoLote c = Ok(QStringLiteral("SELECT count(*) FROM T"));
    EXPECT_EQ(c.resultados.at(0).filas.at(0).at(0).toInt(), 1);
}

TEST_F(OdbcSqlite, InsercionConParametros) {
    Ok(QStringLiteral("CREATE TABLE T (A int, B varchar(30), C float, D datetime, E varchar(10), F bigint)"));
    const QDateTime momento(QDate(2023, 12, 31), QTime(23, 59, 58));
    const QString conComillas = QStringLiteral("O'Higgins; --");
    ResultadoLote w =
        c_->EjecutaConParametros(QStringLiteral("INSERT INTO T VALUES (?, ?, ?, ?, ?, ?)"),
                                 {7, conComillas, 2.5, momento, QVariant(), qlonglong(1) << 40}, 30);
    ASSERT_TRUE(w.errores.empty()) << Entradas(w.errores);
    ASSERT_EQ(w.resultados.size(), 1u);
    EXPECT_EQ(w.resultados[0].afectadas, 1);

    ResultadoLote r = Ok(QStringLiteral("SELECT A, B, C, D, E, F FROM T"));
    const Fila& f = r.resultados.at(0).filas.at(0);
    EXPECT_EQ(f[0].toInt(), 7);
    EXPECT_EQ(f[1].toString(), conComillas);
    EXPECT_DOUBLE_EQ(f[2].toDouble(), 2.5);
    EXPECT_EQ(f[3].toDateTime(), momento);
    EXPECT_TRUE(f[4].isNull());
    EXPECT_EQ(f[5].toLongLong(), qlonglong(1) << 40);

    ResultadoLote mal = c_->EjecutaConParametros(QStringLiteral("INSERT INTO NOEXISTE VALUES (?)"), {1}, 30);
    EXPECT_TRUE(mal.fallaCompleta);
    EXPECT_EQ(mal.errores.size(), 1u);
}

TEST_F(OdbcSqlite, TransaccionesConNivel) {
    Ok(QStringLiteral("CREATE TABLE T (A int)"));
    std::vector<ErrorProveedor> errores;
    EXPECT_EQ(c_->IniciaTransaccion(errores), 1);
    Ok(QStringLiteral("INSERT INTO T VALUES (1)"));
    c_->DeshaceTransaccion(errores);
    EXPECT_EQ(Ok(QStringLiteral("SELECT count(*) FROM T")).resultados.at(0).filas.at(0).at(0).toInt(), 0);

    EXPECT_EQ(c_->IniciaTransaccion(errores), 1);
    Ok(QStringLiteral("INSERT INTO T VALUES (2)"));
    EXPECT_EQ(c_->IniciaTransaccion(errores), 2);
    Ok(QStringLiteral("INSERT INTO T VALUES (3)"));
    c_->ConfirmaTransaccion(errores);  // inner level: nothing committed yet
    c_->DeshaceTransaccion(errores);   // undoes both levels
    EXPECT_EQ(Ok(QStringLiteral("SELECT count(*) FROM T")).resultados.at(0).filas.at(0).at(0).toInt(), 0);

    EXPECT_EQ(c_->IniciaTransaccion(errores), 1);
    Ok(QStringLiteral("INSERT INTO T VALUES (4)"));
    c_->ConfirmaTransaccion(errores);
    EXPECT_TRUE(errores.empty()) << Entradas(errores);
    // Committed: another connection sees the row.
    ControladorOdbc otro(c_->CadenaOdbc(), false);
    otro.Abre(Sqlite(Ruta(QStringLiteral("prueba.db"))), errores);
    EXPECT_EQ(otro.Ejecuta(QStringLiteral("SELECT A FROM T"), 30).resultados.at(0).filas.at(0).at(0).toInt(),
              4);
    otro.Cierra();

    try {
        c_->ConfirmaTransaccion(errores);
        FAIL() << "commit without a transaction";
    } catch (const Fallo& f) {
        ASSERT_EQ(errores.size(), 1u);
        EXPECT_EQ(errores[0].NativeError, 3902);
        EXPECT_EQ(f.Numero(), errores[0].Number);
    }
}

TEST_F(OdbcSqlite, EsquemaDeTablasYColumnas) {
    Ok(QStringLiteral(
        "CREATE TABLE TA_USUARIOS (nombre varchar(20) NOT NULL, Administrador int, Alta datetime)"));
    Ok(QStringLiteral("CREATE TABLE TAXUSUARIOS (otro int)"));  // "_" is no wildcard for a restriction
    Ok(QStringLiteral("CREATE VIEW VT_USUARIOS AS SELECT nombre FROM TA_USUARIOS"));
    std::vector<ErrorProveedor> errores;

    ResultadoSentencia t = c_->Esquema(ado::adSchemaTables, {}, errores);
    ASSERT_EQ(t.columnas.size(), 4u);
    EXPECT_EQ(t.columnas[2].nombre, "TABLE_NAME");
    EXPECT_EQ(t.columnas[3].nombre, "TABLE_TYPE");
    QMap<QString, QString> tipos;
    for (const Fila& f : t.filas) tipos[f[2].toString()] = f[3].toString();
    EXPECT_EQ(tipos.value("TA_USUARIOS"), "TABLE");
    EXPECT_EQ(tipos.value("VT_USUARIOS"), "VIEW");
    EXPECT_TRUE(tipos.contains("TAXUSUARIOS"));

    ResultadoSentencia c = c_->Esquema(
        ado::adSchemaColumns, {QStringLiteral("prueba"), {}, QStringLiteral("ta_usuarios"), {}}, errores);
    EXPECT_TRUE(errores.empty()) << Entradas(errores);
    ASSERT_EQ(c.columnas.size(), 8u);
    EXPECT_EQ(c.columnas[3].nombre, "COLUMN_NAME");
    EXPECT_EQ(c.columnas[5].nombre, "DATA_TYPE");
    ASSERT_EQ(c.filas.size(), 3u);
    EXPECT_EQ(c.filas[0][3].toString(), "nombre");
    EXPECT_EQ(c.filas[0][4].toInt(), 1);
    EXPECT_EQ(c.filas[0][5].toInt(), ado::adVarChar);
    EXPECT_EQ(c.filas[0][6].toInt(), 20);
    EXPECT_EQ(c.filas[1][3].toString(), "Administrador");
    EXPECT_EQ(c.filas[1][5].toInt(), ado::adInteger);
    EXPECT_TRUE(c.filas[1][6].isNull());
    EXPECT_EQ(c.filas[2][5].toInt(), ado::adDBTimeStamp);
    EXPECT_EQ(c.filas[2][4].toInt(), 3);

    EXPECT_TRUE(
        c_->Esquema(ado::adSchemaColumns, {{}, {}, QStringLiteral("NOEXISTE"), {}}, errores).filas.empty());
    c_->CambiaBase(QStringLiteral("prueba"), errores);  // one database per file: nothing to switch
    EXPECT_TRUE(errores.empty()) << Entradas(errores);
    EXPECT_THROW(c_->Esquema(12345, {}, errores), Fallo);
}

// The link dropped under the driver: the driver manager reports 08003 for
// the connection that is no longer there.
TEST_F(OdbcSqlite, ConexionPerdida) {
    Ok(QStringLiteral("CREATE TABLE T (A int)"));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLDisconnect(static_cast<SQLHDBC>(c_->ManejadorConexion()))));

    ResultadoLote r = c_->Ejecuta(QStringLiteral("SELECT * FROM T"), 30);
    EXPECT_TRUE(r.conexionPerdida);
    EXPECT_TRUE(r.fallaCompleta);
    EXPECT_EQ(r.numeroFallo, ado::E_FAIL_PROVEEDOR);
    ASSERT_FALSE(r.errores.empty());
    EXPECT_EQ(r.errores[0].SQLState, "08003") << Entradas(r.errores);
    EXPECT_EQ(r.errores[0].NativeError, 11);
    EXPECT_EQ(r.errores[0].Number, ado::E_FAIL_PROVEEDOR);
    EXPECT_EQ(r.errores[0].Source, "[unixODBC][Driver Manager]");

    // Closing and reopening recovers.
    c_->Cierra();
    EXPECT_FALSE(c_->Abierta());
    std::vector<ErrorProveedor> errores;
    c_->Abre(Sqlite(Ruta(QStringLiteral("prueba.db"))), errores);
    Ok(QStringLiteral("SELECT * FROM T"));
}

TEST(OdbcControladores, ControladorAusenteOSinBiblioteca) {
    ParametrosConexion p;
    p.proveedor = QStringLiteral("MSDASQL");
    p.cadenaOriginal = QStringLiteral("Driver={NoExiste};Database=x;");
    QString motivo;
    EXPECT_FALSE(CreaControladorOdbc(p, motivo));
    EXPECT_EQ(motivo, QStringLiteral("El controlador ODBC \"NoExiste\" no está instalado."));

    // Registered, but its library is missing: the opening fails with 3706.
    p.cadenaOriginal = QStringLiteral("Driver={Roto};Database=x;");
    auto c = CreaControladorOdbc(p, motivo);
    ASSERT_TRUE(c);
    std::vector<ErrorProveedor> errores;
    try {
        c->Abre(p, errores);
        FAIL() << "opened without a driver";
    } catch (const Fallo& f) {
        EXPECT_EQ(f.Numero(), ado::adErrProviderNotFound);
        EXPECT_TRUE(f.Descripcion().startsWith(QLatin1String("Provider cannot be found."))) << f.what();
    }
    ASSERT_FALSE(errores.empty());
    EXPECT_TRUE(errores.back().Description.contains(QLatin1String("libquenvar_noexiste.so")))
        << Entradas(errores);
    EXPECT_FALSE(c->Abierta());

    // A DSN nobody defined.
    p.cadenaOriginal = QStringLiteral("DSN=NoDefinido;");
    c = CreaControladorOdbc(p, motivo);
    ASSERT_TRUE(c);
    errores.clear();
    try {
        c->Abre(p, errores);
        FAIL() << "opened an undefined DSN";
    } catch (const Fallo& f) {
        EXPECT_EQ(f.Numero(), ado::adErrProviderNotFound);
    }
    ASSERT_EQ(errores.size(), 1u);
    EXPECT_EQ(errores[0].SQLState, "IM002");

    ParametrosConexion oracle;
    oracle.proveedor = QStringLiteral("OraOLEDB.Oracle.1");
    oracle.origenDatos = QStringLiteral("ORCL");
    EXPECT_FALSE(CreaControladorOdbc(oracle, motivo));
    EXPECT_TRUE(motivo.contains(QLatin1String("QUENVAR_ODBC_ORACLE")));

    ParametrosConexion jet;
    jet.proveedor = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
    jet.origenDatos = QStringLiteral("/tmp/x.mdb");
    EXPECT_FALSE(CreaControladorOdbc(jet, motivo));
    EXPECT_TRUE(motivo.contains(QLatin1String("MDBTools")));

    const QStringList instalados = ControladoresOdbcInstalados();
    EXPECT_TRUE(instalados.contains("SQLite3"));
    EXPECT_TRUE(instalados.contains("FreeTDS"));
}

// FreeTDS against a port where nobody listens: a quick, clean failure.
TEST(OdbcControladores, ServidorInalcanzable) {
    int puerto = 0;
    {
        // A port just released is closed.
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        socklen_t largo = sizeof a;
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &largo);
        puerto = ntohs(a.sin_port);
        ::close(s);
    }
    ParametrosConexion p;
    p.proveedor = QStringLiteral("SQLOLEDB");
    p.servidor = QStringLiteral("127.0.0.1,%1").arg(puerto);
    p.baseDatos = QStringLiteral("DEMO");
    p.usuario = QStringLiteral("sa");
    p.clave = QStringLiteral("x");
    p.tiempoEspera = 5;
    QString motivo;
    auto c = CreaControladorOdbc(p, motivo);
    ASSERT_TRUE(c) << motivo.toStdString();
    std::vector<ErrorProveedor> errores;
    QElapsedTimer reloj;
    reloj.start();
    try {
        c->Abre(p, errores);
        FAIL() << "opened a closed port";
    } catch (const Fallo& f) {
        EXPECT_EQ(f.Numero(), ado::E_FAIL_PROVEEDOR) << f.what();
    }
    EXPECT_LT(reloj.elapsed(), 10000);
    EXPECT_FALSE(c->Abierta());
    ASSERT_FALSE(errores.empty());
    bool enlace = false;
    for (const auto& e : errores)
        enlace = enlace || (e.NativeError == 11 && DiagnosticoOdbc::EsFallaDeEnlace(e.SQLState));
    EXPECT_TRUE(enlace) << Entradas(errores);
    for (const auto& e : errores) EXPECT_EQ(e.Number, ado::E_FAIL_PROVEEDOR) << Entradas(errores);
}

// A request held up by another connection's lock runs on a thread of its
// own while the calling thread tells the listener; the end is told once.
TEST_F(OdbcSqlite, UnaEsperaLargaSeAvisaDesdeElHiloQueLlama) {
    Ok(QStringLiteral("CREATE TABLE T (A int)"));
    Ok(QStringLiteral("INSERT INTO T VALUES (1)"));
    std::vector<ErrorProveedor> errores;
    ControladorOdbc otro(c_->CadenaOdbc(), false);
    otro.Abre(Sqlite(Ruta(QStringLiteral("prueba.db"))), errores);
    otro.IniciaTransaccion(errores);
    ASSERT_TRUE(otro.Ejecuta(QStringLiteral("UPDATE T SET A = 2"), 30).errores.empty());

    std::vector<Espera> oidas;
    const std::thread::id llamador = std::this_thread::get_id();
    bool soltado = false;
    const OyenteEspera antes = FijaOyenteEspera([&](const Espera& x) {
        EXPECT_EQ(std::this_thread::get_id(), llamador);
        oidas.push_back(x);
        if (!x.termino && x.transcurridoMs >= 1000 && !soltado) {
            soltado = true;
            otro.ConfirmaTransaccion(errores);
        }
    });
    const ResultadoLote r = c_->Ejecuta(QStringLiteral("UPDATE T SET A = 3"), 20);
    FijaOyenteEspera(antes);
    EXPECT_TRUE(r.errores.empty()) << Entradas(r.errores);
    ASSERT_GE(oidas.size(), 3u);
    EXPECT_EQ(oidas.front().motivo, "Esperando la respuesta del servidor");
    EXPECT_EQ(oidas.front().limiteMs, 20000);
    EXPECT_TRUE(oidas.back().termino);
    EXPECT_EQ(Ok(QStringLiteral("SELECT A FROM T")).resultados.at(0).filas.at(0).at(0).toInt(), 3);
    otro.Cierra();
}
