// A trimmed column compared with a literal, served by an index on LTRIM of
// the column: the same rows as the comparison scanned row by row.

#include <sqlite3.h>

#include "db/platform/embebido/BaseEmbebida.h"
#include "db/platform/embebido/CacheTraduccion.h"
#include "db/platform/embebido/FuncionesEmbebidas.h"
#include "tests/db/embebido/PruebaEmbebida.h"

using ::testing::AnyOfArray;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The application's validation of a code, as it sends it.
QString Validacion(const QString& codigo) {
    return QStringLiteral(
               "SELECT TOP 1  * FROM V_MA_ARTICULOS with(nolock)  WHERE LTRIM(RTRIM(IdArticulo)) ='") +
           QString(codigo).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QString Traduce(const QString& lote) {
    std::vector<Sentencia> s;
    ErrorTraduccion e;
    if (!TraduceLote(lote, QStringLiteral("DEMO"), s, e) || s.size() != 1) return QStringLiteral("<error>");
    return s[0].sql;
}

class ComparacionRecortada : public PruebaEmbebida {
  protected:
    void SetUp() override {
        PruebaEmbebida::SetUp();
        Bien(QStringLiteral(
            "CREATE TABLE V_MA_ARTICULOS (IdArticulo varchar(25) NOT NULL, Descripcion varchar(40) NULL, "
            "CONSTRAINT PK_V_MA_ARTICULOS PRIMARY KEY (IdArticulo))\r\n"
            "CREATE INDEX IX_V_MA_ARTICULOS_LTRIM ON V_MA_ARTICULOS (LTRIM(IdArticulo))\r\n"
            "CREATE TABLE R (ID int NOT NULL PRIMARY KEY, C varchar(25) NULL, N int NULL, F float NULL)\r\n"
            "CREATE INDEX IX_R_LTRIM ON R (LTRIM(C))"));
        const QStringList codigos = {"abc",   "ABC  ",  "  abc",    "  ABC  ", "ábc", "ÁBC ", "Ábaco",
                                     "abaco", "O'Hara", " o'hara ", "",        "   ", "a b",  " a b "};
        for (int i = 0; i < codigos.size(); ++i) {
            const QString c = QString(codigos[i]).replace(QLatin1Char('\''), QStringLiteral("''"));
            // the primary key refuses codes equal but for trailing blanks
            if (Filas(QStringLiteral("SELECT 1 FROM V_MA_ARTICULOS WHERE IdArticulo = '%1'").arg(c))
                    .isEmpty())
                Bien(QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('%1', '%2')").arg(c).arg(i));
            Bien(QStringLiteral("INSERT INTO R VALUES (%1, '%2', %1, NULL)").arg(i).arg(c));
        }
        // NULL codes; numbers, among them one whose text reads back as another number
        Bien(QStringLiteral(
            "INSERT INTO R VALUES (20, NULL, NULL, NULL)\r\nINSERT INTO R VALUES (21, NULL, 5, 5)\r\n"
            "INSERT INTO R SELECT 22, '5', 50, 0.1 + 0.2\r\nINSERT INTO R VALUES (23, ' 5', -5, 12.5)"));
    }

    // The ids of R's rows where the condition holds.
    QStringList Ids(const QString& condicion) {
        return Filas(QStringLiteral("SELECT ID FROM R WHERE %1 ORDER BY ID").arg(condicion));
    }

    // The plan the engine makes of its text.
    QString PlanDe(const QString& sql) {
        sqlite3* db = nullptr;
        EstadoSesion estado;
        if (sqlite3_open_v2(RutaBaseEmbebida(QStringLiteral("DEMO")).toUtf8().constData(), &db,
                            SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            return QStringLiteral("<no abre>");
        }
        RegistraFuncionesEmbebidas(db, &estado);
        QString plan;
        sqlite3_stmt* st = nullptr;
        const QByteArray q = ("EXPLAIN QUERY PLAN " + sql).toUtf8();
        if (sqlite3_prepare_v2(db, q.constData(), -1, &st, nullptr) != SQLITE_OK)
            plan = QStringLiteral("<error> ") + QString::fromUtf8(sqlite3_errmsg(db));
        while (st && sqlite3_step(st) == SQLITE_ROW)
            plan += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))) +
                    QLatin1Char('\n');
        sqlite3_finalize(st);
        sqlite3_close(db);
        return plan;
    }
};

TEST_F(ComparacionRecortada, TextoTraducido) {
    // the literal stays where it was and is compared again with LTRIM of the column
    EXPECT_EQ(
        Traduce(Validacion(QStringLiteral("O'Hara"))),
        "SELECT * FROM \"V_MA_ARTICULOS\" WHERE ((kv_ltrim((kv_rtrim(\"IdArticulo\") COLLATE CI_AS)) COLLATE "
        "CI_AS) = 'O''Hara' AND (kv_ltrim(\"IdArticulo\") COLLATE CI_AS) = 'O''Hara') LIMIT 1");
    // RTRIM alone: leading blanks count, so the literal is trimmed the same way
    EXPECT_EQ(Traduce(QStringLiteral("SELECT ID FROM R r WHERE r.ID > 0 AND RTRIM(r.C) = N'a'")),
              "SELECT \"ID\" FROM \"R\" \"r\" WHERE \"r\".\"ID\" > 0 AND ((kv_rtrim(\"r\".\"C\") COLLATE "
              "CI_AS) = 'a' AND "
              "(kv_ltrim(\"r\".\"C\") COLLATE CI_AS) = kv_ltrim('a'))");
    // left as they were: LTRIM alone (already the indexed expression), a
    // negated comparison, and literals that are not the whole other side
    for (const char* t :
         {"SELECT ID FROM R WHERE LTRIM(C) = 'a'", "SELECT ID FROM R WHERE NOT RTRIM(C) = 'a'",
          "SELECT ID FROM R WHERE RTRIM(C) = 'a' + C",
          "SELECT ID FROM R WHERE RTRIM(C) = 'a' COLLATE Latin1_General_CS_AS",
          "SELECT ID FROM R WHERE RTRIM(C + 'x') = 'a'", "SELECT ID FROM R WHERE RTRIM(UPPER(C)) = 'a'",
          "SELECT ID FROM R WHERE 'a' = RTRIM(C)"})
        EXPECT_THAT(Traduce(QString::fromUtf8(t)).toStdString(), Not(HasSubstr("AND"))) << t;
}

TEST_F(ComparacionRecortada, MismasFilasQueRecorriendoLaTabla) {
    // NOT (x <> y) is the same condition, and the translator leaves it alone.
    const QStringList formas = {"LTRIM(RTRIM(C))", "RTRIM(LTRIM(C))", "LTRIM(C)",
                                "rtrim(R.C)",      "RTRIM(C)",        "LTRIM(LTRIM(C))",
                                "RTRIM(N)",        "LTRIM(RTRIM(N))", "RTRIM(F)"};
    const QStringList literales = {"abc",       "ABC   ", "  abc", "ÁBC", "ábc",  "ABACO", "O''Hara",
                                   "  O''HARA", "",       "   ",   "a b", " a b", "zzz",   "%1%2",
                                   "5",         "5 ",     " 5",    "-5",  "0.3",  "12.5"};
    for (const QString& f : formas) {
        for (const QString& l : literales) {
            const QStringList con = Ids(QStringLiteral("%1 = '%2'").arg(f, l));
            EXPECT_EQ(con, Ids(QStringLiteral("NOT (%1 <> '%2')").arg(f, l)))
                << qPrintable(f) << " = '" << qPrintable(l) << "'";
            // negated from outside, NULLs stay out as before
            EXPECT_EQ(Ids(QStringLiteral("NOT (%1 = '%2')").arg(f, l)),
                      Ids(QStringLiteral("%1 <> '%2'").arg(f, l)))
                << qPrintable(f) << " = '" << qPrintable(l) << "'";
        }
    }
    // what the collation makes of them
    EXPECT_THAT(Ids(QStringLiteral("LTRIM(RTRIM(C)) = 'ABC'")), ElementsAre("0", "1", "2", "3"));
    EXPECT_THAT(Ids(QStringLiteral("LTRIM(RTRIM(C)) = 'ábc'")), ElementsAre("4", "5"));
    EXPECT_THAT(Ids(QStringLiteral("RTRIM(C) = ''")), ElementsAre("10", "11"));
    EXPECT_THAT(Ids(QStringLiteral("RTRIM(C) = 'o''hara'")), ElementsAre("8"));
    EXPECT_THAT(Ids(QStringLiteral("RTRIM(N) = '5 '")), ElementsAre("5", "21"));
    EXPECT_THAT(Ids(QStringLiteral("RTRIM(F) = '0.3'")), ElementsAre("22"));
    // the application's statement, one code after another (the later ones bound to the kept
    // translation); codes equal once trimmed may give either row
    const std::vector<std::pair<QString, QStringList>> validaciones = {{"ÁBC", {"ábc|4"}},
                                                                       {"  ábc ", {}},
                                                                       {"o'hara", {"O'Hara|8", " o'hara |9"}},
                                                                       {"ÁBACO", {"Ábaco|6"}},
                                                                       {"abaco", {"abaco|7"}},
                                                                       {"ABC", {"abc|0", "  abc|2"}},
                                                                       {"a b", {"a b|12", " a b |13"}},
                                                                       {"", {"|10"}},
                                                                       {"   ", {"|10"}},
                                                                       {"zzz", {}}};
    for (const auto& [codigo, filas] : validaciones) {
        const QStringList r = Filas(Validacion(codigo));
        if (filas.isEmpty())
            EXPECT_THAT(r, ElementsAre()) << qPrintable(codigo);
        else
            EXPECT_THAT(r, ElementsAre(AnyOfArray(filas))) << qPrintable(codigo);
    }
}

TEST_F(ComparacionRecortada, ElIndiceSirveLaBusqueda) {
    EXPECT_THAT(PlanDe(Traduce(Validacion(QStringLiteral("abc")))).toStdString(),
                HasSubstr("USING INDEX V_MA_ARTICULOS.IX_V_MA_ARTICULOS_LTRIM"));
    for (const char* t :
         {"SELECT ID FROM R WHERE LTRIM(C) = 'a'", "SELECT ID FROM R WHERE RTRIM(LTRIM(C)) = 'a'",
          "SELECT ID FROM R x WHERE RTRIM(x.C) = 'a' OR ID = 3"})
        EXPECT_THAT(PlanDe(Traduce(QString::fromUtf8(t))).toStdString(),
                    HasSubstr("USING INDEX R.IX_R_LTRIM"))
            << t;

    // The kept translation binds the literal, written twice, to both places.
    CacheTraduccion cache;
    std::vector<Sentencia> s;
    ErrorTraduccion e;
    LigadurasLote l;
    for (const char* codigo : {"abc", "o'hara"}) {
        ASSERT_TRUE(cache.Traduce(Validacion(QString::fromUtf8(codigo)), QStringLiteral("DEMO"), s, e, &l));
        ASSERT_EQ(l.sentencias.size(), 1u);
        ASSERT_TRUE(l.sentencias[0].valida);
        EXPECT_EQ(l.sentencias[0].literales, std::vector<int>({0, 0}));
        EXPECT_EQ(l.valores, QStringList({QString::fromUtf8(codigo)}));
        EXPECT_EQ(s[0].sql, Traduce(Validacion(QString::fromUtf8(codigo))));
    }
    EXPECT_EQ(cache.Aciertos(), 1);
    EXPECT_THAT(PlanDe(l.sentencias[0].sql).toStdString(),
                HasSubstr("USING INDEX V_MA_ARTICULOS.IX_V_MA_ARTICULOS_LTRIM"));
}

}  // namespace
