#include "platform/Texto.h"

#include "platform/Fallo.h"

#include "tests/support/Soporte.h"

using namespace Texto;

TEST(Texto, TrimQuitaSoloBlancos) {
    EXPECT_EQ(Trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(Trim(QStringLiteral("\ta\t")), QStringLiteral("\ta\t"));
    EXPECT_EQ(Trim(QStringLiteral(" a\r\n ")), QStringLiteral("a\r\n"));
    EXPECT_EQ(LTrim(QStringLiteral("  x ")), QStringLiteral("x "));
    EXPECT_EQ(RTrim(QStringLiteral("  x ")), QStringLiteral("  x"));
    EXPECT_EQ(Trim(QStringLiteral("    ")), QString());
    // A no-break space is not a blank.
    EXPECT_EQ(Trim(QString(QChar(0xA0)) + QStringLiteral("a")), QString(QChar(0xA0)) + QStringLiteral("a"));
}

TEST(Texto, PosicionesDesdeUno) {
    const QString s = QStringLiteral("ABCDEF");
    EXPECT_EQ(Mid(s, 1, 2), QStringLiteral("AB"));
    EXPECT_EQ(Mid(s, 3), QStringLiteral("CDEF"));
    EXPECT_EQ(Mid(s, 7), QString());
    EXPECT_EQ(Mid(s, 5, 10), QStringLiteral("EF"));
    EXPECT_EQ(Left(s, 10), s);
    EXPECT_EQ(Right(s, 2), QStringLiteral("EF"));
    EXPECT_THROW(Mid(s, 0), Fallo);
    try {
        Mid(s, 0);
    } catch (const Fallo& f) {
        EXPECT_EQ(f.Numero(), 5);
    }
    EXPECT_EQ(InStr(s, QStringLiteral("cd")), 3);
    EXPECT_EQ(InStr(s, QStringLiteral("cd"), false), 0);
    EXPECT_EQ(InStr(4, s, QStringLiteral("C")), 0);
    EXPECT_EQ(InStr(2, s, QString()), 2);
    EXPECT_EQ(InStr(9, s, QStringLiteral("A")), 0);
    EXPECT_EQ(InStrRev(QStringLiteral("a.b.c"), QStringLiteral(".")), 4);
}

TEST(Texto, ComparacionesSinMayusculasConAcentos) {
    EXPECT_TRUE(Iguales(QStringLiteral("ÑANDÚ"), QStringLiteral("ñandú")));
    EXPECT_TRUE(Iguales(QStringLiteral("Árbol"), QStringLiteral("árbol")));
    EXPECT_FALSE(Iguales(QStringLiteral("arbol"), QStringLiteral("árbol")));
    EXPECT_TRUE(Contiene(QStringLiteral("begin transaction"), QStringLiteral("TRANS")));
    EXPECT_EQ(Reemplaza(QStringLiteral("UPDATE @admin_T, @ADMIN_U"), QStringLiteral("@Admin_"), QString()),
              QStringLiteral("UPDATE T, U"));
    EXPECT_EQ(Reemplaza(QStringLiteral("Año AÑO"), QStringLiteral("año"), QStringLiteral("x")),
              QStringLiteral("x x"));
    EXPECT_EQ(UCase(QStringLiteral("ñá")), QStringLiteral("ÑÁ"));
    EXPECT_EQ(QuitaCaracteres(QStringLiteral("a|b=c"), QStringLiteral("|=")), QStringLiteral("abc"));
}

TEST(Texto, NumeroInicial) {
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("  12.5abc")), 12.5);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("1 2 3")), 123);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("-3")), -3);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("abc")), 0);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("")), 0);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("12,5")), 12);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("1.5E2")), 150);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("0999")), 999);
    EXPECT_EQ(NumeroATexto(12.0), QStringLiteral("12"));
    EXPECT_EQ(NumeroATexto(12.25), QStringLiteral("12.25"));
}

TEST(Texto, PatronesDeFecha) {
    const QDateTime m(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(FormatoFecha(m, QStringLiteral("dd/mm/yy hh:mm")), QStringLiteral("05/03/24 14:07"));
    EXPECT_EQ(FormatoFecha(m, QStringLiteral("mm-dd-yyyy")), QStringLiteral("03-05-2024"));
    EXPECT_EQ(FormatoFecha(m, QStringLiteral("hh:mm:ss")), QStringLiteral("14:07:09"));
    EXPECT_EQ(FormatoFecha(m, QStringLiteral("dd/mm/yy")), QStringLiteral("05/03/24"));
    EXPECT_EQ(FormatoFecha(m, QStringLiteral("hh:nn")), QStringLiteral("14:07"));
    EXPECT_EQ(LeeFecha(QStringLiteral("25/12/2024")).date(), QDate(2024, 12, 25));
    EXPECT_EQ(LeeFecha(QStringLiteral("1-2-24 10:30")), QDateTime(QDate(2024, 2, 1), QTime(10, 30)));
    EXPECT_FALSE(LeeFecha(QStringLiteral("31/02/2024")).isValid());
    EXPECT_FALSE(LeeFecha(QStringLiteral("ABC")).isValid());
}
