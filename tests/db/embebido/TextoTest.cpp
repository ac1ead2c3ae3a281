// Text comparison as a _CI_AS collation, and LIKE with SQL Server's syntax.
#include "tests/db/embebido/PruebaEmbebida.h"

using ::testing::ElementsAre;

namespace {

class Textos : public PruebaEmbebida {
protected:
    void SetUp() override {
        PruebaEmbebida::SetUp();
        Bien(QStringLiteral("CREATE TABLE A (C varchar(25) NOT NULL PRIMARY KEY, D nvarchar(20) NULL)\r\n"
                            "INSERT INTO A VALUES ('Ábaco', 'x')\r\nINSERT INTO A VALUES ('abaco', 'y')\r\n"
                            "INSERT INTO A VALUES ('  12.5', '50%')\r\nINSERT INTO A VALUES ('X_1', '[a]')"));
    }
};

TEST_F(Textos, MayusculasIgualesAcentosDistintosBlancosFinalesIgnorados) {
    EXPECT_EQ(Uno(QStringLiteral("SELECT D FROM A WHERE C = 'ÁBACO'")), "x");   // Á = á
    EXPECT_EQ(Uno(QStringLiteral("SELECT D FROM A WHERE C = 'ABACO   '")), "y");  // a ≠ á
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM A WHERE C = '12.5'")), "0");  // leading blanks count
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM A WHERE C <> 'x_1 '")), "3");
    // keys and grouping
    ResultadoLote r = Lote(QStringLiteral("INSERT INTO A VALUES ('ábaco  ', 'z')"));
    EXPECT_THAT(Nativos(r), ElementsAre(2627, 3621));
    Bien(QStringLiteral("CREATE TABLE G (C varchar(10))\r\nINSERT INTO G VALUES ('uno')\r\nINSERT INTO G VALUES ('UNO ')\r\n"
                        "INSERT INTO G VALUES ('Uno')\r\nINSERT INTO G VALUES ('únó')"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM (SELECT C FROM G GROUP BY C) X")), "2");
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(DISTINCT C) FROM G")), "2");
    // the key's index serves the collated comparison
    const QStringList plan = Filas(QStringLiteral("SELECT COUNT(*) FROM A WHERE C IN ('abaco')"));
    EXPECT_THAT(plan, ElementsAre("1"));
}

TEST_F(Textos, Like) {
    EXPECT_THAT(Filas(QStringLiteral("SELECT D FROM A WHERE C LIKE 'áb%' ORDER BY D")), ElementsAre("x"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT D FROM A WHERE C LIKE 'AB_CO'")), ElementsAre("y"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT C FROM A WHERE C LIKE '% %'")), ElementsAre("  12.5"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT C FROM A WHERE C LIKE 'x[_]%'")), ElementsAre("X_1"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT D FROM A WHERE D LIKE '%[%]'")), ElementsAre("50%"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT D FROM A WHERE D LIKE '[[]a]'")), ElementsAre("[a]"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT C FROM A WHERE C LIKE '[w-y]%'")), ElementsAre("X_1"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT D FROM A WHERE C LIKE '[^a ]%' ORDER BY D")), ElementsAre("[a]", "x"));
    // trailing blanks: ignored in the value, not in the pattern
    Bien(QStringLiteral("INSERT INTO A VALUES ('fin   ', 'f')"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT D FROM A WHERE C LIKE 'fin'")), ElementsAre("f"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT D FROM A WHERE C LIKE 'fin '")), ElementsAre());
    EXPECT_THAT(Filas(QStringLiteral("SELECT D FROM A WHERE C NOT LIKE '%a%' AND C LIKE '%1%'")), ElementsAre("50%", "[a]"));
}

TEST_F(Textos, LikeConPrefijoLiteralDaLasMismasFilas) {
    // A literal prefix also bounds the column (and an index on LTRIM of it):
    // case, accents, letters beyond ASCII and leading blanks as before.
    Bien(QStringLiteral("CREATE TABLE P (C varchar(25) NOT NULL PRIMARY KEY)\r\n"
                        "CREATE INDEX IX_P_LTRIM ON P (LTRIM(C))"));
    for (const char* c : {"abc", "ABCz", "abcñ", "abc\xef\xbf\xbd", "  abcx", "abd", "ab", "ábc1", "abc|S", "ab_c"})
        Bien(QStringLiteral("INSERT INTO P VALUES ('%1')").arg(QString::fromUtf8(c)));
    EXPECT_THAT(Filas(QStringLiteral("SELECT C FROM P WHERE C LIKE 'ABC%' ORDER BY C")),
                ElementsAre("abc", "ABCz", "abc|S", "abcñ", QString::fromUtf8("abc\xef\xbf\xbd")));
    EXPECT_THAT(Filas(QStringLiteral("SELECT C FROM P WHERE LTRIM(C) LIKE 'abcx%' ORDER BY C")), ElementsAre("  abcx"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT C FROM P WHERE ltrim(P.C) like 'abc[|]%' AND C <> 'x'")), ElementsAre("abc|S"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT C FROM P WHERE C LIKE 'ab[_]%'")), ElementsAre("ab_c"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT COUNT(*) FROM P WHERE NOT C LIKE 'abc%'")), ElementsAre("5"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT COUNT(*) FROM P WHERE C NOT LIKE 'abc%' OR C LIKE 'ab'")), ElementsAre("5"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT COUNT(*) FROM P WHERE C = 'ab' OR C LIKE 'ABD%'")), ElementsAre("2"));
}

}  // namespace
