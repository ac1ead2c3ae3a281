#include "access/LectorBases.h"

#include "tests/support/Soporte.h"

#include <gtest/gtest.h>

namespace {

QStringList Campos(const EntradaBase& e) { return {e.Nombre, e.Dbname, e.Usuario, e.Password, e.Servidor}; }

}  // namespace

TEST(LectorBases, CamposPorComasConComillasYBlancos) {
    const auto r = LeeBases(QStringLiteral(
        "SRV01 / EMP1,EMP1,EMP1,Xy12,SRV01:1433\r\n"
        "  SRV02 / EMP2 ,  EMP2,\"U,1\" , \"a b\" ,SRV02\\INST\r\n"
        "\"SRV03 / A,B\"resto,A,B\r\n"));
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(Campos(r[0]), (QStringList{"SRV01 / EMP1", "EMP1", "EMP1", "Xy12", "SRV01:1433"}));
    // Blanks around fields dropped; inside quotes a comma and blanks are kept.
    EXPECT_EQ(Campos(r[1]), (QStringList{"SRV02 / EMP2", "EMP2", "U,1", "a b", "SRV02\\INST"}));
    // What follows a closing quote up to the comma is dropped; missing fields are empty.
    EXPECT_EQ(Campos(r[2]), (QStringList{"SRV03 / A,B", "A", "B", "", ""}));
}

TEST(LectorBases, FinesDeLinea) {
    // A lone CR (written before a line appended to a file without a final
    // line break) ends a line, as a lone LF does; blank lines are skipped
    // and a last line without an end counts. A line never borrows fields
    // from the next one, and fields after the fifth are ignored.
    const auto r = LeeBases(QStringLiteral("A / 1,1\rB / 2,2,2,c,S2\n\r\n   \r\nC / 3,3,3,c,S3,extra,mas"));
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(Campos(r[0]), (QStringList{"A / 1", "1", "", "", ""}));
    EXPECT_EQ(Campos(r[1]), (QStringList{"B / 2", "2", "2", "c", "S2"}));
    EXPECT_EQ(Campos(r[2]), (QStringList{"C / 3", "3", "3", "c", "S3"}));
    EXPECT_TRUE(LeeBases(QString()).empty());
    // An unclosed quote runs to the end of its line only.
    const auto q = LeeBases(QStringLiteral("\"X / Y,Y\r\nZ / W,W"));
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].Nombre, QStringLiteral("X / Y,Y"));
    EXPECT_EQ(q[1].Nombre, QStringLiteral("Z / W"));
}
