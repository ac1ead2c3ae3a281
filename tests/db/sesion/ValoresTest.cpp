#include "db/DB_Dll.h"

#include "frame/ModGlobal.h"
#include "tests/support/Soporte.h"

TEST(ValoresSQL, Literales) {
    DB_Dll s;
    EXPECT_EQ(s.SQLValue(QVariant(), QStringLiteral("@")), QStringLiteral("0"));
    EXPECT_EQ(s.SQLValue(QVariant(), QStringLiteral("'")), QStringLiteral("NULL"));
    EXPECT_EQ(s.SQLValue(QStringLiteral("O'Hara"), QStringLiteral("'")), QStringLiteral("'O''Hara'"));
    EXPECT_EQ(s.SQLValue(QStringLiteral("12,34567"), QStringLiteral("@")), QStringLiteral("12.3457"));
    EXPECT_EQ(s.SQLValue(QStringLiteral("7"), QStringLiteral("x")), QStringLiteral("7"));
    EXPECT_EQ(s.SQLValue2(QStringLiteral("a"), QStringLiteral("'")), QStringLiteral("'a'"));
    // Dates in the forms that do not depend on the login's language.
    EXPECT_EQ(s.SQLValue(QDate(2024, 3, 15), QStringLiteral("'")), QStringLiteral("'20240315'"));
    EXPECT_EQ(s.SQLValue(QDateTime(QDate(2024, 3, 15), QTime(14, 22)), QStringLiteral("'")),
              QStringLiteral("'2024-03-15T14:22:00'"));
    EXPECT_TRUE(s.adodate(135));
    EXPECT_TRUE(s.ADOText(200));
    EXPECT_TRUE(s.ADONumeric(131));
    EXPECT_FALSE(s.ADONumeric(200));
    EXPECT_EQ(s.ADOComilla(7), QStringLiteral("'"));
    EXPECT_EQ(s.ADOComilla(3), QString());
}

TEST(ValoresSQL, Nombres) {
    DB_Dll s;
    QString n = QStringLiteral("dbo.ARTICULOS");
    EXPECT_EQ(s.stSTF(n, false), QStringLiteral("dbo"));
    EXPECT_EQ(s.stSTF(n, true), QStringLiteral("ARTICULOS"));
    n = QStringLiteral("BASE.dbo.ARTICULOS");
    EXPECT_EQ(s.stSTF(n, false), QStringLiteral("dbo.ARTICULOS"));
    EXPECT_EQ(n, QStringLiteral("dbo.ARTICULOS"));
    EXPECT_EQ(s.AddBrackets(QStringLiteral("MIS DATOS")), QStringLiteral("[MIS DATOS]"));
    EXPECT_EQ(s.AddBrackets(QStringLiteral("[MIS DATOS]")), QStringLiteral("[MIS DATOS]"));
    EXPECT_EQ(s.StripConnect(QStringLiteral("TABLA ->SERVIDOR")), QStringLiteral("TABLA"));
    EXPECT_THROW(s.StripConnect(QStringLiteral("->X")), Fallo);
    EXPECT_EQ(s.StripBrackets(QStringLiteral("[A B]")), QStringLiteral("A B"));
    EXPECT_THROW(s.StripBrackets(QStringLiteral("[")), Fallo);
    EXPECT_EQ(s.StripFileName(QStringLiteral("C:\\Suite\\Programa.exe")), QStringLiteral("C:\\Suite"));
    EXPECT_EQ(s.StripFileName(QStringLiteral("Programa.exe")), QString());
}

TEST(ValoresSQL, ParesYSentencias) {
    QString v = QStringLiteral("O'Hara");
    AgregaCampoValor(QStringLiteral("Usuario"), v, QStringLiteral("'"), true);
    EXPECT_EQ(v, QStringLiteral("OHara"));
    ASSERT_EQ(gCamposValores.size(), 1u);
    EXPECT_EQ(gCamposValores[0].Valor, QStringLiteral("'OHara'"));
    QString nulo = QStringLiteral("null");
    AgregaCampoValor(QStringLiteral("X"), nulo, QStringLiteral("'"), false);
    EXPECT_EQ(gCamposValores[1].Valor, QStringLiteral("Null"));

    std::vector<CampoValor> pares{{QStringLiteral("a"), QStringLiteral("1")},
                                  {QStringLiteral("b"), QStringLiteral("2")},
                                  {QStringLiteral("c"), QStringLiteral("3")}};
    QStringList lineas{QString()};
    QString cond;
    ArmaSentencia(pares, lineas, QStringLiteral("T"), false, cond, true);
    EXPECT_EQ(lineas[1], QStringLiteral("INSERT INTO T (a,b,c) VALUES (1,2,3)"));
    EXPECT_EQ(lineas.last(), QString());
    cond = QStringLiteral("ID = 5");
    ArmaSentencia(pares, lineas, QStringLiteral("T"), true, cond, false);
    EXPECT_EQ(lineas[3], QStringLiteral("UPDATE T SET a = 1,b = 2,c = 3  WHERE ID = 5"));
    EXPECT_EQ(cond, QStringLiteral(" WHERE ID = 5"));
    ASSERT_EQ(pares.size(), 1u);
    EXPECT_TRUE(pares[0].Campo.isEmpty());

    std::vector<CampoValor> otros{{QStringLiteral("x"), QStringLiteral("'1'")}};
    QString ins = QStringLiteral(" INSERT INTO V_MV_CPTEACCIONES ");
    CompletaInsert(ins, otros, true);
    EXPECT_EQ(ins, QStringLiteral(" INSERT INTO V_MV_CPTEACCIONES (x) VALUES ('1')"));
    EXPECT_TRUE(otros.empty());
    QStringList vacia;
    EXPECT_THROW(ArmaSentencia(pares, vacia, QStringLiteral("T"), false, cond, false), Fallo);
}
