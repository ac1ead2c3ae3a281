// Translations kept by shape: the same result as translating the text, for
// batches that differ only in their literals.

#include <gtest/gtest.h>

#include "db/platform/embebido/CacheTraduccion.h"
#include "tests/db/embebido/PruebaEmbebida.h"

namespace {

void Iguales(const std::vector<Sentencia>& a, const std::vector<Sentencia>& b, const QString& lote) {
    ASSERT_EQ(a.size(), b.size()) << lote.toStdString();
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].tipo, b[i].tipo);
        EXPECT_EQ(a[i].sql, b[i].sql) << lote.toStdString();
        EXPECT_EQ(a[i].original, b[i].original);
        EXPECT_EQ(a[i].insertAntes, b[i].insertAntes);
        EXPECT_EQ(a[i].insertDespues, b[i].insertDespues);
        EXPECT_EQ(a[i].tabla, b[i].tabla);
        EXPECT_EQ(a[i].activar, b[i].activar);
    }
}

// Translates through the cache and directly; both must agree.
void Compara(CacheTraduccion& c, const QString& lote) {
    std::vector<Sentencia> conCache, directa;
    ErrorTraduccion e1, e2;
    const bool a = c.Traduce(lote, "BASE", conCache, e1);
    const bool b = TraduceLote(lote, "BASE", directa, e2);
    ASSERT_EQ(a, b) << lote.toStdString();
    if (!a) {
        EXPECT_EQ(e1.nativo, e2.nativo);
        EXPECT_EQ(e1.texto, e2.texto);
        return;
    }
    Iguales(conCache, directa, lote);
}

QString Plan(const QString& o, const QString& n) {
    return "\r\n ALTER TABLE V_MA_ARTICULOS DISABLE TRIGGER ALL \r\n BEGIN TRANSACTION \r\n"
           "    delete from S_TA_EQUIV  WHERE IDARTICULO = '" + n + "'\r\n"
           "    INSERT INTO V_MA_ARTICULOS SELECT '" + n + "',Descripcion  \r\n"
           "        FROM V_MA_ARTICULOS WHERE IDARTICULO = '" + o + "'\r\n"
           "    UPDATE AC_VENTASMES SET IDARTICULO = N'" + n + "' WHERE IDARTICULO = '" + o + "' -- it's a comment\r\n"
           "    UPDATE [dbo].[V_MV_STOCK] SET IDARTICULO = '" + n + "' + 'x' WHERE \"IDARTICULO\" = '" + o + "'";
}

}  // namespace

TEST(CacheTraduccion, LaFormaSeReutilizaConSusPropiosLiterales) {
    CacheTraduccion c;
    Compara(c, Plan("A1", "B1"));
    Compara(c, Plan("O''Brien", "N''1"));   // doubled quotes
    Compara(c, Plan("ÁÉ 1", "ñ /* no */"));  // letters, blanks, comment marks inside literals
    EXPECT_EQ(c.Aciertos(), 2);
    EXPECT_EQ(c.Tamano(), 1);
    // Statements without literals are kept too.
    Compara(c, " COMMIT TRANSACTION");
    Compara(c, " COMMIT TRANSACTION");
    EXPECT_EQ(c.Aciertos(), 3);
}

TEST(CacheTraduccion, LosPatronesYLoQueNoSeGuarda) {
    CacheTraduccion c;
    // LIKE patterns shape the translation: each pattern is its own shape.
    Compara(c, "SELECT * FROM T WHERE LTRIM(C) LIKE 'ab[_]%' AND D = 'x'");
    Compara(c, "SELECT * FROM T WHERE LTRIM(C) LIKE 'zz%' AND D = 'y'");
    Compara(c, "SELECT * FROM T WHERE C like\r\n  'ab%' ESCAPE '!'");
    EXPECT_EQ(c.Aciertos(), 0);
    // DDL, control flow and broken texts go straight to the translator.
    Compara(c, "CREATE TABLE X (C varchar(10) DEFAULT 'a')");
    Compara(c, "CREATE TABLE X (C varchar(10) DEFAULT 'b')");
    Compara(c, "IF EXISTS (SELECT 1 FROM T WHERE C = 'a') SELECT 1");
    Compara(c, "IF EXISTS (SELECT 1 FROM T WHERE C = 'b') SELECT 1");
    Compara(c, "SELECT 'sin cerrar FROM T");
    Compara(c, "SELECT 'sin cerrar FROM T");
    Compara(c, QString("SELECT '") + QChar(1) + "0" + QChar(2) + "' FROM T");
    Compara(c, "SELECT [a'b] FROM T WHERE C = 'x'");
    Compara(c, "SELECT [a'b] FROM T WHERE C = 'y'");
}

// Through the driver: a batch of the same shape after another one.
class CacheEnElMotor : public PruebaEmbebida {};

TEST_F(CacheEnElMotor, MismaFormaDistintosDatos) {
    Bien("CREATE TABLE A (C varchar(25) NOT NULL PRIMARY KEY, D varchar(20) NULL)");
    for (const char* c : {"uno", "do's", "tres"}) Bien(QString("INSERT INTO A VALUES ('%1', 'x')").arg(QString(c).replace("'", "''")));
    EXPECT_EQ(Uno("SELECT D FROM A WHERE C = 'UNO'"), "x");
    Bien("UPDATE A SET D = 'dos' WHERE C = 'do''s'");
    EXPECT_EQ(Uno("SELECT D FROM A WHERE C = 'DO''S'"), "dos");
    EXPECT_EQ(Uno("SELECT COUNT(*) FROM A WHERE C LIKE 't%'"), "1");
    EXPECT_EQ(Uno("SELECT COUNT(*) FROM A WHERE C LIKE 'd%'"), "1");
    const ResultadoLote r = Lote("INSERT INTO A VALUES ('uno', 'otra')");
    ASSERT_FALSE(r.errores.empty());
    EXPECT_EQ(r.errores.front().NativeError, 2627);
}

// Kept statements take each batch's literals as parameters: the results
// must be those of the literals written in the text.
TEST_F(CacheEnElMotor, LiteralesComoParametrosDanLoMismo) {
    Bien("CREATE TABLE B (ID int IDENTITY(1,1) NOT NULL, C varchar(25) NOT NULL, N int NULL, F char(4) NULL, "
         "D varchar(20) NULL)");
    for (int i = 0; i < 2; ++i) {
        // The same shapes twice: prepared the first time, kept the second.
        const QString c = i ? "o''brien" : "uno";
        Bien(QString("INSERT INTO B SELECT '%1', %2, '%3', N'ñ%4'").arg(c).arg(7 + i).arg(i ? "ab" : "").arg(i));
        EXPECT_EQ(Uno(QString("SELECT COUNT(*) FROM B WHERE N = '%1'").arg(7 + i)), "1");     // text against int
        EXPECT_EQ(Uno(QString("SELECT COUNT(*) FROM B WHERE C = '%1  '").arg(c.toUpper())), "1");  // case, blanks
        EXPECT_EQ(Uno(QString("SELECT COUNT(*) FROM B WHERE F = '%1'").arg(i ? "ab" : "")), "1");
        EXPECT_EQ(Uno(QString("SELECT D FROM B WHERE C = '%1'").arg(c)), QString("ñ%1").arg(i));
        const ResultadoLote r = Bien(QString("SELECT '%1', C FROM B WHERE ID = %2").arg(i).arg(i + 1));
        ASSERT_EQ(r.resultados.size(), 1u);
        EXPECT_EQ(r.resultados[0].columnas[0].nombre, QString());  // unnamed, as the server leaves it
        EXPECT_EQ(r.resultados[0].columnas[1].nombre, "C");
        EXPECT_EQ(Uno(QString("SELECT C AS 'nombre' FROM B WHERE ID = %1").arg(i + 1)), i ? "o'brien" : "uno");
        EXPECT_EQ(r.resultados[0].filas[0][0].toString(), QString::number(i));
    }
    EXPECT_EQ(Filas("SELECT ID, C, N FROM B ORDER BY ID"), QStringList({"1|uno|7", "2|o'brien|8"}));

    // A failure in a batch of kept statements, then the same shape again.
    Bien("CREATE UNIQUE INDEX UX_B ON B (C)");
    const ResultadoLote mal = Lote("UPDATE B SET D = 'x' WHERE C = 'uno'\r\nINSERT INTO B SELECT 'uno', 1, 'a', 'b'");
    EXPECT_EQ(Nativos(mal), std::vector<int>({2601, 3621}));
    Bien("UPDATE B SET D = 'y' WHERE C = 'tres'\r\nINSERT INTO B SELECT 'tres', 3, 'c', 'd'");
    EXPECT_EQ(Uno("SELECT D FROM B WHERE C = 'uno'"), "x");
    EXPECT_EQ(Uno("SELECT N FROM B WHERE C = 'tres'"), "3");

    // The schema changed by this connection: the shapes meet the new table.
    Bien("ALTER TABLE B ADD E varchar(5) NULL");
    Bien("INSERT INTO B SELECT 'cuatro', 4, 'e', 'f', 'g'");
    EXPECT_EQ(Uno("SELECT E FROM B WHERE C = 'cuatro'"), "g");
    Bien("DROP TABLE B");
    Bien("CREATE TABLE B (C varchar(25) NOT NULL, D varchar(20) NULL)");
    Bien("INSERT INTO B VALUES ('cinco', 'h')");
    EXPECT_EQ(Filas("SELECT * FROM B WHERE C = 'cinco'"), QStringList({"cinco|h"}));
    EXPECT_EQ(Uno("SELECT D FROM B WHERE C = 'cinco'"), "h");

    // Kept statements run on after a rollback in their own batch.
    for (const char* d : {"i", "j"}) {
        const ResultadoLote r = Bien(QString("BEGIN TRANSACTION\r\nUPDATE B SET D = '%1' WHERE C = 'cinco'\r\n"
                                             "ROLLBACK TRANSACTION\r\nSELECT D FROM B WHERE C = 'cinco'").arg(d));
        ASSERT_FALSE(r.resultados.empty());
        EXPECT_EQ(r.resultados.back().filas.at(0).at(0).toString(), "h");
    }
}
