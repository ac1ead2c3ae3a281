// The demo generator: counts, determinism, the variety the recoding meets.

#include <QCryptographicHash>
#include <QFile>

#include "db/esquema/EsquemaSuite.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Conexion.h"
#include "frame/lib/Lib_Util.h"
#include "frame/platform/Texto.h"
#include "frame/sesion/LineaComandos.h"
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
