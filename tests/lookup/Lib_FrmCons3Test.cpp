#include "lookup/Lib_FrmCons3.h"

#include "frame/Configuracion.h"
#include "platform/ArchivoTexto.h"
#include "lookup/ModConsultas.h"
#include "tests/lookup/PruebaVentanasConsulta.h"

#include <QDir>

namespace {

const QString kSql = QStringLiteral(
    "SELECT DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE IdArticulo LIKE 'Q%' ORDER BY DESCRIPCION");

class ListaConsulta : public PruebaVentanasConsulta {
protected:
    void SetUp() override {
        PruebaVentanasConsulta::SetUp();
        Ejecuta(QStringLiteral(
            "INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, PuntoPedido, FechaAlta) VALUES "
            "('Q001','ABRAZADERA CHICA',0,'20240301'),('Q002','abrojo',5,'20240105'),"
            "('Q003','CLAVO O''HARA',0,'20241201'),('Q004','BULON 50%',0,'20230101'),('Q005','TUERCA_M8',0,'20240210')"));
        v.sql = kSql;
        v.CampoDevuelto = QStringLiteral("IDARTICULO");
    }
    QStringList Codigos() const {
        QStringList r;
        for (int i = 0; i < static_cast<int>(v.Filas().size()); ++i) r << v.Texto(i, 1);
        return r;
    }
    Lib_FrmCons3 v;
};

TEST_F(ListaConsulta, CargaColumnasFilasYAnchos) {
    ASSERT_TRUE(v.Carga());
    ASSERT_EQ(v.Columnas().size(), 2u);
    EXPECT_EQ(v.Columnas()[0].Encabezado, "Descripcion");   // as the engine names it
    EXPECT_EQ(v.Columnas()[0].Letras, 60);   // varchar(100), capped
    EXPECT_EQ(v.CantidadCajas(), 2);
    EXPECT_EQ(v.TablaClave(), "VT_MA_ARTICULOS");
    EXPECT_EQ(Codigos(), (QStringList{"Q001", "Q002", "Q004", "Q003", "Q005"}));
    EXPECT_EQ(v.Filas()[0].Valores[1].toString().trimmed(), "Q001");
    EXPECT_EQ(v.IndiceColumna(QStringLiteral(" idarticulo ")), 2);
    EXPECT_EQ(v.IndiceColumna(QStringLiteral("nada")), 0);

    Lib_FrmCons3 vacia;
    vacia.sql = QStringLiteral("SELECT DESCRIPCION, PRECIO, PRECIO3 FROM V_MA_ARTICULOS WHERE 1 = 0");
    ASSERT_TRUE(vacia.Carga());
    ASSERT_EQ(vacia.Columnas().size(), 3u);
    EXPECT_TRUE(vacia.Filas().empty());
    EXPECT_EQ(vacia.Columnas()[1].Letras, 12);   // money
    EXPECT_EQ(vacia.Columnas()[2].Encabezado, Cfg(QStringLiteral("NOM_PCLASE3")));
}

TEST_F(ListaConsulta, SesionAlternativaYSuReinicioAlCerrar) {
    // The same rows through a second session on the main one's database.
    v.UsarUDBC = true;
    ASSERT_TRUE(v.Carga());
    EXPECT_EQ(Codigos(), (QStringList{"Q001", "Q002", "Q004", "Q003", "Q005"}));
    EXPECT_NE(&Lib_FrmCons3::SesionAlternativa(), &gDB());
    EXPECT_EQ(Lib_FrmCons3::SesionAlternativa().Cnn().State(), 1);
    v.GrabarCfg = false;
    v.Cierra();
    EXPECT_FALSE(v.UsarUDBC);
}

TEST_F(ListaConsulta, BusquedaIncrementalPorColumna) {
    ASSERT_TRUE(v.Carga());
    v.CambiaCaja(0, QStringLiteral("ab"));
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q001");
    v.CambiaCaja(0, QStringLiteral(" abro "));
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q002");
    v.CambiaCaja(0, QStringLiteral("zz"));   // nothing begins so: the selection stays
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q002");
    v.CambiaCaja(1, QStringLiteral("q00"));
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q001");
    EXPECT_EQ(v.CajaActiva(), 1);
    // Keystroke by keystroke: extending, shortening, and after a miss.
    for (const char* t : {"a", "ab", "abr", "a", "abz", "abza", "ab", "c"}) v.CambiaCaja(0, QString::fromLatin1(t));
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q003");
    v.CambiaCaja(0, QStringLiteral("abro"));
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q002");
    v.CambiaCaja(0, QStringLiteral("abrazadera"));   // not an extension: before the last match
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q001");
    v.OrdenaPorColumna(1);
    v.OrdenaPorColumna(1);   // Q005 first now
    v.CambiaCaja(0, QStringLiteral("abr"));
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q002");
    v.CambiaCaja(0, QStringLiteral("abra"));
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q001");

    Lib_FrmCons3 w;
    w.sql = kSql;
    w.FiltroInicial = QStringLiteral("TUER");
    ASSERT_TRUE(w.Carga());
    EXPECT_EQ(w.Texto(w.FilaActual(), 1), "Q005");
}

TEST_F(ListaConsulta, F5RefinaEnElServidorConComillasSeguras) {
    ASSERT_TRUE(v.Carga());
    v.CambiaCaja(0, QStringLiteral("clavo o'h*"));
    ASSERT_TRUE(v.RefinaEnServidor(0));
    EXPECT_EQ(v.Sentencia(),
              "SELECT DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE IdArticulo LIKE 'Q%'  and "
              "Descripcion like 'clavo o''h%%' ORDER BY DESCRIPCION  ");
    EXPECT_EQ(Codigos(), QStringList{"Q003"});
    EXPECT_EQ(v.TextoCaja(0), "");

    // Contains-search: blanks become %, and % keeps its meaning.
    Lib_FrmCons3 w;
    w.sql = QStringLiteral("SELECT DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS");
    w.CfgUsaConsultaLIKE = true;
    ASSERT_TRUE(w.Carga());
    w.CambiaCaja(0, QStringLiteral("bul 50%"));
    ASSERT_TRUE(w.RefinaEnServidor(0));
    EXPECT_EQ(w.Sentencia(),
              "SELECT DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  where Descripcion like '%bul%50%%'  ");
    ASSERT_EQ(w.Filas().size(), 1u);
    EXPECT_EQ(w.Texto(0, 1), "Q004");

    // CmdNueva goes back to the first statement.
    w.CmdNueva();
    EXPECT_EQ(w.Sentencia().trimmed(), "SELECT DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS");
    EXPECT_GT(w.Filas().size(), 5u);
}

TEST_F(ListaConsulta, AceptarYCancelar) {
    v.CmpsDevueltos = {QStringLiteral("DESCRIPCION"), QStringLiteral("IDARTICULO")};
    ASSERT_TRUE(v.Carga());
    v.CmdAceptar();   // no row selected: only hides
    EXPECT_TRUE(v.Oculta());
    EXPECT_FALSE(v.ValorDevuelto.isValid());
    v.SeleccionaFila(3);
    v.CmdAceptar();
    EXPECT_EQ(v.ValorDevuelto.toString(), "Q003");
    EXPECT_EQ(v.Valores, (QVariantList{QStringLiteral("CLAVO O'HARA"), QStringLiteral("Q003")}));
    v.CmdCancelar();
    EXPECT_EQ(v.ValorDevuelto.toString(), "");
    EXPECT_TRUE(v.Valores.isEmpty());
    EXPECT_TRUE(v.CmpsDevueltos.isEmpty());

    // Check boxes: the default values open checked; Marcar inverts.
    Lib_FrmCons3 w;
    w.sql = kSql;
    w.CheckBoxes = true;
    w.CampoDevuelto = QStringLiteral("IDARTICULO");
    w.ValoresDefault = QStringLiteral("q002,Q005");
    ASSERT_TRUE(w.Carga());
    w.CmdAceptar();
    EXPECT_EQ(w.Valores, (QVariantList{QStringLiteral("Q002"), QStringLiteral("Q005")}));
    w.Valores.clear();
    w.CmdTodos();
    w.CampoDevuelto.clear();   // the first column's header then
    w.CmdAceptar();
    EXPECT_EQ(w.Valores, (QVariantList{QStringLiteral("ABRAZADERA CHICA"), QStringLiteral("BULON 50%"),
                                       QStringLiteral("CLAVO O'HARA")}));
}

TEST_F(ListaConsulta, TeclasDeLaLista) {
    v.UsaCantidades = true;
    v.CheckBoxes = true;
    ASSERT_TRUE(v.Carga());
    const int c = static_cast<int>(v.Columnas().size()) - 1;
    EXPECT_EQ(v.Columnas()[c].Encabezado, "**Cantidad**");
    v.SeleccionaFila(0);
    EXPECT_EQ(v.TeclaLista(45, false), Lib_FrmCons3::Accion::Nada);
    v.TeclaLista(45, false);
    EXPECT_EQ(v.Texto(0, c), "2.0");
    EXPECT_TRUE(v.Filas()[0].Marcada);
    v.TeclaLista(46, false);
    v.TeclaLista(46, false);
    EXPECT_EQ(v.Texto(0, c), "0.00");
    EXPECT_FALSE(v.Filas()[0].Marcada);
    op.RespondeEntrada(QStringLiteral("3.5"));
    v.TeclaLista(45, true);
    EXPECT_EQ(v.Texto(0, c), "3.50");
    EXPECT_TRUE(v.Filas()[0].Marcada);
    EXPECT_EQ(op.Transcripcion().back().texto, "Ingrese la Cantidad del Articulo...");
    op.RespondeEntrada(QStringLiteral("abc"));
    v.TeclaLista(45, true);
    EXPECT_EQ(v.Texto(0, c), "0.######");
    v.TeclaLista(45, false);
    v.CmdAceptar();
    EXPECT_EQ(v.Valores, (QVariantList{QStringLiteral("Q001")}));
    // The quantity stays in its column; Cantidades is not filled.
    EXPECT_EQ(v.Texto(0, c), "1.0");
    EXPECT_EQ(v.Filas()[0].Valores[c], QVariant(1.0));
    EXPECT_TRUE(v.Cantidades.isEmpty());

    EXPECT_EQ(v.TeclaLista(13, false), Lib_FrmCons3::Accion::Aceptar);
    // Typed characters go to the last used box, which searches.
    v.EnfocaCaja(1);
    EXPECT_EQ(v.TeclaLista(81, false, QStringLiteral("q")), Lib_FrmCons3::Accion::FocoBusqueda);
    v.TeclaLista(48, false, QStringLiteral("0"));
    v.TeclaLista(48, false, QStringLiteral("0"));
    v.TeclaLista(52, false, QStringLiteral("4"));
    EXPECT_EQ(v.TextoCaja(1), "q004");
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q004");
    v.TeclaLista(8, false);
    EXPECT_EQ(v.TextoCaja(1), "q00");
    EXPECT_EQ(v.TeclaLista(116, false), Lib_FrmCons3::Accion::Nada);   // F5 types nothing
    EXPECT_EQ(v.TextoCaja(1), "q00");
}

TEST_F(ListaConsulta, F12InformaElFaltanteConTextosSeguros) {
    ASSERT_TRUE(v.Carga());
    v.SeleccionaFila(3);
    op.Responde(vbYes);
    v.InformaFaltante();
    EXPECT_EQ(op.Transcripcion().back().texto, "Desea informar el articulo Q003 CLAVO O'HARA\r\ncomo un faltante de stock?");
    EXPECT_EQ(Lista(QStringLiteral("SELECT Descripcion FROM V_MV_FALTANTES WHERE Usuario = 'CONSULTAS' AND IdArticulo = 'Q003'")),
              QStringList{"CLAVO O'HARA"});
    op.Responde(vbNo);
    v.InformaFaltante();
    EXPECT_EQ(Lista(QStringLiteral("SELECT Descripcion FROM V_MV_FALTANTES WHERE IdArticulo = 'Q003'")).size(), 1);
}

TEST_F(ListaConsulta, OrdenPorColumnaYPorFecha) {
    v.OrdenarPorLwv = true;
    ASSERT_TRUE(v.Carga());
    EXPECT_EQ(Codigos(), (QStringList{"Q001", "Q002", "Q004", "Q003", "Q005"}));
    v.SeleccionaFila(0);
    v.OrdenaPorColumna(1);
    EXPECT_EQ(Codigos(), (QStringList{"Q001", "Q002", "Q003", "Q004", "Q005"}));
    v.OrdenaPorColumna(1);
    EXPECT_EQ(Codigos(), (QStringList{"Q005", "Q004", "Q003", "Q002", "Q001"}));
    EXPECT_EQ(v.Texto(v.FilaActual(), 1), "Q001");   // the selection follows its row

    Lib_FrmCons3 w;
    w.sql = QStringLiteral("SELECT IdArticulo, FechaAlta FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'Q%'");
    w.OrdenarPorLwv = true;
    ASSERT_TRUE(w.Carga());
    const QString antes = w.Sentencia();
    w.OrdenaPorColumna(1);
    EXPECT_FALSE(w.OrdenarPorLwv);
    EXPECT_EQ(w.Sentencia(), antes);
    QStringList r;
    for (int i = 0; i < static_cast<int>(w.Filas().size()); ++i) r << w.Texto(i, 0);
    EXPECT_EQ(r, (QStringList{"Q004", "Q002", "Q005", "Q001", "Q003"}));
}

TEST_F(ListaConsulta, AnchosGuardadosPorTabla) {
    GrabaAnchosConsulta(QStringLiteral("OTRA"), QStringLiteral("100|200|"));
    ASSERT_TRUE(v.Carga());
    v.CambiaAncho(0, 1354.115);
    v.Cierra();
    Lib_FrmCons3 w;
    w.sql = kSql;
    ASSERT_TRUE(w.Carga());
    EXPECT_DOUBLE_EQ(w.Columnas()[0].AnchoTwips, 1354.115);
    EXPECT_DOUBLE_EQ(w.Columnas()[1].AnchoTwips, 25 * 120);
    w.CambiaAncho(1, 500);
    w.Cierra();
    const auto texto = ArchivoTexto::Lee(QDir(Carpeta()).filePath(QStringLiteral("CONSULTASLEN.KVX")));
    ASSERT_TRUE(texto);
    EXPECT_EQ(*texto, "\"OTRA\",\"100|200|\"\r\n\"VT_MA_ARTICULOS\",\"1354.115|500|\"\r\n");
    EXPECT_EQ(LeeAnchosConsulta(QStringLiteral("vt_ma_articulos")), "1354.115|500|");
}

TEST_F(ListaConsulta, AnchosDeColumnasYDeLaVentana) {
    Ejecuta(QStringLiteral("CREATE TABLE PRUEBA_ESTADOS (CODIGO char(6) NOT NULL PRIMARY KEY, Activo bit NULL, "
                           "DESCRIPCION varchar(40) NULL)"));
    Lib_FrmCons3 w;
    w.sql = QStringLiteral("SELECT CODIGO, Activo, DESCRIPCION FROM PRUEBA_ESTADOS");
    ASSERT_TRUE(w.Carga());
    ASSERT_EQ(w.Columnas().size(), 3u);
    EXPECT_DOUBLE_EQ(w.Columnas()[0].AnchoTwips, 6 * 120);
    // A header wider than its letters widens its column; a wider column keeps its letters.
    w.MedidasVentana(100, [](const QString& t) { return t.size() * 200.0; });
    EXPECT_DOUBLE_EQ(w.Columnas()[0].AnchoTwips, 1200);
    EXPECT_DOUBLE_EQ(w.Columnas()[1].AnchoTwips, 1200);
    EXPECT_DOUBLE_EQ(w.Columnas()[2].AnchoTwips, 4000);
    w.Cierra();   // saves 1200|1200|4000|

    // Saved widths apply as stored, however narrow; the rest follow the header.
    GrabaAnchosConsulta(QStringLiteral("PRUEBA_ESTADOS"), QStringLiteral("300|||"));
    Lib_FrmCons3 g;
    g.sql = w.sql;
    g.AnchoEncabezado = [](const QString& t) { return t.size() * 200.0; };
    ASSERT_TRUE(g.Carga());
    EXPECT_DOUBLE_EQ(g.Columnas()[0].AnchoTwips, 300);
    EXPECT_DOUBLE_EQ(g.Columnas()[1].AnchoTwips, 1200);
    g.MedidasVentana(150, g.AnchoEncabezado);
    EXPECT_DOUBLE_EQ(g.Columnas()[0].AnchoTwips, 300);
    EXPECT_DOUBLE_EQ(g.Columnas()[2].AnchoTwips, 6000);

    // The window: the list and its margins, or the screen less its margin
    // once the list reaches it.
    ASSERT_TRUE(v.Carga());
    v.MedidasVentana(120, nullptr);
    const double total = (60 + 25) * 120;
    Lib_FrmCons3::Disposicion d = v.CalcularAncho(19200);
    EXPECT_DOUBLE_EQ(d.AnchoLista, total + 360);
    EXPECT_DOUBLE_EQ(d.AnchoBarra, total);
    EXPECT_DOUBLE_EQ(d.MaximoBarra, (total + 360 + 480) * 0.6);
    EXPECT_DOUBLE_EQ(d.AnchoVentana, total + 360 + 280);
    EXPECT_DOUBLE_EQ(v.CalcularAncho(total + 720).AnchoVentana, total + 720 - 480);
    EXPECT_DOUBLE_EQ(v.CalcularAncho(total + 721).AnchoVentana, total + 640);
    EXPECT_DOUBLE_EQ(v.CalcularAncho(9000).AnchoVentana, 8520);
    v.MedidasVentana(400, nullptr);   // a panel past 32700 twips
    EXPECT_DOUBLE_EQ(v.CalcularAncho(19200).MaximoBarra, 32700);
}

TEST_F(ListaConsulta, LosCamposBitSeLeenSiONo) {
    Ejecuta(QStringLiteral("CREATE TABLE PRUEBA_BIT (Codigo varchar(10) NOT NULL PRIMARY KEY, Activo bit NULL)"));
    Ejecuta(QStringLiteral("INSERT INTO PRUEBA_BIT (Codigo, Activo) VALUES ('A',1),('B',0),('C',NULL)"));
    Lib_FrmCons3 w;
    w.sql = QStringLiteral("SELECT Codigo, Activo FROM PRUEBA_BIT ORDER BY Codigo");
    w.CampoDevuelto = QStringLiteral("Activo");
    w.CmpsDevueltos = {QStringLiteral("Codigo"), QStringLiteral("Activo")};
    ASSERT_TRUE(w.Carga());
    ASSERT_EQ(w.Filas().size(), 3u);
    EXPECT_EQ(w.Texto(0, 1), "Sí");
    EXPECT_EQ(w.Texto(1, 1), "No");
    EXPECT_EQ(w.Texto(2, 1), "");
    w.CambiaCaja(1, QStringLiteral("n"));   // searched as shown
    EXPECT_EQ(w.FilaActual(), 1);
    // What is returned is the field's value, not its text.
    w.SeleccionaFila(0);
    w.CmdAceptar();
    EXPECT_EQ(w.ValorDevuelto, QVariant(true));
    EXPECT_EQ(w.Valores, (QVariantList{QStringLiteral("A"), QVariant(true)}));

    Lib_FrmCons3 m;
    m.sql = w.sql;
    m.CheckBoxes = true;
    m.CampoDevuelto = QStringLiteral("Activo");
    ASSERT_TRUE(m.Carga());
    m.MarcaFila(1, true);
    m.CmdAceptar();
    EXPECT_EQ(m.Valores, QVariantList{QVariant(false)});
}

TEST_F(ListaConsulta, ColoresDeStock) {
    Lib_FrmCons3 w;
    w.sql = QStringLiteral("SELECT IdArticulo, Descripcion, PuntoPedido, Stock FROM STK_MA_ARTICULOS WHERE IdArticulo LIKE 'Q%'");
    w.MuestraStock = QStringLiteral("si");
    w.StkNivel1 = 1;
    w.StkNivel4 = 4;
    ASSERT_TRUE(w.Carga());
    ASSERT_FALSE(w.Filas().empty());
    for (const auto& f : w.Filas()) {
        const double pp = f.Valores[2].toDouble(), st = f.Valores[3].toDouble();
        if (pp == 0 && st > 0) EXPECT_EQ(f.Color, 1);
        else if (pp > 0) EXPECT_FALSE(f.Color.isValid());   // levels 2 and 3 unset
        else EXPECT_EQ(f.Color, 4);
    }
}

}  // namespace

namespace {

TEST(ListaSinSentencia, LasOpcionesDeLosSelectores) {
    Lib_FrmCons3 v;
    v.Caption = QStringLiteral("Colores");
    v.CampoDevuelto = QStringLiteral("Colores");
    v.CheckBoxes = true;
    v.Opciones = {{QStringLiteral("Rojo"), true}, {QStringLiteral("Verde"), false}, {QStringLiteral("Azul"), true}};
    ASSERT_TRUE(v.Carga());
    ASSERT_EQ(v.Columnas().size(), 1u);
    EXPECT_EQ(v.Columnas()[0].Encabezado, "Colores");
    ASSERT_EQ(v.Filas().size(), 3u);
    v.CmdAceptar();
    EXPECT_EQ(v.Valores, (QVariantList{QStringLiteral("Rojo"), QStringLiteral("Azul")}));
    v.Cierra();   // no statement: no widths written
    EXPECT_TRUE(LeeAnchosConsulta(QStringLiteral("Colores")).isEmpty());

    Lib_FrmCons3 menu;
    menu.Caption = menu.CampoDevuelto = QStringLiteral("Menu");
    menu.Opciones = {{QStringLiteral("Uno"), false}, {QStringLiteral("Dos"), false}};
    ASSERT_TRUE(menu.Carga());
    menu.CambiaCaja(0, QStringLiteral("d"));
    menu.CmdAceptar();
    EXPECT_EQ(menu.ValorDevuelto.toString(), "Dos");
}

}  // namespace
