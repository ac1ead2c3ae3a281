// The statement plans: each batch text whole, the choice rules, and one
// run of each plan on a small demo database.

#include <gtest/gtest.h>

#include "platform/lib/Lib_Util.h"
#include "platform/Texto.h"
#include "recoding/Planes.h"
#include "tests/db/sesion/SesionDemo.h"

namespace {

const QString O = QStringLiteral("A1").leftJustified(25);
const QString N = QStringLiteral("B2").leftJustified(25);
const QString L = QStringLiteral("Descripcion,IDRUBRO");

// The batch as sent: every statement preceded by CR LF.
QString Lote(const QStringList& sentencias) {
    QString r;
    for (const QString& s : sentencias) r += QStringLiteral("\r\n") + s;
    return r;
}

QString Upd(const QString& tabla, const QString& a, const QString& b, const QString& campo = "IDARTICULO") {
    return "    UPDATE " + tabla + " SET " + campo + " = '" + a + "' WHERE " + campo + " = '" + b + "'";
}

QStringList Prologo(const QString& n) {
    return {" BEGIN TRANSACTION ", " ALTER TABLE V_MA_ARTICULOS DISABLE TRIGGER ALL ",
            " ALTER TABLE V_MV_STOCK DISABLE TRIGGER ALL ",
            "    delete from S_TA_EQUIV  WHERE IDARTICULO = '" + n + "'"};
}

QStringList Estadisticas(const QString& n, const QString& o) {
    return {Upd("AC_VENTASDIARIA", n, o), Upd("AC_VENTASMES", n, o), Upd("AC_COMPRASDIARIA", n, o),
            Upd("AC_COMPRASMES", n, o)};
}

QStringList Movimientos(const QString& n, const QString& o) {
    return {Upd("V_MV_CPTEINSUMOS", n, o), Upd("C_MV_CPTEINSUMOS", n, o), Upd("V_MV_STOCK", n, o),
            Upd("V_MA_INSUMOS", n, o), Upd("V_MA_INSUMOS", n, o, "IDARTICULOINSUMO")};
}

QStringList Copia(const QString& o, const QString& n, const QString& rubro) {
    QStringList s = Prologo(n);
    s << "    INSERT INTO V_MA_ARTICULOS SELECT '" + n + "'," + L + "  "
      << "        FROM V_MA_ARTICULOS WHERE IDARTICULO = '" + o + "'"
      << " ";
    if (!rubro.isNull())
        s << "    UPDATE V_MA_ARTICULOS SET IDRUBRO = '" + rubro + "' WHERE IDARTICULO = '" + n + "'";
    s << Estadisticas(n, o) << Movimientos(n, o) << "    DELETE V_MA_Precios WHERE IDARTICULO = '" + n + "'"
      << "    DELETE V_MA_Precios_Borrador WHERE IDARTICULO = '" + n + "'" << Upd("V_MA_Precios", n, o)
      << Upd("V_MA_Precios_Borrador", n, o) << Upd("S_TA_EQUIV", n, o)
      << "    DELETE S_TA_EQUIV WHERE IDARTICULO = '" + o + "'"
      << "    DELETE V_MA_ARTICULOS WHERE IDARTICULO = '" + o + "'";
    return s;
}

OpcionesPlan Opciones(bool estadisticas, bool soloMaestro, bool prefijo, const QString& rubro = "7") {
    OpcionesPlan op;
    op.ChkEstadisticas = estadisticas;
    op.ChkSoloMaestro = soloMaestro;
    op.CargaPorPrefijo = prefijo;
    op.TxtPrefijoNvo = rubro;
    return op;
}

}  // namespace

TEST(Planes, EstadisticasSoloMuevenEstadisticasSeaCualSeaLaOpcion) {
    const QString esperado =
        Lote(QStringList{"BEGIN TRANSACTION "} << Estadisticas(N, O) << " COMMIT TRANSACTION");
    for (bool existe : {false, true})
        for (bool solo : {false, true}) {
            const Plan p = ArmaPlan(O, N, Opciones(true, solo, true), existe, L);
            EXPECT_EQ(p.Tipo, TipoPlan::Estadisticas);
            EXPECT_EQ(p.Cantidad, 6);
            EXPECT_EQ(p.Lote(), esperado);
        }
    EXPECT_TRUE(esperado.startsWith("\r\nBEGIN TRANSACTION \r\n"));
    EXPECT_TRUE(esperado.endsWith("\r\n COMMIT TRANSACTION"));
}

TEST(Planes, FusionCompletaYModoRapido) {
    const QStringList borra = {"    DELETE V_MA_Precios_Borrador WHERE IDARTICULO = '" + O + "'",
                               "    DELETE S_TA_EQUIV WHERE IDARTICULO = '" + O + "'",
                               "    DELETE V_MA_PRECIOS WHERE IDARTICULO = '" + O + "'",
                               "    DELETE V_MA_ARTICULOS WHERE IDARTICULO = '" + O + "'"};
    Plan p = ArmaPlan(O, N, Opciones(false, false, true), true, L);
    EXPECT_EQ(p.Tipo, TipoPlan::Fusion);
    EXPECT_EQ(p.Cantidad, 18);
    EXPECT_EQ(p.Lote(), Lote(Prologo(N)
                             << Estadisticas(N, O) << Movimientos(N, O) << Upd("S_TA_EQUIV", N, O) << borra));

    p = ArmaPlan(O, N, Opciones(false, true, false), true, L);
    EXPECT_EQ(p.Cantidad, 8);
    EXPECT_EQ(p.Lote(), Lote(Prologo(N) << borra));
}

TEST(Planes, CopiaConYSinRubro) {
    Plan p = ArmaPlan(O, N, Opciones(false, false, false), false, L);
    EXPECT_EQ(p.Tipo, TipoPlan::Copia);
    EXPECT_EQ(p.Cantidad, 23);
    EXPECT_EQ(p.Lote(), Lote(Copia(O, N, QString())));
    EXPECT_EQ(p.Sentencias[7], Upd("AC_VENTASDIARIA", N, O));

    // The rubro is formatted to 4, right-aligned; quick mode does not apply to a copy.
    p = ArmaPlan(O, N, Opciones(false, true, true, " 12 "), false, L);
    EXPECT_EQ(p.Cantidad, 24);
    EXPECT_EQ(p.Lote(), Lote(Copia(O, N, "  12")));
    EXPECT_EQ(p.Sentencias[7],
              "    UPDATE V_MA_ARTICULOS SET IDRUBRO = '  12' WHERE IDARTICULO = '" + N + "'");

    // A rubro that does not fit its column: the statement stays, the rubro does not change.
    OpcionesPlan largo = Opciones(false, false, true, "LARGO");
    largo.CambiaRubro = false;
    p = ArmaPlan(O, N, largo, false, L);
    EXPECT_EQ(p.Cantidad, 24);
    EXPECT_EQ(p.Sentencias[7], "    UPDATE V_MA_ARTICULOS SET IDRUBRO = IDRUBRO WHERE IDARTICULO = '" + N + "'");
    p = ArmaPlan(O, O, largo, false, L);
    EXPECT_EQ(p.Cantidad, 16);
    EXPECT_EQ(p.Sentencias[3], "    UPDATE V_MA_ARTICULOS SET IDRUBRO = IDRUBRO, IDARTICULO = '" + O +
                                   "' WHERE IDARTICULO = '" + O + "'");
}

TEST(Planes, EnSitioParaCodigosIgualesSinMirarMayusculasNiBlancos) {
    const QString o = QStringLiteral("ab.1").leftJustified(25);
    const QString n = QStringLiteral("AB.1").leftJustified(25);
    QStringList cola = Estadisticas(n, o);
    cola << Movimientos(n, o) << Upd("V_MA_Precios", n, o) << Upd("V_MA_Precios_Borrador", n, o)
         << Upd("S_TA_EQUIV", n, o);
    const QStringList disparadores = Prologo(n).mid(0, 3);

    // Even when the probe would find the new code: nothing of the article is deleted.
    Plan p = ArmaPlan(o, n, Opciones(false, true, false), true, L);
    EXPECT_EQ(p.Tipo, TipoPlan::EnSitio);
    EXPECT_EQ(p.Cantidad, 16);
    EXPECT_EQ(p.Lote(), Lote(QStringList(disparadores) << Upd("V_MA_ARTICULOS", n, o) << cola));
    EXPECT_FALSE(p.Lote().contains("DELETE", Qt::CaseInsensitive));

    p = ArmaPlan(o, n, Opciones(false, false, true, "3"), false, L);
    EXPECT_EQ(p.Cantidad, 16);
    EXPECT_EQ(p.Lote(), Lote(QStringList(disparadores)
                             << "    UPDATE V_MA_ARTICULOS SET IDRUBRO = '   3', IDARTICULO = '" + n +
                                    "' WHERE IDARTICULO = '" + o + "'"
                             << cola));

    EXPECT_EQ(TipoSegun(" 12.5", "12.5 ", Opciones(false, false, false), true), TipoPlan::EnSitio);
    EXPECT_EQ(TipoSegun("12.5", "12.6", Opciones(false, false, false), true), TipoPlan::Fusion);
}

TEST(Planes, ComillasDobladasEnTodaSentencia) {
    const QString o = QStringLiteral("A'1").leftJustified(25);
    const QString n = QStringLiteral("B''2").leftJustified(25);
    const QString oq = QStringLiteral("A''1").leftJustified(26);
    const QString nq = QStringLiteral("B''''2").leftJustified(27);
    for (bool existe : {false, true}) {
        const Plan p = ArmaPlan(o, n, Opciones(false, false, true, "R'"), existe, L);
        for (int k = 0; k < p.Cantidad; ++k) {
            QString s = p.Sentencias[static_cast<size_t>(k)];
            // Once the doubled codes and rubro are taken out, the quotes left pair up as literal bounds.
            s.replace(oq, "o").replace(nq, "n").replace("R''", "r");
            EXPECT_FALSE(s.contains("''")) << s.toStdString();
            EXPECT_EQ(s.count('\'') % 2, 0) << s.toStdString();
        }
    }
    EXPECT_EQ(ArmaPlan(o, n, Opciones(false, false, false), false, L).Sentencias[5],
              "        FROM V_MA_ARTICULOS WHERE IDARTICULO = '" + oq + "'");
    // The rubro is formatted first, then its quote doubled.
    EXPECT_EQ(ArmaPlan(o, n, Opciones(false, false, true, "R'"), false, L).Sentencias[7],
              "    UPDATE V_MA_ARTICULOS SET IDRUBRO = '  R''' WHERE IDARTICULO = '" + nq + "'");
}

TEST(Planes, UnPlanNuevoNoArrastraSentenciasDelAnterior) {
    Plan p;
    ArmaPlan(p, O, N, Opciones(false, false, true), false, L);
    ASSERT_EQ(p.Cantidad, 24);
    ArmaPlan(p, O, N, Opciones(true, false, false), false, L);
    EXPECT_EQ(p.Cantidad, 6);
    EXPECT_TRUE(p.Sentencias[6].isEmpty());
    EXPECT_EQ(p.Lote().count("\r\n"), 6);
}

// ---- runs on the demo database ------------------------------------------------------

class PlanesDemo : public SesionDemo {
  protected:
    static QString Lit(const QString& c) { return "'" + QString(c).replace("'", "''") + "'"; }
    long Cuenta(const QString& tabla, const QString& codigo, const QString& campo = "IDARTICULO") {
        return Valor("SELECT COUNT(*) FROM " + tabla + " WHERE " + campo + " = " + Lit(codigo)).toLong();
    }
    // An article with stock movements and prices, its code without leading
    // blanks (the formatting of the run trims them).
    QString ConMovimientos(int cual) {
        Recordset rs;
        rs.Open(
            "SELECT a.IdArticulo FROM V_MA_ARTICULOS a WHERE a.IdArticulo NOT LIKE ' %' AND "
            "EXISTS (SELECT 1 FROM V_MV_STOCK s WHERE s.IDARTICULO = a.IdArticulo) AND "
            "EXISTS (SELECT 1 FROM V_MA_Precios p WHERE p.IDARTICULO = a.IdArticulo) "
            "ORDER BY a.IdArticulo",
            gDB().Cnn());
        for (int i = 0; i < cual && !rs.Eof(); ++i) rs.MoveNext();
        return rs.Eof() ? QString() : rs.Fields(0).Value().toString();
    }
    static QString F(const QString& c) { return LibUtil().AlineaTexto(Texto::Trim(c), 25); }
    // Sends the batch as the run does, then the commit and the triggers back on.
    void Envia(const Plan& p) {
        Conexion& cn = gDB().Cnn();
        cn.Errors().Clear();
        cn.Execute(p.Lote());
        ASSERT_EQ(cn.Errors().Count(), 0) << p.Lote().toStdString();
        if (p.Tipo == TipoPlan::Estadisticas) return;  // the plan commits itself
        for (const char* s : {" COMMIT TRANSACTION", " ALTER TABLE V_MA_ARTICULOS ENABLE TRIGGER ALL ",
                              " ALTER TABLE V_MV_STOCK ENABLE TRIGGER ALL "})
            cn.Execute(QString::fromLatin1(s));
        EXPECT_EQ(cn.Errors().Count(), 0);
    }
};

TEST_F(PlanesDemo, CopiaMueveElMaestroYSusReferencias) {
    const QString o = ConMovimientos(0);
    ASSERT_FALSE(o.isEmpty());
    const QString n = QStringLiteral("NU'EVO-1");
    const QString descripcion = Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(o));
    const long stock = Cuenta("V_MV_STOCK", o), precios = Cuenta("V_MA_Precios", o);

    Plan p;
    EligePlan(p, F(o), F(n), Opciones(false, false, true, "2"));
    ASSERT_EQ(p.Tipo, TipoPlan::Copia);
    EXPECT_EQ(p.Cantidad, 24);
    Envia(p);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", o, "IdArticulo"), 0);
    EXPECT_EQ(Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(n)), descripcion);
    EXPECT_EQ(Valor("SELECT IDRUBRO FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(n)), "   2");
    EXPECT_EQ(Cuenta("V_MV_STOCK", n), stock);
    EXPECT_EQ(Cuenta("V_MA_Precios", n), precios);
    EXPECT_EQ(Cuenta("V_MV_STOCK", o) + Cuenta("V_MA_Precios", o), 0);
}

TEST_F(PlanesDemo, FusionPliegaElViejoEnElExistente) {
    const QString o = ConMovimientos(0), n = ConMovimientos(1);
    ASSERT_FALSE(n.isEmpty());
    const QString descripcion = Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(n));
    const long stock = Cuenta("V_MV_STOCK", o) + Cuenta("V_MV_STOCK", n), precios = Cuenta("V_MA_Precios", n);

    Plan p;
    InyeccionFallas::Limpia();
    EligePlan(p, F(o), F(n), Opciones(false, false, false));
    ASSERT_EQ(p.Tipo, TipoPlan::Fusion);
    EXPECT_GT(InyeccionFallas::EjecucionesIntentadas(), 0);  // the probe
    Envia(p);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", o, "IdArticulo"), 0);
    EXPECT_EQ(Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(n)), descripcion);
    EXPECT_EQ(Cuenta("V_MV_STOCK", n), stock);
    EXPECT_EQ(Cuenta("V_MA_Precios", n), precios);  // the existing article keeps its own prices
    EXPECT_EQ(Cuenta("V_MV_STOCK", o) + Cuenta("V_MA_Precios", o), 0);
}

TEST_F(PlanesDemo, EnSitioCambiaSoloLasMayusculas) {
    gDB().Cnn().Execute(
        "INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ('abc-9', 'Minusculas')");
    gDB().Cnn().Execute(
        "INSERT INTO V_MA_Precios (IdLista, IDARTICULO, Precio) VALUES ('   1', 'abc-9', 10)");
    const long articulos = Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS").toLong();

    Plan p;
    EligePlan(p, F("abc-9"), F(" ABC-9"), Opciones(false, false, false));
    ASSERT_EQ(p.Tipo, TipoPlan::EnSitio);
    Envia(p);
    EXPECT_EQ(Texto::Trim(Valor("SELECT IdArticulo FROM V_MA_ARTICULOS WHERE Descripcion = 'Minusculas'")),
              "ABC-9");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS").toLong(), articulos);
    EXPECT_EQ(Cuenta("V_MA_Precios", "ABC-9"), 1);
}

TEST_F(PlanesDemo, EstadisticasNoTocanElMaestro) {
    const QString o = ConMovimientos(0), n = ConMovimientos(1);
    gDB().Cnn().Execute("INSERT INTO AC_VENTASDIARIA (Fecha, IDARTICULO, Cantidad) VALUES ('05/02/2024', " +
                        Lit(o) + ", 1)");
    const long ventas = Cuenta("AC_VENTASDIARIA", o) + Cuenta("AC_VENTASDIARIA", n);
    const long stock = Cuenta("V_MV_STOCK", o);

    // Neither statistics nor equal codes consult the database, though the new code exists.
    Plan p;
    InyeccionFallas::Limpia();
    EligePlan(p, F(o), F(o.toUpper() + " "), Opciones(false, false, false));
    EXPECT_EQ(p.Tipo, TipoPlan::EnSitio);
    EligePlan(p, F(o), F(n), Opciones(true, false, false));
    ASSERT_EQ(p.Tipo, TipoPlan::Estadisticas);
    EXPECT_EQ(InyeccionFallas::EjecucionesIntentadas() + InyeccionFallas::AperturasIntentadas(), 0);
    Envia(p);
    ASSERT_GT(ventas, 0);
    EXPECT_EQ(Cuenta("AC_VENTASDIARIA", o), 0);
    EXPECT_EQ(Cuenta("AC_VENTASDIARIA", n), ventas);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", o, "IdArticulo"), 1);
    EXPECT_EQ(Cuenta("V_MV_STOCK", o), stock);
}

TEST_F(PlanesDemo, UnaFusionDeshechaConservaLasEquivalenciasDelNuevo) {
    const QString o = ConMovimientos(0), n = ConMovimientos(1);
    gDB().Cnn().Execute("INSERT INTO S_TA_EQUIV (IDARTICULO, Equivalencia) VALUES (" + Lit(n) + ", 'EQ-1')");
    const long equivalencias = Cuenta("S_TA_EQUIV", n),
               articulos = Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS").toLong();

    Plan p;
    EligePlan(p, F(o), F(n), Opciones(false, false, false));
    Conexion& cn = gDB().Cnn();
    cn.Errors().Clear();
    cn.Execute(p.Lote());
    for (const char* s : {" ROLLBACK TRANSACTION", " ALTER TABLE V_MA_ARTICULOS ENABLE TRIGGER ALL ",
                          " ALTER TABLE V_MV_STOCK ENABLE TRIGGER ALL "})
        cn.Execute(QString::fromLatin1(s));
    EXPECT_EQ(cn.Errors().Count(), 0);
    EXPECT_EQ(Cuenta("S_TA_EQUIV", n), equivalencias);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS").toLong(), articulos);
}
