// Opening, switching databases, lost connections, a full disk, fault injection.
#include "tests/db/embebido/PruebaEmbebida.h"

#include "db/platform/Ado.h"
#include "db/platform/InyeccionFallas.h"
#include "db/platform/embebido/BaseEmbebida.h"
#include "db/platform/embebido/ControladorEmbebido.h"
#include "platform/Espera.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

using ::testing::ElementsAre;

namespace {

class Conexiones : public PruebaEmbebida {};

TEST_F(Conexiones, BaseInexistenteFallaSinCrearArchivo) {
    ParametrosConexion p;
    p.baseDatos = QStringLiteral("NO_HAY");
    QString motivo;
    auto otro = CreaControladorEmbebido(p, motivo);
    std::vector<ErrorProveedor> e;
    try {
        otro->Abre(p, e);
        FAIL() << "abrió";
    } catch (const Fallo& f) {
        EXPECT_EQ(f.Numero(), ado::E_FAIL_PROVEEDOR);
    }
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].NativeError, 4060);
    EXPECT_EQ(e[0].SQLState, "42000");
    EXPECT_EQ(e[0].Description, "Cannot open database \"NO_HAY\" requested by the login. The login failed.");
    EXPECT_FALSE(QFileInfo::exists(RutaBaseEmbebida(QStringLiteral("NO_HAY"))));
    p.baseDatos = QStringLiteral("../DEMO");
    EXPECT_THROW(otro->Abre(p, e), Fallo);
}

TEST_F(Conexiones, CambiaDeBaseYUse) {
    ASSERT_TRUE(CreaBaseEmbebida(QStringLiteral("KV_ESTADISTICAS")));
    EXPECT_FALSE(CreaBaseEmbebida(QStringLiteral("KV_ESTADISTICAS")));
    Bien(QStringLiteral("CREATE TABLE TA_CONFIGURACION (CLAVE varchar(40) PRIMARY KEY, VALOR varchar(255))\r\n"
                        "INSERT INTO TA_CONFIGURACION VALUES ('BASE', 'DEMO')"));
    std::vector<ErrorProveedor> e;
    c->CambiaBase(QStringLiteral("KV_ESTADISTICAS"), e);
    ASSERT_TRUE(e.empty());
    Bien(QStringLiteral("CREATE TABLE TA_CONFIGURACION (CLAVE varchar(40) PRIMARY KEY, VALOR varchar(255))\r\n"
                        "INSERT INTO TA_CONFIGURACION VALUES ('BASE', 'KV')"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION")), "KV");
    EXPECT_EQ(Uno(QStringLiteral("SELECT VALOR FROM DEMO.dbo.TA_CONFIGURACION")), "DEMO");
    Bien(QStringLiteral("USE DEMO"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION")), "DEMO");
    EXPECT_EQ(Uno(QStringLiteral("SELECT DB_NAME()")), "DEMO");
    c->CambiaBase(QStringLiteral("NADA"), e);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].NativeError, 911);
    EXPECT_EQ(Uno(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION")), "DEMO");
}

TEST_F(Conexiones, ArchivoDesaparecidoEsConexionPerdida) {
    Bien(QStringLiteral("CREATE TABLE T (A int)\r\nBEGIN TRAN\r\nINSERT INTO T VALUES (1)"));
    ASSERT_TRUE(QFile::remove(RutaBaseEmbebida(QStringLiteral("DEMO"))));
    ResultadoLote r = Lote(QStringLiteral("SELECT * FROM T"));
    EXPECT_THAT(Nativos(r), ElementsAre(11));
    EXPECT_EQ(r.errores[0].SQLState, "08S01");
    EXPECT_EQ(r.errores[0].Description, "General network error. Check your network documentation.");
    EXPECT_TRUE(r.conexionPerdida);
    EXPECT_TRUE(r.fallaCompleta);
    EXPECT_EQ(r.numeroFallo, ado::E_FAIL_PROVEEDOR);
    EXPECT_THAT(Nativos(Lote(QStringLiteral("SELECT 1"))), ElementsAre(11));  // until reopened
}

TEST_F(Conexiones, DiscoLlenoNoPierdeLoConfirmado) {
    Bien(QStringLiteral("CREATE TABLE T (A int, B varchar(200))\r\nINSERT INTO T VALUES (1, 'confirmado')"));
    auto* e = dynamic_cast<ControladorEmbebido*>(c.get());
    ASSERT_TRUE(e);
    e->LimitaPaginas(1);  // no room for one more page
    QString lote = QStringLiteral("BEGIN TRAN\r\n");
    for (int i = 0; i < 200; ++i) lote += QStringLiteral("INSERT INTO T VALUES (2, REPLICATE('x', 200))\r\n");
    lote += QStringLiteral("INSERT INTO T VALUES (3, 'tras el error')");
    ResultadoLote r = Lote(lote);
    ASSERT_FALSE(r.errores.empty());
    EXPECT_EQ(r.errores[0].NativeError, 1105);
    EXPECT_TRUE(r.errores[0].Description.contains("filegroup is full"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT @@TRANCOUNT")), "0");
    e->LimitaPaginas(0);
    EXPECT_THAT(Filas(QStringLiteral("SELECT A, B FROM T")), ElementsAre("1|confirmado"));
}

TEST_F(Conexiones, InyeccionDeFallas) {
    Bien(QStringLiteral("CREATE TABLE T (A int)"));
    InyeccionFallas::Limpia();
    InyeccionFallas::FallaEjecuciones(1, {2627, QStringLiteral("duplicado"), QStringLiteral("23000"), {}});
    ResultadoLote r = Lote(QStringLiteral("INSERT INTO T VALUES (1)"));
    EXPECT_THAT(Nativos(r), ElementsAre(2627));
    EXPECT_TRUE(r.fallaCompleta);
    EXPECT_EQ(r.numeroFallo, ado::DB_E_INTEGRITYVIOLATION);
    Bien(QStringLiteral("INSERT INTO T VALUES (2)"));
    // a lost connection stays lost until reopened, and its transaction is gone
    Bien(QStringLiteral("BEGIN TRAN\r\nINSERT INTO T VALUES (3)"));
    InyeccionFallas::FallaEjecuciones(1);
    r = Lote(QStringLiteral("SELECT 1"));
    EXPECT_THAT(Nativos(r), ElementsAre(11));
    EXPECT_TRUE(r.conexionPerdida);
    EXPECT_THAT(Nativos(Lote(QStringLiteral("SELECT 1"))), ElementsAre(11));
    EXPECT_EQ(InyeccionFallas::EjecucionesIntentadas(), 5);
    InyeccionFallas::FallaAperturas(2);
    ParametrosConexion p;
    p.baseDatos = QStringLiteral("DEMO");
    std::vector<ErrorProveedor> e;
    c->Cierra();
    EXPECT_THROW(c->Abre(p, e), Fallo);
    EXPECT_THROW(c->Abre(p, e), Fallo);
    c->Abre(p, e);
    EXPECT_EQ(InyeccionFallas::AperturasIntentadas(), 3);
    EXPECT_EQ(InyeccionFallas::AperturasPendientes(), 0);
    EXPECT_THAT(Filas(QStringLiteral("SELECT A FROM T ORDER BY A")), ElementsAre("2"));
}

// A full disk in the middle of a transaction ends the batch: none of the
// later statements is applied, in or out of the transaction.
TEST_F(Conexiones, DiscoLlenoEnTransaccionNoSigueFueraDeElla) {
    Bien(QStringLiteral("CREATE TABLE T (A int, B varchar(200))\r\nCREATE TABLE U (A int)\r\n"
                        "INSERT INTO T VALUES (1, 'confirmado')"));
    auto* e = dynamic_cast<ControladorEmbebido*>(c.get());
    ASSERT_TRUE(e);
    e->LimitaPaginas(1);
    QString lote = QStringLiteral("BEGIN TRANSACTION\r\nINSERT INTO U VALUES (1)\r\n");
    for (int i = 0; i < 200; ++i) lote += QStringLiteral("INSERT INTO T VALUES (2, REPLICATE('x', 200))\r\n");
    lote += QStringLiteral("INSERT INTO U VALUES (2)\r\nCOMMIT TRANSACTION\r\nINSERT INTO U VALUES (3)");
    ResultadoLote r = Lote(lote);
    EXPECT_THAT(Nativos(r), ElementsAre(1105));
    EXPECT_EQ(e->NivelTransaccion(), 0);
    e->LimitaPaginas(0);
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM U")), "0");
    EXPECT_THAT(Filas(QStringLiteral("SELECT A, B FROM T")), ElementsAre("1|confirmado"));
}

// Database names ignore letter case, as on SQL Server: opening, switching,
// USE and three-part names find the file of another spelling.
TEST_F(Conexiones, NombresDeBaseSinMayusculas) {
    ASSERT_TRUE(CreaBaseEmbebida(QStringLiteral("OTRA")));
    EXPECT_FALSE(CreaBaseEmbebida(QStringLiteral("otra")));  // the same database
    EXPECT_TRUE(ExisteBaseEmbebida(QStringLiteral("Otra")));
    Bien(QStringLiteral("CREATE TABLE T (A varchar(10))\r\nINSERT INTO T VALUES ('demo')"));
    ParametrosConexion p;
    p.baseDatos = QStringLiteral("otra");
    QString motivo;
    auto otro = CreaControladorEmbebido(p, motivo);
    std::vector<ErrorProveedor> e;
    otro->Abre(p, e);
    ASSERT_TRUE(e.empty());
    ResultadoLote r = otro->Ejecuta(QStringLiteral("CREATE TABLE T (A varchar(10))\r\nINSERT INTO T VALUES ('otra')\r\n"
                                                   "SELECT DB_NAME()"), 30);
    ASSERT_TRUE(r.errores.empty());
    EXPECT_EQ(r.resultados.back().filas[0][0].toString(), "OTRA");
    otro->Cierra();

    EXPECT_EQ(Uno(QStringLiteral("SELECT A FROM otra.dbo.T")), "otra");
    Bien(QStringLiteral("USE oTrA"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT A FROM T")), "otra");
    c->CambiaBase(QStringLiteral("demo"), e);
    ASSERT_TRUE(e.empty());
    EXPECT_EQ(Uno(QStringLiteral("SELECT A FROM T")), "demo");

    // Of two spellings of one name, the exact one.
    ASSERT_TRUE(QFile::copy(RutaBaseEmbebida(QStringLiteral("OTRA")), QFileInfo(RutaBaseEmbebida(QStringLiteral("OTRA"))).absolutePath() + "/otra.db"));
    Bien(QStringLiteral("USE otra\r\nUPDATE T SET A = 'minusculas'"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT DB_NAME()")), "otra");
    Bien(QStringLiteral("USE DEMO\r\nUSE OTRA"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT A FROM T")), "otra");
}

}  // namespace

// A lock held by another connection: the listener hears of the wait while
// it lasts (and may paint meanwhile), then of its end; the request then
// goes through. Without a listener nobody is called and the wait is the same.
TEST_F(Conexiones, UnaEsperaPorUnBloqueoSeAvisaMientrasDura) {
    Bien(QStringLiteral("CREATE TABLE T (A int)\r\nINSERT INTO T VALUES (1)"));
    ParametrosConexion p;
    p.baseDatos = QStringLiteral("DEMO");
    QString motivo;
    std::shared_ptr<Controlador> otra = CreaControladorEmbebido(p, motivo);
    std::vector<ErrorProveedor> e;
    otra->Abre(p, e);
    ASSERT_TRUE(otra->Ejecuta(QStringLiteral("BEGIN TRAN\r\nUPDATE T SET A = 2"), 30).errores.empty());

    std::vector<Espera> oidas;
    bool soltado = false;
    const OyenteEspera antes = FijaOyenteEspera([&](const Espera& x) {
        oidas.push_back(x);
        // The other program lets go after a second.
        if (!x.termino && x.transcurridoMs >= 1000 && !soltado) {
            soltado = true;
            otra->Ejecuta(QStringLiteral("COMMIT TRAN"), 30);
        }
    });
    const ResultadoLote r = c->Ejecuta(QStringLiteral("UPDATE T SET A = 3"), 10);
    FijaOyenteEspera(antes);
    EXPECT_TRUE(r.errores.empty());
    EXPECT_EQ(Uno(QStringLiteral("SELECT A FROM T")), "3");
    ASSERT_GE(oidas.size(), 3u);
    EXPECT_EQ(oidas.front().motivo, "Esperando un bloqueo de otro usuario");
    EXPECT_GE(oidas.front().transcurridoMs, kPrimeraEsperaMs);
    EXPECT_EQ(oidas.front().limiteMs, 10000);
    EXPECT_LT(oidas[0].transcurridoMs, oidas[1].transcurridoMs);
    EXPECT_TRUE(oidas.back().termino);
    EXPECT_EQ(std::count_if(oidas.begin(), oidas.end(), [](const Espera& x) { return x.termino; }), 1);

    // Held to the end of the time out: the engine's time-out error, and the end told too.
    ASSERT_TRUE(otra->Ejecuta(QStringLiteral("BEGIN TRAN\r\nUPDATE T SET A = 4"), 30).errores.empty());
    oidas.clear();
    FijaOyenteEspera([&](const Espera& x) { oidas.push_back(x); });
    const ResultadoLote vencida = c->Ejecuta(QStringLiteral("UPDATE T SET A = 5"), 1);
    FijaOyenteEspera(antes);
    EXPECT_FALSE(vencida.errores.empty());
    ASSERT_FALSE(oidas.empty());
    EXPECT_TRUE(oidas.back().termino);
    otra->Ejecuta(QStringLiteral("ROLLBACK TRAN"), 30);
    otra->Cierra();
}
