// The T-SQL the system sends, run with SQL Server's meaning.
#include "tests/db/embebido/PruebaEmbebida.h"

using ::testing::ElementsAre;

namespace {

class Dialecto : public PruebaEmbebida {
protected:
    void SetUp() override {
        PruebaEmbebida::SetUp();
        Bien(QStringLiteral(
            "CREATE TABLE dbo.V_MA_ARTICULOS (IdArticulo varchar(25) NOT NULL, ID int IDENTITY(1,1) NOT NULL, "
            "DESCRIPCION nvarchar(40) NULL, PRECIO decimal(12,2) NULL DEFAULT (0), ALTA datetime NULL DEFAULT getdate(), "
            "CODIGO char(4) NULL, CONSTRAINT PK_ART PRIMARY KEY CLUSTERED (IdArticulo ASC))\r\n"
            "CREATE NONCLUSTERED INDEX IX_DESC ON V_MA_ARTICULOS (DESCRIPCION)\r\n"
            "INSERT INTO V_MA_ARTICULOS (IdArticulo, DESCRIPCION, PRECIO) VALUES ('A1', N'Uno', 10)\r\n"
            "INSERT INTO V_MA_ARTICULOS (IdArticulo, DESCRIPCION, PRECIO) VALUES ('A2', 'Dos', 20)\r\n"
            "INSERT INTO V_MA_ARTICULOS (IdArticulo, DESCRIPCION, PRECIO) VALUES ('A3', 'Tres', 30)"));
    }
};

TEST_F(Dialecto, SugerenciasTopDeleteNombres) {
    EXPECT_EQ(Uno(QStringLiteral("select idarticulo from v_ma_articulos with(nolock) where idarticulo = 'A2'")), "A2");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS (NOLOCK)")), "3");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM [DEMO].[dbo].[V_MA_ARTICULOS] A WITH (NOLOCK, INDEX(IX_DESC))")), "3");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM DEMO..V_MA_ARTICULOS")), "3");
    EXPECT_THAT(Filas(QStringLiteral("SELECT TOP 2 IdArticulo FROM V_MA_ARTICULOS ORDER BY IdArticulo DESC")),
                ElementsAre("A3", "A2"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT TOP (1) IdArticulo FROM V_MA_ARTICULOS ORDER BY 1")), ElementsAre("A1"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT TOP 50 PERCENT IdArticulo FROM V_MA_ARTICULOS ORDER BY 1")),
                ElementsAre("A1", "A2"));  // 1.5 rows rounded up
    EXPECT_EQ(Uno(QStringLiteral("SELECT (SELECT TOP 1 IdArticulo FROM V_MA_ARTICULOS ORDER BY PRECIO DESC)")), "A3");
    Bien(QStringLiteral("DELETE V_MA_ARTICULOS WHERE IDARTICULO = 'A3'"));
    Bien(QStringLiteral("DELETE FROM dbo.V_MA_ARTICULOS WHERE [IDARTICULO] = 'A2'"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")), "1");
}

TEST_F(Dialecto, IdentidadLaLlenaElMotor) {
    // the copy plan's INSERT ... SELECT without a column list skips ID
    Bien(QStringLiteral("    INSERT INTO V_MA_ARTICULOS SELECT 'N1',DESCRIPCION,PRECIO,ALTA,CODIGO  \r\n"
                        "        FROM V_MA_ARTICULOS WHERE IDARTICULO = 'A1'\r\n \r\n"
                        "INSERT INTO V_MA_ARTICULOS VALUES ('N2', 'Cuatro', 4, NULL, NULL)"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT IdArticulo, ID, DESCRIPCION FROM V_MA_ARTICULOS WHERE ID > 3 ORDER BY ID")),
                ElementsAre("N1|4|Uno", "N2|5|Cuatro"));
    // ids are never reused
    Bien(QStringLiteral("DELETE V_MA_ARTICULOS WHERE ID = 5\r\nINSERT INTO V_MA_ARTICULOS (IdArticulo) VALUES ('N3')"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT ID FROM V_MA_ARTICULOS WHERE IdArticulo = 'N3'")), "6");
    // defaults
    EXPECT_THAT(Filas(QStringLiteral("SELECT PRECIO, CASE WHEN ALTA IS NULL THEN 'no' ELSE 'si' END FROM V_MA_ARTICULOS "
                                     "WHERE IdArticulo = 'N3'")),
                ElementsAre("0|si"));
    // a code longer than the column fails with 8152, trailing blanks beyond it excepted
    ResultadoLote r = Lote(QStringLiteral("UPDATE V_MA_ARTICULOS SET IDARTICULO = '12345678901234567890123456' WHERE IDARTICULO = 'N3'"));
    EXPECT_THAT(Nativos(r), ElementsAre(8152, 3621));
    Bien(QStringLiteral("UPDATE V_MA_ARTICULOS SET IDARTICULO = '1234567890123456789012345   ' WHERE IDARTICULO = 'N3'"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IDARTICULO = '1234567890123456789012345'")), "1");
    // char(n) comes back padded
    Bien(QStringLiteral("UPDATE V_MA_ARTICULOS SET CODIGO = 'ab' WHERE IDARTICULO = 'A1'"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT CODIGO FROM V_MA_ARTICULOS WHERE IDARTICULO = 'A1'")), "ab  ");
}

TEST_F(Dialecto, SelectIntoYUpdateFrom) {
    Bien(QStringLiteral("SELECT IdArticulo, PRECIO INTO COPIA FROM V_MA_ARTICULOS WHERE PRECIO > 10"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM COPIA")), "2");
    Bien(QStringLiteral("UPDATE V_MA_ARTICULOS SET PRECIO = C.PRECIO * 2 FROM COPIA C WHERE C.IdArticulo = V_MA_ARTICULOS.IdArticulo"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT PRECIO FROM V_MA_ARTICULOS ORDER BY IdArticulo")), ElementsAre("10", "40", "60"));
    EXPECT_THAT(Nativos(Lote(QStringLiteral("SELECT * INTO COPIA FROM V_MA_ARTICULOS"))), ElementsAre(2714));
}

TEST_F(Dialecto, Funciones) {
    EXPECT_EQ(Uno(QStringLiteral("SELECT LEN('abc   ')")), "3");
    EXPECT_EQ(Uno(QStringLiteral("SELECT '[' + LTRIM('  a ') + '/' + RTRIM(' b  ') + ']'")), "[a / b]");
    EXPECT_EQ(Uno(QStringLiteral("SELECT SUBSTRING('abcdef', 2, 3) + SUBSTRING('abc', 0, 2)")), "bcda");
    EXPECT_EQ(Uno(QStringLiteral("SELECT CHARINDEX('.', 'AB.CD')")), "3");
    EXPECT_EQ(Uno(QStringLiteral("SELECT CHARINDEX('cd', 'AB.CD', 2)")), "4");
    EXPECT_EQ(Uno(QStringLiteral("SELECT ISNULL(NULL, 'x')")), "x");
    EXPECT_EQ(Uno(QStringLiteral("SELECT UPPER(N'ñandú') + LOWER('ÁB')")), "ÑANDÚáb");
    EXPECT_EQ(Uno(QStringLiteral("SELECT REPLACE('a.B.b', 'b', '-')")), "a.-.-");
    EXPECT_EQ(Uno(QStringLiteral("SELECT LEFT('abcd', 2) + RIGHT('abcd', 1)")), "abd");
    EXPECT_EQ(Uno(QStringLiteral("SELECT CONVERT(varchar(10), CONVERT(datetime, '2024-03-05 10:11:12'), 103)")), "05/03/2024");
    EXPECT_EQ(Uno(QStringLiteral("SELECT CONVERT(int, ' 42 ') + 1")), "43");
    EXPECT_EQ(Uno(QStringLiteral("SELECT CAST(12 AS varchar(5)) + 'x'")), "12x");
    EXPECT_EQ(Uno(QStringLiteral("SELECT CONVERT(nvarchar, 7) + CONVERT(varchar(3), 'abcdef')")), "7abc");
    EXPECT_EQ(Uno(QStringLiteral("SELECT '1' + '2'")), "12");   // two texts: concatenation
    EXPECT_EQ(Uno(QStringLiteral("SELECT 1 + '2'")), "3");      // a number and a text: addition
    EXPECT_EQ(Uno(QStringLiteral("SELECT 'Art: ' + IdArticulo + ' ' + DESCRIPCION FROM V_MA_ARTICULOS WHERE ID = 1")),
              "Art: A1 Uno");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) + MAX(PRECIO) - MIN(PRECIO) FROM V_MA_ARTICULOS")), "23");
    EXPECT_EQ(Uno(QStringLiteral("SELECT SUM(PRECIO) / COUNT(*) + AVG(PRECIO) FROM V_MA_ARTICULOS")), "40");
    EXPECT_EQ(Uno(QStringLiteral("SELECT CASE WHEN LEN(GETDATE()) = 23 THEN 'ok' ELSE 'no' END")), "ok");
    EXPECT_THAT(Nativos(Lote(QStringLiteral("SELECT 'a' + 1"))), ElementsAre(245));
    EXPECT_THAT(Nativos(Lote(QStringLiteral("SELECT NOEXISTE(1)"))), ElementsAre(195));
    // Text functions of a column compare without regard to case, as the column does.
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE LTRIM(RTRIM(IdArticulo)) = 'a1'")), "1");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE UPPER(DESCRIPCION) = 'uno'")), "1");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE SUBSTRING(IdArticulo, 1, 1) <> 'a'")), "0");
}

TEST_F(Dialecto, FechasComparadasComoInstantes) {
    Bien(QStringLiteral("UPDATE V_MA_ARTICULOS SET ALTA = '2024-01-02' WHERE IdArticulo = 'A1'\r\n"
                        "UPDATE V_MA_ARTICULOS SET ALTA = '20240105 08:00' WHERE IdArticulo = 'A2'\r\n"
                        "UPDATE V_MA_ARTICULOS SET ALTA = CONVERT(datetime, '31/12/2023', 103) WHERE IdArticulo = 'A3'"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT IdArticulo FROM V_MA_ARTICULOS WHERE ALTA >= '2024-01-02 00:00:00.000' ORDER BY ALTA")),
                ElementsAre("A1", "A2"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT IdArticulo FROM V_MA_ARTICULOS WHERE ALTA = '02/01/2024'")), "A1");
    EXPECT_EQ(Uno(QStringLiteral("SELECT IdArticulo FROM V_MA_ARTICULOS ORDER BY ALTA")), "A3");
    const QStringList f = Filas(QStringLiteral("SELECT ALTA FROM V_MA_ARTICULOS WHERE IdArticulo = 'A2'"));
    EXPECT_THAT(f, ElementsAre("2024-01-05T08:00:00.000"));
}

TEST_F(Dialecto, DefinicionesYCondiciones) {
    ResultadoLote r = Lote(QStringLiteral("CREATE TABLE V_MA_ARTICULOS (X int)"));
    EXPECT_THAT(Nativos(r), ElementsAre(2714));
    EXPECT_EQ(r.errores[0].Description, "There is already an object named 'V_MA_ARTICULOS' in the database.");
    r = Lote(QStringLiteral("DROP VIEW VT_NADA"));
    EXPECT_THAT(Nativos(r), ElementsAre(3701));
    EXPECT_EQ(r.errores[0].Description, "Cannot drop the view 'VT_NADA', because it does not exist or you do not have permission.");
    Bien(QStringLiteral("CREATE VIEW VT_ARTICULOS AS SELECT IdArticulo AS Codigo, DESCRIPCION FROM V_MA_ARTICULOS\r\n"
                        "CREATE VIEW VT_CARAS AS SELECT * FROM VT_ARTICULOS WHERE Codigo <> 'A1'"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM VT_CARAS")), "2");
    Bien(QStringLiteral("IF EXISTS (SELECT * FROM sysobjects WHERE name = 'vt_caras' AND xtype = 'V') DROP VIEW VT_CARAS\r\n"
                        "IF NOT EXISTS (SELECT 1 FROM sysobjects WHERE name = 'TA_NUEVA') CREATE TABLE TA_NUEVA (C varchar(3))\r\n"
                        "IF OBJECT_ID('dbo.TA_NUEVA') IS NOT NULL INSERT INTO TA_NUEVA VALUES ('si') ELSE INSERT INTO TA_NUEVA VALUES ('no')"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT C FROM TA_NUEVA")), "si");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM sysobjects WHERE name = 'VT_CARAS'")), "0");
    // the schema helper's ALTER TABLE texts
    Bien(QStringLiteral("ALTER TABLE dbo.V_MA_ARTICULOS ADD PESO decimal(12,4) Not Null  CONSTRAINT DF_V_MA_ARTICULOS_PESO DEFAULT (0)"));
    Bien(QStringLiteral("ALTER TABLE dbo.V_MA_ARTICULOS ADD NOTA varchar(10) Null  CONSTRAINT DF_V_MA_ARTICULOS_NOTA DEFAULT ('x')"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT PESO, NOTA FROM V_MA_ARTICULOS WHERE IdArticulo = 'A1'")), ElementsAre("0|NULL"));
    Bien(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo) VALUES ('A9')"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT NOTA FROM V_MA_ARTICULOS WHERE IdArticulo = 'A9'")), "x");
    r = Lote(QStringLiteral("ALTER TABLE dbo.V_MA_ARTICULOS ADD OTRA int Not Null "));
    EXPECT_THAT(Nativos(r), ElementsAre(4901));
    Bien(QStringLiteral("DELETE TA_NUEVA\r\nALTER TABLE TA_NUEVA ADD N int NOT NULL"));
    EXPECT_THAT(Nativos(Lote(QStringLiteral("INSERT INTO TA_NUEVA (C) VALUES ('z')"))), ElementsAre(515, 3621));
    // unique index: 2601 with the index's name
    Bien(QStringLiteral("CREATE TABLE V_MA_PRECIOS (IDLISTA int NOT NULL, IDARTICULO varchar(25) NOT NULL, PRECIO money)\r\n"
                        "CREATE UNIQUE INDEX IX_PRECIO ON V_MA_PRECIOS (IDLISTA, IDARTICULO)\r\n"
                        "INSERT INTO V_MA_PRECIOS VALUES (1, 'A1', 5)"));
    r = Lote(QStringLiteral("INSERT INTO V_MA_PRECIOS VALUES (1, 'a1  ', 6)"));
    EXPECT_THAT(Nativos(r), ElementsAre(2601, 3621));
    EXPECT_EQ(r.errores[0].Description,
              "Cannot insert duplicate key row in object 'dbo.V_MA_PRECIOS' with unique index 'IX_PRECIO'. "
              "The duplicate key value is (1, a1  ).");
    Bien(QStringLiteral("DROP INDEX V_MA_PRECIOS.IX_PRECIO"));
    Bien(QStringLiteral("INSERT INTO V_MA_PRECIOS VALUES (1, 'a1  ', 6)"));
    // CHECK constraints
    Bien(QStringLiteral("CREATE TABLE TA_CHK (N int CONSTRAINT CK_N CHECK (N > 0))"));
    r = Lote(QStringLiteral("INSERT INTO TA_CHK VALUES (-1)"));
    EXPECT_THAT(Nativos(r), ElementsAre(547, 3621));
    EXPECT_EQ(r.errores[0].Description, "The INSERT statement conflicted with the CHECK constraint \"CK_N\". The conflict "
                                        "occurred in database \"DEMO\", table \"dbo.TA_CHK\".");
    Bien(QStringLiteral("DROP TABLE TA_CHK"));
    EXPECT_THAT(Nativos(Lote(QStringLiteral("DROP TABLE TA_CHK"))), ElementsAre(3701));
}

}  // namespace
