// Statements prepared once for many runs (bulk loads).
#include "tests/db/embebido/PruebaEmbebida.h"

#include "db/platform/embebido/BaseEmbebida.h"
#include "db/platform/embebido/ControladorEmbebido.h"

#include <sqlite3.h>

using ::testing::ElementsAre;

namespace {

class Preparadas : public PruebaEmbebida {
protected:
    std::unique_ptr<PreparadaControlador> Prepara(const QString& sql) {
        std::vector<ErrorProveedor> e;
        auto p = c->PreparaSentencia(sql, e);
        for (const auto& x : e) ADD_FAILURE() << x.NativeError << " " << x.Description.toStdString();
        return p;
    }
    // Each row as the engine stores it: quote() of every column.
    QStringList Guardado(const QString& consulta) {
        sqlite3* db = nullptr;
        QStringList filas;
        sqlite3_open_v2(RutaBaseEmbebida(QStringLiteral("DEMO")).toUtf8().constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr);
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, consulta.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            ADD_FAILURE() << sqlite3_errmsg(db);
        while (st && sqlite3_step(st) == SQLITE_ROW)
            filas << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        sqlite3_close(db);
        return filas;
    }
};

// Values bound as texts are stored as the same values written as literals
// are: numbers as numbers of the column's kind, dates and texts as texts.
TEST_F(Preparadas, LosTextosLigadosSeGuardanComoLosLiterales) {
    Bien(QStringLiteral("CREATE TABLE T (ID int IDENTITY(1,1) NOT NULL, A int NULL, M money NULL, "
                        "D decimal(18,4) NULL, B bit NULL, F datetime NULL, V varchar(10) NULL)\r\n"
                        "INSERT INTO T (A, M, D, B, F, V) VALUES (7, 12.50, -5.0000, 1, '2024-01-05T10:00:00', '0.5')\r\n"
                        "INSERT INTO T (A, M, D, B, F, V) VALUES (8, 1234567.89, 3.1416, 0, NULL, '')"));
    auto p = Prepara(QStringLiteral("INSERT INTO T (A, M, D, B, F, V) VALUES (?, ?, ?, ?, ?, ?)"));
    ASSERT_TRUE(p);
    for (const QVariantList& fila :
         {QVariantList{"7", "12.50", "-5.0000", "1", "2024-01-05T10:00:00", "0.5"},
          QVariantList{"8", "1234567.89", "3.1416", "0", QVariant(), QString()}}) {
        ResultadoLote r = p->Ejecuta(fila, 30);
        EXPECT_TRUE(r.errores.empty());
    }
    const QString cols = QStringLiteral("SELECT quote(A)||' '||quote(M)||' '||quote(D)||' '||quote(B)||' '||quote(F)||' '||"
                                        "quote(V) FROM T WHERE ID %1 ORDER BY ID");
    const QStringList literales = Guardado(cols.arg("<= 2")), ligados = Guardado(cols.arg("> 2"));
    EXPECT_THAT(literales, ElementsAre("7 12.5 -5 1 '2024-01-05T10:00:00' '0.5'", "8 1234567.89 3.1416 0 NULL ''"));
    EXPECT_EQ(ligados, literales);
    EXPECT_THAT(Filas(QStringLiteral("SELECT ID FROM T ORDER BY ID")), ElementsAre("1", "2", "3", "4"));
}

// A run fails as the statement would in a batch: SQL Server's entries, the
// transaction left open.
TEST_F(Preparadas, LasFallasSonLasDeUnLote) {
    Bien(QStringLiteral("CREATE TABLE T (A int NOT NULL PRIMARY KEY, V varchar(3) NULL)\r\nBEGIN TRAN"));
    auto p = Prepara(QStringLiteral("INSERT INTO T (A, V) VALUES (?, ?)"));
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->Ejecuta({1, "uno"}, 30).errores.empty());
    ResultadoLote r = p->Ejecuta({1, "dos"}, 30);
    EXPECT_THAT(Nativos(r), ElementsAre(2627, 3621));
    EXPECT_TRUE(r.fallaCompleta);
    EXPECT_THAT(Nativos(p->Ejecuta({2, "larga"}, 30)), ElementsAre(8152, 3621));
    EXPECT_THAT(Nativos(p->Ejecuta({QVariant(), "x"}, 30)), ElementsAre(515, 3621));
    EXPECT_EQ(Uno(QStringLiteral("SELECT @@TRANCOUNT")), "1");
    EXPECT_TRUE(p->Ejecuta({3, "ter"}, 30).errores.empty());
    Bien(QStringLiteral("COMMIT TRAN"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT A, V FROM T ORDER BY A")), ElementsAre("1|uno", "3|ter"));

    // One that does not compile is refused when prepared.
    std::vector<ErrorProveedor> e;
    EXPECT_FALSE(c->PreparaSentencia(QStringLiteral("INSERT INTO NADA (A) VALUES (?)"), e));
    EXPECT_THAT(e.size() > 0 ? e[0].NativeError : 0, 208);
}

// A batch of several statements runs as a batch each time; a statement
// prepared before its connection closed is refused, not run elsewhere.
TEST_F(Preparadas, OtrosTextosYConexionesCerradas) {
    Bien(QStringLiteral("CREATE TABLE T (A int NULL)"));
    auto lote = Prepara(QStringLiteral("SET NOCOUNT ON\r\nINSERT INTO T (A) VALUES (?)"));
    ASSERT_TRUE(lote);
    EXPECT_TRUE(lote->Ejecuta({1}, 30).errores.empty());
    EXPECT_TRUE(lote->Ejecuta({2}, 30).errores.empty());
    auto p = Prepara(QStringLiteral("INSERT INTO T (A) VALUES (?)"));
    ASSERT_TRUE(p);
    std::vector<ErrorProveedor> e;
    ParametrosConexion datos;
    datos.baseDatos = QStringLiteral("DEMO");
    c->Cierra();
    c->Abre(datos, e);
    ResultadoLote r = p->Ejecuta({3}, 30);
    EXPECT_THAT(Nativos(r), ElementsAre(11));
    EXPECT_TRUE(r.fallaCompleta);
    EXPECT_THAT(Filas(QStringLiteral("SELECT A FROM T ORDER BY A")), ElementsAre("1", "2"));
}

}  // namespace
