// The demo generator: counts, determinism, the variety the recoding meets.

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QFile>
#include <functional>

#include "db/esquema/EsquemaSuite.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Conexion.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Texto.h"
#include "platform/sesion/LineaComandos.h"
#include "tests/support/Soporte.h"

namespace {

class GeneradorDemoTest : public PruebaConCarpeta {
  protected:
    ResumenDemo Genera(int articulos, uint64_t semilla, const QString& base = "DEMO") {
        OpcionesDemo o;
        o.base = base;
        o.articulos = articulos;
        o.semilla = semilla;
        return GeneradorDemo::Genera(o);
    }
    long Cuenta(Conexion& cn, const QString& sql) {
        RecordsetPtr rs = cn.Execute(sql);
        return rs->Eof() ? -1 : rs->Fields(0).Value().toLongLong();
    }
    // Every row of the query, for comparisons.
    QByteArray Huella(Conexion& cn, const QString& sql) {
        QCryptographicHash h(QCryptographicHash::Sha1);
        RecordsetPtr rs = cn.Execute(sql);
        for (; !rs->Eof(); rs->MoveNext())
            for (int i = 0; i < rs->FieldCount(); ++i)
                h.addData((rs->Fields(i).Value().toString() + "\t").toUtf8());
        return h.result();
    }
    QByteArray HuellaDemo() {
        Conexion cn;
        cn.Open(GeneradorDemo::CadenaConexion("DEMO"));
        QByteArray r;
        for (const char* sql :
             {"SELECT * FROM V_MA_ARTICULOS ORDER BY ID", "SELECT * FROM V_MV_STOCK ORDER BY ID",
              "SELECT * FROM V_MA_Precios ORDER BY IdLista, IDARTICULO",
              "SELECT IDARTICULO, Cantidad, Importe FROM AC_VENTASDIARIA ORDER BY IDARTICULO, Cantidad, "
              "Importe",
              "SELECT * FROM S_TA_EQUIV ORDER BY IDARTICULO, Equivalencia",
              "SELECT * FROM TA_USUARIOS ORDER BY NOMBRE"})
            r += Huella(cn, sql);
        return r;
    }
};

TEST_F(GeneradorDemoTest, HaceLasCantidadesPedidasYReemplazaLoQueHabia) {
    const ResumenDemo r = Genera(300, 7);
    EXPECT_TRUE(QFile::exists(Ruta("DEMO.db")));
    EXPECT_TRUE(QFile::exists(Ruta("KV_ESTADISTICAS.db")));
    EXPECT_EQ(r.filas.value("V_MA_ARTICULOS"), 300);
    EXPECT_EQ(r.filas.value("V_MV_STOCK"), 3000);

    Conexion cn;
    cn.Open(GeneradorDemo::CadenaConexion("DEMO"));
    for (const char* t :
         {"V_MA_ARTICULOS", "V_MV_STOCK", "V_MA_Precios", "V_MA_Precios_Borrador", "AC_VENTASDIARIA",
          "AC_VENTASMES", "AC_COMPRASDIARIA", "AC_COMPRASMES", "S_TA_EQUIV", "V_MA_INSUMOS",
          "V_MV_CPTEINSUMOS", "C_MV_CPTEINSUMOS", "TA_CONFIGURACION", "TA_USUARIOS", "VT_CLIENTES",
          "VT_PROVEEDORES", "MA_CUENTAS", "V_TA_FAMILIAS", "V_TA_RUBROS"}) {
        const long n = Cuenta(cn, QStringLiteral("SELECT COUNT(*) FROM %1").arg(t));
        EXPECT_GT(n, 0) << t;
        if (r.filas.contains(t)) {
            EXPECT_EQ(n, r.filas.value(t)) << t;
        }
    }
    Conexion kv;
    kv.Open(GeneradorDemo::CadenaConexion(EsquemaSuite::kBaseEstadisticas));
    EXPECT_EQ(Cuenta(kv, "SELECT COUNT(*) FROM TA_CONFIGURACION WHERE CLAVE = 'TimeOut' AND VALOR = '90'"),
              1);
    cn.Close();
    kv.Close();

    // A second run replaces both databases.
    Genera(120, 7);
    cn.Open(GeneradorDemo::CadenaConexion("DEMO"));
    EXPECT_EQ(Cuenta(cn, "SELECT COUNT(*) FROM V_MA_ARTICULOS"), 120);
    EXPECT_EQ(Cuenta(cn, "SELECT COUNT(*) FROM V_MV_STOCK"), 1200);
}

TEST_F(GeneradorDemoTest, LaMismaSemillaDaLosMismosDatos) {
    Genera(250, 42);
    const QByteArray primera = HuellaDemo();
    Genera(250, 42);
    EXPECT_EQ(HuellaDemo(), primera);
    Genera(250, 43);
    EXPECT_NE(HuellaDemo(), primera);
}

// The database file as the engine holds it: the schema objects' texts in
// creation order, then every table's rows in row order, each column as
// quote() writes it (a number stored as text differs from the number);
// sqlite_sequence by name. One line per part: a hash of 16 digits.
QStringList HuellaArchivo(const QString& archivo) {
    sqlite3* db = nullptr;
    QStringList partes;
    if (sqlite3_open_v2(archivo.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {"sin base " + archivo};
    }
    auto consulta = [&](const QString& sql, const std::function<void(sqlite3_stmt*)>& fila) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            partes << sql + ": " + QString::fromUtf8(sqlite3_errmsg(db));
            return;
        }
        while (sqlite3_step(st) == SQLITE_ROW) fila(st);
        sqlite3_finalize(st);
    };
    auto texto = [](sqlite3_stmt* st, int i) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
    };
    auto parte = [&](const QString& nombre, const QString& sql) {
        QCryptographicHash h(QCryptographicHash::Sha256);
        long filas = 0;
        consulta(sql, [&](sqlite3_stmt* st) {
            ++filas;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                h.addData(QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                     sqlite3_column_bytes(st, i)));
                h.addData("\x1f");
            }
            h.addData("\x1e");
        });
        partes << QStringLiteral("%1 %2 %3").arg(nombre).arg(filas).arg(QString::fromLatin1(h.result().toHex().left(16)));
    };
    parte("sqlite_master", "SELECT quote(type), quote(name), quote(tbl_name), quote(sql) FROM sqlite_master ORDER BY rowid");
    QStringList tablas;
    consulta("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name",
             [&](sqlite3_stmt* st) { tablas << texto(st, 0); });
    for (const QString& t : tablas) {
        QStringList columnas;
        consulta(QStringLiteral("PRAGMA table_info(\"%1\")").arg(t),
                 [&](sqlite3_stmt* st) { columnas << QStringLiteral("quote(\"%1\")").arg(texto(st, 1)); });
        parte(t, QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY %3")
                     .arg(columnas.join(','), t, t == "sqlite_sequence" ? "name" : "rowid"));
    }
    sqlite3_close(db);
    return partes;
}

// Recorded from the generator that sent 1000-row INSERT texts through the
// translator: the same seed must keep giving these rows, these values (with
// their storage classes) and these schema objects.
TEST_F(GeneradorDemoTest, LosDatosDeUnaSemillaNoCambian) {
    OpcionesDemo o;
    o.articulos = 2000;
    o.semilla = 1;
    GeneradorDemo::Genera(o);
    for (const auto& [base, esperada] :
         {std::pair<QString, QString>{"DEMO", "e54cbdebdd98e65c"},
          {EsquemaSuite::kBaseEstadisticas, "954d977727940243"}}) {
        const QStringList partes = HuellaArchivo(GeneradorDemo::ArchivoBase(base));
        const QString huella = QString::fromLatin1(
            QCryptographicHash::hash(partes.join('\n').toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
        EXPECT_EQ(huella, esperada) << base.toStdString() << "\n" << partes.join('\n').toStdString();
    }
}

TEST_F(GeneradorDemoTest, TraeLaVariedadQueEncuentraUnaRecodificacion) {
    const ResumenDemo r = Genera(400, 3);
    Conexion cn;
    cn.Open(GeneradorDemo::CadenaConexion("DEMO"));

    // Size variants under an existing article, with their size set.
    EXPECT_GT(
        Cuenta(cn, "SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '%|%' AND TalleDefault <> ''"),
        0);
    EXPECT_EQ(Cuenta(cn,
                     "SELECT COUNT(*) FROM V_MA_ARTICULOS v WHERE v.IdArticulo LIKE '%|%' AND NOT EXISTS "
                     "(SELECT 1 FROM V_MA_ARTICULOS a WHERE a.IdArticulo = SUBSTRING(v.IdArticulo, 1, "
                     "CHARINDEX('|', v.IdArticulo) - 1))"),
              0);
    EXPECT_EQ(
        Cuenta(cn,
               "SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo NOT LIKE '%|%' AND TalleDefault <> ''"),
        0);
    // Codes with points, with leading blanks (both: the point control), with inner blanks.
    EXPECT_GT(
        Cuenta(
            cn,
            "SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '%.%' AND IdArticulo NOT LIKE ' %'"),
        0);
    EXPECT_GT(Cuenta(cn, "SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE ' %.%'"), 0);
    EXPECT_GT(
        Cuenta(
            cn,
            "SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE ' %' AND IdArticulo NOT LIKE '%.%'"),
        0);
    EXPECT_GT(Cuenta(cn, "SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE LTRIM(IdArticulo) LIKE '_% %'"), 0);
    // Bar codes on some articles only.
    const long barras = Cuenta(cn, "SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE CodigoBarra <> ''");
    EXPECT_GT(barras, 0);
    EXPECT_LT(barras, 400);
    // Rubros right-justified in width 4, as the master's rows refer to them.
    RecordsetPtr rs = cn.Execute("SELECT DISTINCT IDRUBRO FROM V_MA_ARTICULOS");
    int rubros = 0;
    for (; !rs->Eof(); rs->MoveNext(), ++rubros) {
        const QString rubro = rs->Fields(0).Value().toString();
        EXPECT_EQ(rubro.size(), 4) << Visible(rubro);
        EXPECT_EQ(rubro, Texto::Trim(rubro).rightJustified(4, ' ')) << Visible(rubro);
    }
    EXPECT_GT(rubros, 3);
    EXPECT_EQ(Cuenta(cn,
                     "SELECT COUNT(*) FROM V_MA_ARTICULOS a WHERE NOT EXISTS "
                     "(SELECT 1 FROM V_TA_RUBROS r WHERE r.IdRubro = a.IDRUBRO)"),
              0);

    // One administrator; the command line names it.
    EXPECT_EQ(Cuenta(cn, "SELECT COUNT(*) FROM TA_USUARIOS WHERE Administrador = 1"), 1);
    const auto p = LineaComandos::Lee(r.lineaComandos);
    EXPECT_EQ(p.servidor, "(embebido)");
    EXPECT_EQ(p.dbName, "DEMO");
    EXPECT_EQ(Cuenta(cn, "SELECT Administrador FROM TA_USUARIOS WHERE NOMBRE = '" + p.usuario +
                             "' AND SISTEMA = 'tq400xr'"),
              1);
    ASSERT_TRUE(p.password.has_value());
    EXPECT_EQ(*p.password, r.clave);
    // Stored enciphered.
    RecordsetPtr clave = cn.Execute("SELECT Password FROM TA_USUARIOS WHERE NOMBRE = '" + p.usuario + "'");
    ASSERT_FALSE(clave->Eof());
    EXPECT_NE(clave->Value("Password").toString(), r.clave);
    EXPECT_EQ(LibUtil().Desencripta(clave->Value("Password").toString()), r.clave);
    // The settings the frame loads at start-up.
    for (const char* clave :
         {"MostrarStockenConsultas", "UsaConsultaLike", "SS_CONFIDENCIALIDAD", "CFondo", "CLetra",
          "Top_Default", "TopConsArt", "PERIODO", "CONDIVAEMPRESA", "UTILIZARFECHADIA"})
        EXPECT_EQ(
            Cuenta(cn, QStringLiteral("SELECT COUNT(*) FROM TA_CONFIGURACION WHERE CLAVE = '%1'").arg(clave)),
            1)
            << clave;
    // References point at articles of the master.
    for (const char* t : {"V_MV_STOCK", "V_MA_Precios", "AC_VENTASMES", "S_TA_EQUIV", "V_MA_INSUMOS"})
        EXPECT_EQ(
            Cuenta(cn, QStringLiteral("SELECT COUNT(*) FROM %1 x WHERE NOT EXISTS "
                                      "(SELECT 1 FROM V_MA_ARTICULOS a WHERE a.IdArticulo = x.IDARTICULO)")
                           .arg(t)),
            0)
            << t;
    // Non-administrators see fewer accounts through the synonyms.
    EXPECT_LT(Cuenta(cn, "SELECT COUNT(*) FROM SS_MA_CUENTAS"),
              Cuenta(cn, "SELECT COUNT(*) FROM MA_CUENTAS"));
}

}  // namespace
