// Batches: splitting, SQL Server's batch semantics, transactions.
#include "tests/db/embebido/PruebaEmbebida.h"

#include "db/platform/Ado.h"

using ::testing::ElementsAre;

namespace {

class Lotes : public PruebaEmbebida {
protected:
    void SetUp() override {
        PruebaEmbebida::SetUp();
        Bien(QStringLiteral(
            "CREATE TABLE V_MA_ARTICULOS (IdArticulo varchar(25) NOT NULL, ID int IDENTITY(1,1), DESCRIPCION varchar(40) NULL, "
            "IDRUBRO varchar(4) NULL, CONSTRAINT PK_V_MA_ARTICULOS PRIMARY KEY CLUSTERED (IdArticulo))\r\n"
            "CREATE TABLE V_MV_STOCK (ID int IDENTITY(1,1) PRIMARY KEY, IDARTICULO varchar(25) NOT NULL, CANTIDAD int)\r\n"
            "CREATE TABLE T (A int PRIMARY KEY, B varchar(5) NOT NULL)"));
    }
};

TEST_F(Lotes, SeparaPorLineasPuntoYComaYPalabrasDeInicio) {
    Bien(QStringLiteral("\r\nINSERT INTO T VALUES (1, 'a')\rINSERT INTO T VALUES (2, 'b');INSERT INTO T VALUES (3, 'c')\n"
                        "BEGIN TRANSACTION UPDATE T SET B = 'x;y' WHERE A = 1 COMMIT TRANSACTION"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT A, B FROM T ORDER BY A")), ElementsAre("1|x;y", "2|b", "3|c"));
    // INSERT ... SELECT across a line break, UNION and sub-selects stay in their statement
    Bien(QStringLiteral("INSERT INTO V_MA_ARTICULOS SELECT 'N1',DESCRIPCION,IDRUBRO  \r\n"
                        "        FROM V_MA_ARTICULOS WHERE IDARTICULO = 'nada'\r\n "));
    const QStringList u = Filas(QStringLiteral("SELECT A FROM T WHERE A IN (SELECT A FROM T WHERE A > 1)\r\n"
                                               "UNION SELECT 9 ORDER BY 1"));
    EXPECT_THAT(u, ElementsAre("2", "3", "9"));
    // comments and bracketed names hide separators
    Bien(QStringLiteral("UPDATE [T] SET [B] = 'q' -- SELECT\r\n WHERE A = 2 /* DELETE T */"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT B FROM dbo.T WHERE A = 2")), "q");
}

TEST_F(Lotes, UnLoteQueNoCompilaNoEjecutaNada) {
    ResultadoLote r = Lote(QStringLiteral("INSERT INTO T VALUES (1, 'a')\r\nUPDATE T SET B = 'O'Brien' WHERE A = 1"));
    ASSERT_FALSE(r.errores.empty());
    EXPECT_EQ(r.errores[0].NativeError, 105);
    EXPECT_EQ(r.errores[0].Description, "Unclosed quotation mark after the character string ' WHERE A = 1'.");
    EXPECT_TRUE(r.fallaCompleta);
    EXPECT_EQ(r.numeroFallo, ado::DB_E_ERRORSINCOMMAND);
    r = Lote(QStringLiteral("INSERT INTO T VALUES (1, 'a')\r\nUPDATE T SET = 3"));
    EXPECT_THAT(Nativos(r), ElementsAre(102));
    EXPECT_EQ(r.errores[0].SQLState, "42000");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), "0");
}

TEST_F(Lotes, ErroresDeSentenciaSeJuntanYElLoteSigue) {
    ResultadoLote r = Lote(QStringLiteral("INSERT INTO T VALUES (1, 'a')\r\nINSERT INTO T VALUES (1, 'b')\r\n"
                                          "INSERT INTO T VALUES (2, NULL)\r\nINSERT INTO T VALUES (3, 'largo!')\r\n"
                                          "INSERT INTO T VALUES (4, 'd')"));
    EXPECT_THAT(Nativos(r), ElementsAre(2627, 3621, 515, 3621, 8152, 3621));
    EXPECT_FALSE(r.fallaCompleta);  // the first statement ran
    EXPECT_EQ(r.errores[0].Description,
              "Violation of PRIMARY KEY constraint 'PK_T'. Cannot insert duplicate key in object 'dbo.T'. "
              "The duplicate key value is (1).");
    EXPECT_EQ(r.errores[0].SQLState, "23000");
    EXPECT_EQ(r.errores[0].Number, ado::DB_E_INTEGRITYVIOLATION);
    EXPECT_EQ(r.errores[0].Source, "Microsoft OLE DB Provider for SQL Server");
    EXPECT_EQ(r.errores[1].Description, "The statement has been terminated.");
    EXPECT_EQ(r.errores[2].Description,
              "Cannot insert the value NULL into column 'B', table 'DEMO.dbo.T'; column does not allow nulls. INSERT fails.");
    EXPECT_EQ(r.errores[4].Description, "String or binary data would be truncated.");
    EXPECT_EQ(r.errores[4].SQLState, "22001");
    EXPECT_THAT(Filas(QStringLiteral("SELECT A FROM T ORDER BY A")), ElementsAre("1", "4"));
}

TEST_F(Lotes, LaSentenciaFallidaDeshaceSoloLoSuyo) {
    Bien(QStringLiteral("INSERT INTO T VALUES (1, 'a')\r\nINSERT INTO T VALUES (2, 'b')"));
    // the UPDATE collides on its second row: none of its rows change
    ResultadoLote r = Lote(QStringLiteral("BEGIN TRAN\r\nUPDATE T SET B = 'z'\r\nUPDATE T SET A = 2\r\nCOMMIT TRAN"));
    EXPECT_THAT(Nativos(r), ElementsAre(2627, 3621));
    EXPECT_THAT(Filas(QStringLiteral("SELECT A, B FROM T ORDER BY A")), ElementsAre("1|z", "2|z"));
}

TEST_F(Lotes, PrimeraSentenciaFallidaEsFallaCompleta) {
    Bien(QStringLiteral("INSERT INTO T VALUES (1, 'a')"));
    ResultadoLote r = Lote(QStringLiteral("\r\nINSERT INTO T VALUES (1, 'b')\r\nINSERT INTO T VALUES (2, 'b')"));
    EXPECT_TRUE(r.fallaCompleta);
    EXPECT_EQ(r.numeroFallo, ado::DB_E_INTEGRITYVIOLATION);
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), "2");
}

TEST_F(Lotes, ObjetoInexistenteCortaElLotePeroDejaLaTransaccion) {
    ResultadoLote r = Lote(QStringLiteral("BEGIN TRANSACTION\r\nINSERT INTO T VALUES (1, 'a')\r\n"
                                          "UPDATE NO_EXISTE SET X = 1\r\nINSERT INTO T VALUES (2, 'b')"));
    EXPECT_THAT(Nativos(r), ElementsAre(208));
    EXPECT_EQ(r.errores[0].Description, "Invalid object name 'NO_EXISTE'.");
    EXPECT_EQ(r.errores[0].SQLState, "42S02");
    EXPECT_EQ(r.errores[0].Number, ado::DB_E_NOTABLE);
    EXPECT_EQ(Uno(QStringLiteral("SELECT @@TRANCOUNT")), "1");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), "1");
    Bien(QStringLiteral("ROLLBACK TRANSACTION"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), "0");
    r = Lote(QStringLiteral("SELECT NOCOL FROM T"));
    EXPECT_THAT(Nativos(r), ElementsAre(207));
    EXPECT_EQ(r.errores[0].Description, "Invalid column name 'NOCOL'.");
}

TEST_F(Lotes, ErrorDeConversionCortaYDeshace) {
    ResultadoLote r = Lote(QStringLiteral("BEGIN TRAN\r\nINSERT INTO T VALUES (1, 'a')\r\n"
                                          "UPDATE T SET A = CONVERT(int, B)\r\nINSERT INTO T VALUES (2, 'b')"));
    EXPECT_THAT(Nativos(r), ElementsAre(245));
    EXPECT_EQ(r.errores[0].Description, "Conversion failed when converting the varchar value 'a' to data type int.");
    EXPECT_EQ(Uno(QStringLiteral("SELECT @@TRANCOUNT")), "0");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), "0");
}

TEST_F(Lotes, TransaccionesAnidadasYEntreLlamadas) {
    Bien(QStringLiteral("BEGIN TRANSACTION"));
    Bien(QStringLiteral("BEGIN TRAN\r\nINSERT INTO T VALUES (1, 'a')"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT @@TRANCOUNT")), "2");
    Bien(QStringLiteral("COMMIT TRAN"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT @@TRANCOUNT")), "1");
    Bien(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), "0");
    ResultadoLote r = Lote(QStringLiteral("COMMIT TRANSACTION"));
    EXPECT_THAT(Nativos(r), ElementsAre(3902));
    EXPECT_EQ(r.errores[0].Description, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.");
    r = Lote(QStringLiteral("ROLLBACK TRANSACTION"));
    EXPECT_THAT(Nativos(r), ElementsAre(3903));
    EXPECT_EQ(r.errores[0].Description, "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.");
    // through the interface
    std::vector<ErrorProveedor> e;
    EXPECT_EQ(c->IniciaTransaccion(e), 1);
    EXPECT_EQ(c->IniciaTransaccion(e), 2);
    Bien(QStringLiteral("INSERT INTO T VALUES (5, 'e')"));
    c->ConfirmaTransaccion(e);
    c->ConfirmaTransaccion(e);
    EXPECT_TRUE(e.empty());
    c->ConfirmaTransaccion(e);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].NativeError, 3902);
    e.clear();
    c->DeshaceTransaccion(e);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].NativeError, 3903);
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), "1");
    // SAVE TRAN / ROLLBACK TRAN name
    Bien(QStringLiteral("BEGIN TRAN\r\nINSERT INTO T VALUES (6, 'f')\r\nSAVE TRAN p\r\nINSERT INTO T VALUES (7, 'g')\r\n"
                        "ROLLBACK TRAN p\r\nCOMMIT TRAN"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT A FROM T ORDER BY A")), ElementsAre("5", "6"));
}

TEST_F(Lotes, CuentasDeFilasYNoCount) {
    ResultadoLote r = Bien(QStringLiteral("INSERT INTO T VALUES (1, 'a')\r\nINSERT INTO T VALUES (2, 'a')\r\nUPDATE T SET B = 'c'"));
    ASSERT_EQ(r.resultados.size(), 3u);
    EXPECT_EQ(r.resultados[2].afectadas, 2);
    r = Bien(QStringLiteral("SET NOCOUNT ON\r\nDELETE T WHERE A = 1\r\nSELECT @@ROWCOUNT"));
    ASSERT_EQ(r.resultados.size(), 1u);
    EXPECT_EQ(r.resultados[0].filas[0][0].toInt(), 1);
    Bien(QStringLiteral("SET NOCOUNT OFF"));
}

TEST_F(Lotes, DisparadoresSeApaganYSeDeshacenConLaTransaccion) {
    Bien(QStringLiteral("CREATE TABLE BITACORA (TEXTO varchar(50))\r\n"
                        "CREATE TRIGGER TR_STOCK AFTER UPDATE ON V_MV_STOCK FOR EACH ROW BEGIN "
                        "INSERT INTO BITACORA VALUES ('cambio ' + NEW.IDARTICULO); END\r\n"
                        "CREATE TRIGGER TR_VETO BEFORE DELETE ON [dbo].[V_MV_STOCK] FOR EACH ROW "
                        "WHEN OLD.CANTIDAD < 0 BEGIN SELECT RAISE(ABORT, 'No se borra stock negativo'); END\r\n"
                        "INSERT INTO V_MV_STOCK (IDARTICULO, CANTIDAD) VALUES ('A', 1)\r\n"
                        "INSERT INTO V_MV_STOCK (IDARTICULO, CANTIDAD) VALUES ('B', -1)"));
    Bien(QStringLiteral("UPDATE V_MV_STOCK SET CANTIDAD = 2 WHERE IDARTICULO = 'A'"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT TEXTO FROM BITACORA")), ElementsAre("cambio A"));
    ResultadoLote r = Lote(QStringLiteral("DELETE V_MV_STOCK WHERE IDARTICULO = 'B'\r\nDELETE V_MV_STOCK WHERE IDARTICULO = 'Z'"));
    EXPECT_THAT(Nativos(r), ElementsAre(50000));
    EXPECT_EQ(r.errores[0].Description, "No se borra stock negativo");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MV_STOCK")), "2");
    // switched off outside a transaction, as the recoding prologue does
    Bien(QStringLiteral(" ALTER TABLE V_MV_STOCK DISABLE TRIGGER ALL \r\n BEGIN TRANSACTION \r\n"
                        "    UPDATE V_MV_STOCK SET IDARTICULO = 'C' WHERE IDARTICULO = 'B'\r\n    DELETE V_MV_STOCK WHERE IDARTICULO = 'C'"));
    Bien(QStringLiteral("COMMIT TRANSACTION"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM BITACORA")), "1");
    Bien(QStringLiteral("ALTER TABLE V_MV_STOCK ENABLE TRIGGER ALL"));
    Bien(QStringLiteral("UPDATE V_MV_STOCK SET CANTIDAD = 3"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM BITACORA")), "2");
    // inside a transaction the switch is undone by the rollback
    Bien(QStringLiteral("BEGIN TRAN\r\nALTER TABLE V_MV_STOCK DISABLE TRIGGER ALL\r\nROLLBACK TRAN"));
    Bien(QStringLiteral("UPDATE V_MV_STOCK SET CANTIDAD = 4"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM BITACORA")), "3");
    r = Lote(QStringLiteral("ALTER TABLE NADA DISABLE TRIGGER ALL"));
    EXPECT_THAT(Nativos(r), ElementsAre(4902));
}

// Triggers left switched off, found with the text that runs on both engines.
TEST_F(Lotes, DisparadoresApagadosEnSysTriggers) {
    Bien(QStringLiteral("CREATE TABLE BITACORA (TEXTO varchar(50))\r\n"
                        "CREATE TRIGGER TR_STOCK_A AFTER UPDATE ON V_MV_STOCK FOR EACH ROW BEGIN "
                        "INSERT INTO BITACORA VALUES ('a'); END\r\n"
                        "CREATE TRIGGER TR_STOCK_B AFTER DELETE ON V_MV_STOCK FOR EACH ROW BEGIN "
                        "INSERT INTO BITACORA VALUES ('b'); END\r\n"
                        "CREATE TRIGGER TR_ART AFTER UPDATE ON V_MA_ARTICULOS FOR EACH ROW BEGIN "
                        "INSERT INTO BITACORA VALUES ('c'); END"));
    const QString apagados = QStringLiteral(
        "SELECT OBJECT_NAME(parent_id) AS tabla, name FROM sys.triggers WHERE is_disabled = 1 ORDER BY name");
    EXPECT_TRUE(Filas(apagados).isEmpty());
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM sys.triggers WHERE is_disabled = 0")), "3");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM SYS.TRIGGERS WHERE parent_id = OBJECT_ID('dbo.V_MV_STOCK') "
                                 "AND object_id IN (OBJECT_ID('TR_STOCK_A'), OBJECT_ID('TR_STOCK_B'))")),
              "2");

    Bien(QStringLiteral("ALTER TABLE v_mv_stock DISABLE TRIGGER ALL"));
    EXPECT_THAT(Filas(apagados), ElementsAre("V_MV_STOCK|TR_STOCK_A", "V_MV_STOCK|TR_STOCK_B"));
    Bien(QStringLiteral("ALTER TABLE V_MV_STOCK ENABLE TRIGGER ALL"));
    EXPECT_TRUE(Filas(apagados).isEmpty());
    Bien(QStringLiteral("ALTER TABLE V_MA_ARTICULOS DISABLE TRIGGER tr_art"));
    EXPECT_THAT(Filas(apagados), ElementsAre("V_MA_ARTICULOS|TR_ART"));
    Bien(QStringLiteral("ALTER TABLE V_MA_ARTICULOS ENABLE TRIGGER TR_ART"));
    EXPECT_TRUE(Filas(apagados).isEmpty());

    // the switch is part of the transaction: a rollback undoes it
    Bien(QStringLiteral("BEGIN TRANSACTION\r\nALTER TABLE V_MV_STOCK DISABLE TRIGGER ALL"));
    EXPECT_EQ(Filas(apagados).size(), 2);
    Bien(QStringLiteral("ROLLBACK TRANSACTION"));
    EXPECT_TRUE(Filas(apagados).isEmpty());
    EXPECT_EQ(Uno(QStringLiteral("SELECT OBJECT_NAME(OBJECT_ID('v_ma_articulos'))")), "V_MA_ARTICULOS");
    EXPECT_EQ(Uno(QStringLiteral("SELECT ISNULL(OBJECT_NAME(123456), 'nada')")), "nada");
}

// A statement the engine answers by ending the open transaction (a trigger's
// RAISE(ROLLBACK)) ends the batch: nothing after it runs outside it.
TEST_F(Lotes, TransaccionTerminadaPorElMotorCortaElLote) {
    Bien(QStringLiteral("CREATE TABLE U (A int)\r\n"
                        "CREATE TRIGGER TR_VETO BEFORE INSERT ON T FOR EACH ROW WHEN NEW.A < 0 BEGIN "
                        "SELECT RAISE(ROLLBACK, 'vetado'); END"));
    ResultadoLote r = Lote(QStringLiteral("BEGIN TRAN\r\nINSERT INTO U VALUES (1)\r\nINSERT INTO T VALUES (-1, 'x')\r\n"
                                          "INSERT INTO U VALUES (2)\r\nCOMMIT TRAN\r\nINSERT INTO U VALUES (3)"));
    EXPECT_THAT(Nativos(r), ElementsAre(50000));
    EXPECT_EQ(r.errores[0].Description, "vetado");
    EXPECT_EQ(Uno(QStringLiteral("SELECT @@TRANCOUNT")), "0");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM U")), "0");
    // the same inside a BEGIN ... END block
    r = Lote(QStringLiteral("BEGIN TRAN\r\nIF 1 = 1 BEGIN INSERT INTO T VALUES (-2, 'y') INSERT INTO U VALUES (4) END\r\n"
                            "INSERT INTO U VALUES (5)"));
    EXPECT_THAT(Nativos(r), ElementsAre(50000));
    EXPECT_EQ(Uno(QStringLiteral("SELECT @@TRANCOUNT")), "0");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM U")), "0");
    // without a transaction the failing statement alone is undone, as before
    r = Lote(QStringLiteral("INSERT INTO T VALUES (-3, 'z')\r\nINSERT INTO U VALUES (6)"));
    EXPECT_THAT(Nativos(r), ElementsAre(50000));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM U")), "1");
}

}  // namespace
