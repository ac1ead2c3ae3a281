// The lookup engine: its statements as golden strings, run on the session;
// what it hands the windows and reads back; the pickers.

#include "lookup/MascaraConsulta.h"
#include "tests/lookup/PruebaConsultas.h"

#include <QFile>

namespace {

class Motor : public PruebaConsultas {
  protected:
    void SetUp() override {
        PruebaConsultas::SetUp();
        for (const char* v : {"('1001', 'Tornillo', 0)", "('1002', 'Arandela', 0)", "('1003', 'Baja', 1)"})
            Ejecuta(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, SUSPENDIDO) VALUES ") +
                    QString::fromLatin1(v));
        Ejecuta("INSERT INTO V_MA_CLIENTES (CODIGO, Cliente, RAZON_SOCIAL, Dada_De_Baja) VALUES "
                "('C1', 1, 'Activo', 0)");
        Ejecuta("INSERT INTO V_MA_CLIENTES (CODIGO, Cliente, RAZON_SOCIAL, Dada_De_Baja) VALUES "
                "('C2', 1, 'De baja', 1)");
        Ejecuta("INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion, Unidad) VALUES ('   2', 'Central', '   1')");
    }
    // The statement for `sql`, with the given search column and filter.
    SentenciaConsulta Arma(const QString& sql, QString cb = {}, QString w = {}, long top = 1000, bool mascaras = true,
                           const QString& opcional = {}) {
        campoBusqueda = cb;
        where = w;
        return ArmaSentenciaConsulta(sql, campoBusqueda, where, opcional, top, mascaras, Ruta("consultas.kvx"),
                                     CamposDeTablaSesion);
    }
    QString campoBusqueda, where;
};

}  // namespace

TEST_F(Motor, SentenciasDelArchivoDeDefiniciones) {
    // A definition with its own filter, one with a single column.
    MascaraConsulta m;
    m.Tabla = "V_TA_Unidad";
    m.Campos = "|Descripcion|IdUnidad|";
    m.Filtro = "IdUnidad <> '9'";
    ArchivoMascaras::Agrega(Ruta("consultas.kvx"), m);
    m.Tabla = "V_TA_RUBROS";
    m.Campos = "|Descripcion|";
    m.Filtro.clear();
    ArchivoMascaras::Agrega(Ruta("consultas.kvx"), m);

    struct Caso {
        QString sql, cb, where;
        QString sentencia, cbFinal;
        int filas;
    };
    const Caso casos[] = {
        {"V_MA_ARTICULOS", "", "",
         "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 "
         "ORDER BY DESCRIPCION",
         "DESCRIPCION", 2},
        {" vt_clientes ", "", "",
         "SELECT TOP 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES  with(nolock)  WHERE Dada_De_Baja = 0 "
         "ORDER BY RAZON_SOCIAL",
         "RAZON_SOCIAL", 1},
        // The caller's filter, wrapped, when the record has none.
        {"V_TA_DEPOSITO", "", "IdDeposito = '   2'",
         "SELECT TOP 1000 Descripcion,IdDeposito FROM V_TA_DEPOSITO  with(nolock)  WHERE  (IdDeposito = '   2')  "
         "ORDER BY Descripcion",
         "Descripcion", 1},
        // The record's filter wins; the caller's search column is kept.
        {"V_TA_Unidad", "IdUnidad", "X = 1",
         "SELECT TOP 1000 Descripcion,IdUnidad FROM V_TA_Unidad  with(nolock)  WHERE IdUnidad <> '9' "
         "ORDER BY IdUnidad",
         "IdUnidad", 0},
        // The table written with trailing blanks is found.
        {"V_TA_Tareas", "", "",
         "SELECT TOP 1000 Descripcion,IdTarea FROM V_TA_Tareas  with(nolock)  ORDER BY Descripcion", "Descripcion",
         0},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.sql.toStdString());
        const SentenciaConsulta s = Arma(c.sql, c.cb, c.where);
        EXPECT_FALSE(s.faltaConfigurar);
        EXPECT_EQ(s.sentencia, c.sentencia);
        EXPECT_EQ(campoBusqueda, c.cbFinal);
        EXPECT_EQ(Filas(s.sentencia), c.filas);
    }

    // A single column without a search column: no statement.
    EXPECT_TRUE(Arma("V_TA_RUBROS").faltaConfigurar);
    EXPECT_FALSE(Arma("V_TA_RUBROS", "IdRubro").faltaConfigurar);
}

TEST_F(Motor, SentenciasPorDefectoYCompletas) {
    struct Caso {
        QString sql, where;
        QString sentencia, cbFinal;
        int filas;
    };
    const Caso casos[] = {
        {"v_ta_status", "", "SELECT TOP 1000 Descripcion,Tipo,CodigoEstado FROM v_ta_status  ORDER BY CodigoEstado",
         "CodigoEstado", 0},
        {"V_TA_DEPOSITO", "Unidad = '   1'",
         "SELECT TOP 1000 Descripcion,Unidad,IdDeposito FROM V_TA_DEPOSITO WHERE   (Unidad = '   1')  "
         "ORDER BY IdDeposito",
         "IdDeposito", 1},
        // The table's own fields, last to first; the first taken is searched.
        {"V_MA_CLIENTES", "",
         "SELECT TOP 1000 Dada_De_Baja,Telefono,Localidad,Domicilio,NUMERO_DOCUMENTO,CONTACTO,RAZON_SOCIAL,Cliente,"
         "CODIGO FROM V_MA_CLIENTES  ORDER BY CODIGO",
         "CODIGO", 2},
        // NOMBRE is searched wherever it stands.
        {"V_TA_TECNICOS", "", "SELECT TOP 1000 NOMBRE,IDTECNICO FROM V_TA_TECNICOS  ORDER BY NOMBRE", "NOMBRE", 0},
        // id skipped, except in the cattle-lot stock, where it is searched.
        {"V_MV_TROPA", "",
         "SELECT TOP 1000 CuitVendedor,NroGuia,Chofer,Patente,IdTropa,Dte,FechaDte FROM V_MV_TROPA  "
         "ORDER BY FechaDte",
         "FechaDte", 0},
        {"V_MV_TROPA_STOCK", "",
         "SELECT TOP 1000 idPlanilla,fecha,comprador,kg,lado,secuencia,categoria,idTropa,id FROM V_MV_TROPA_STOCK  "
         "ORDER BY id",
         "id", 0},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.sql.toStdString());
        const SentenciaConsulta s = Arma(c.sql, "", c.where, 1000, false);
        EXPECT_EQ(s.sentencia, c.sentencia);
        EXPECT_EQ(campoBusqueda, c.cbFinal);
        EXPECT_EQ(Filas(s.sentencia), c.filas);
    }

    // A table without a definition record, or a definitions file gone: the default path.
    EXPECT_EQ(Arma("V_TA_Unidad", "", "", 250).sentencia,
              "SELECT TOP 250 Descripcion,IdUnidad FROM V_TA_Unidad  ORDER BY IdUnidad");
    QFile::remove(Ruta("consultas.kvx"));
    EXPECT_EQ(Arma("V_TA_STATUS").sentencia,
              "SELECT TOP 1000 Descripcion,Tipo,CodigoEstado FROM V_TA_STATUS  ORDER BY CodigoEstado");
    EXPECT_EQ(Arma("V_TA_STATUS", "", "", 1000, true, "select 1").sentencia, "select 1");

    // Complete statements: the articles view, the filter after WHERE.
    EXPECT_EQ(Arma("select * from V_MA_ARTICULOS", "", "CODIGO LIKE 'A%'").sentencia,
              "select * from VT_MA_ARTICULOS WHERE  (CODIGO LIKE 'A%') ");
    const QString s = Arma("Select IdArticulo FROM v_ma_articulos", "", "(IdArticulo LIKE '100%')").sentencia;
    EXPECT_EQ(s, "Select IdArticulo FROM VT_MA_ARTICULOS WHERE (IdArticulo LIKE '100%')");
    EXPECT_EQ(Filas(s), 3);
}

TEST_F(Motor, LimiteDeFilas) {
    EXPECT_EQ(TopConsultas(), 1000);
    Config("TopConsArt", "250");
    EXPECT_EQ(TopConsultas(), 250);
    Config("TopConsArt", "0");
    EXPECT_EQ(TopConsultas(), 1000);
    Config("TopConsArt", "abc");
    EXPECT_EQ(TopConsultas(), 1000);
    Config("TopConsArt", "-5");  // never a negative TOP
    EXPECT_EQ(TopConsultas(), 1000);
}

TEST_F(Motor, ListaRecibeLaConsultaYDevuelveLaEleccion) {
    Config("TopConsArt", "250");
    Config("Stk_Nivel1", "255");
    Config("MostrarStockenConsultas", "SI");
    Config("UsaConsultaLike", "si");
    Lib_ClsCons3& m = PruebaConsultas::Motor();
    Guion().eligePrimera = true;

    m.CampoDevuelto = "IDARTICULO";
    QString cb, w;
    m.ConsultaSearch("V_MA_ARTICULOS", nullptr, "tor", cb, w, "", false, "1;2");
    ASSERT_EQ(Mostradas().size(), 1u);
    const VentanaGuionada& v = Mostradas()[0];
    EXPECT_EQ(v.tipo, TipoVentanaConsulta::Lista);
    EXPECT_EQ(v.sql, "SELECT TOP 250 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 "
                     "ORDER BY DESCRIPCION");
    EXPECT_EQ(v.filas, 2);
    EXPECT_FALSE(v.OrdenarPorLwv);
    EXPECT_EQ(v.FiltroInicial, "tor");
    EXPECT_EQ(v.CampoBusqueda, "DESCRIPCION");
    EXPECT_EQ(v.CampoDevuelto, "IDARTICULO");
    EXPECT_EQ(v.gConnString, gDB().gConnString);
    EXPECT_FALSE(v.gConnString.isEmpty());
    EXPECT_EQ(v.StkNivel1, QVariant("255"));
    EXPECT_EQ(v.StkNivel2, QVariant(0));
    EXPECT_EQ(v.MuestraStock, "SI");
    EXPECT_TRUE(v.CfgUsaConsultaLIKE);
    EXPECT_EQ(v.ValoresDefault, "1;2");
    EXPECT_FALSE(v.CheckBoxes);
    EXPECT_TRUE(v.CmpsDevueltos.isEmpty());
    EXPECT_EQ(cb, "DESCRIPCION");
    EXPECT_EQ(m.ValorDevuelto.toString(), "1002");  // Arandela comes first
    EXPECT_TRUE(m.CampoDevuelto.isEmpty());

    // Further columns, check boxes and quantities; all one-shot.
    m.CampoDevuelto = "IDARTICULO";
    m.Checks = true;
    m.UsaCantidades = true;
    Guion().cantidades = {QVariant(3)};
    QStringList cmps{"DESCRIPCION"};
    cb.clear();
    w = "IdArticulo = '1001'";
    m.ConsultaSearch("select IdArticulo, Descripcion from V_MA_ARTICULOS", &cmps, "", cb, w, "", false, "");
    ASSERT_EQ(Mostradas().size(), 2u);
    const VentanaGuionada& v2 = Mostradas()[1];
    EXPECT_EQ(v2.sql, "select IdArticulo, Descripcion from VT_MA_ARTICULOS WHERE  (IdArticulo = '1001') ");
    EXPECT_TRUE(v2.OrdenarPorLwv);
    EXPECT_TRUE(v2.CheckBoxes);
    EXPECT_TRUE(v2.UsaCantidades);
    EXPECT_EQ(v2.CmpsDevueltos, QStringList{"DESCRIPCION"});
    EXPECT_EQ(m.ValorDevuelto.toString(), "1001");
    EXPECT_EQ(m.Valores, QVariantList{QVariant("Tornillo")});
    EXPECT_TRUE(m.Cantidades.isEmpty());   // quantities stay in the window's rows
    EXPECT_TRUE(cmps.isEmpty());
    EXPECT_FALSE(m.Checks);
    EXPECT_TRUE(m.CampoDevuelto.isEmpty());

    // Cancelled: nothing chosen.
    Guion() = {};
    m.ConsultaSearch("V_MA_ARTICULOS", nullptr, "", cb, w, "", false, "");
    EXPECT_TRUE(m.ValorDevuelto.toString().isEmpty());
    EXPECT_TRUE(m.Valores.isEmpty());
}

TEST_F(Motor, ArbolYConsultaSinConfigurar) {
    Lib_ClsCons3& m = PruebaConsultas::Motor();
    Guion().valor = "C1";
    Guion().valores = {QVariant("x")};
    m.CampoDevuelto = "CODIGO";
    m.Checks = true;
    QString cb, w;
    m.ConsultaSearch("VT_CLIENTES", nullptr, "", cb, w, "", true, "");
    ASSERT_EQ(Mostradas().size(), 1u);
    EXPECT_EQ(Mostradas()[0].tipo, TipoVentanaConsulta::Arbol);
    EXPECT_EQ(Mostradas()[0].CampoDevuelto, "CODIGO");
    EXPECT_TRUE(Mostradas()[0].CheckBoxes);
    EXPECT_TRUE(Mostradas()[0].sql.startsWith("SELECT TOP 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES "));
    EXPECT_EQ(m.ValorDevuelto.toString(), "C1");
    EXPECT_EQ(m.Valores, QVariantList{QVariant("x")});
    EXPECT_FALSE(m.Checks);

    // A single-column definition: the message, no window, the last value kept.
    MascaraConsulta r;
    r.Tabla = "V_TA_RUBROS";
    r.Campos = "|Descripcion|";
    ArchivoMascaras::Agrega(Ruta("consultas.kvx"), r);
    op.Responde(vbOK);
    QStringList cmps{"A"};
    m.CampoDevuelto = "IdRubro";
    m.ConsultaSearch("V_TA_RUBROS", &cmps, "", cb = {}, w, "", false, "");
    EXPECT_EQ(Mostradas().size(), 1u);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, "Debe configurar la consulta para esta tabla");
    EXPECT_EQ(op.Transcripcion()[0].titulo, "Aviso al operador");
    EXPECT_EQ(op.Transcripcion()[0].botones, vbInformation);
    EXPECT_EQ(m.ValorDevuelto.toString(), "C1");
    EXPECT_TRUE(cmps.isEmpty());
    EXPECT_TRUE(m.CampoDevuelto.isEmpty());
}

TEST_F(Motor, Selectores) {
    Lib_ClsCons3& m = PruebaConsultas::Motor();
    Guion().valor = "Verde";
    EXPECT_EQ(m.MenuOpciones("Colores", "Rojo", "Verde"), "Verde");
    ASSERT_EQ(Mostradas().size(), 1u);
    {
        const VentanaGuionada& v = Mostradas()[0];
        EXPECT_EQ(v.Caption, "Colores");
        EXPECT_EQ(v.CampoDevuelto, "Colores");
        EXPECT_FALSE(v.CmdNuevaVisible);
        EXPECT_TRUE(v.OrdenarPorLwv);
        EXPECT_TRUE(v.sql.isEmpty());
        EXPECT_TRUE(v.gConnString.isEmpty());
        EXPECT_FALSE(v.CheckBoxes);
        ASSERT_EQ(v.Opciones.size(), 2u);
        EXPECT_EQ(v.Opciones[1].texto, "Verde");
        EXPECT_EQ(v.AnchoTwips, 7 * 120);
    }
    // A single option: the list opens empty.
    Guion().valor = QString();
    EXPECT_EQ(m.MenuOpciones("T", QStringList{"Único"}), "");
    EXPECT_EQ(Mostradas()[1].Opciones.size(), 0u);

    Guion().valores = {QVariant("Rojo")};
    EXPECT_EQ(m.CheckOpciones("Colores", nullptr, {"1Rojo", "0Verde"}), "");
    const VentanaGuionada& c = Mostradas()[2];
    EXPECT_TRUE(c.CheckBoxes);
    ASSERT_EQ(c.Opciones.size(), 2u);
    EXPECT_EQ(c.Opciones[0].texto, "Rojo");
    EXPECT_TRUE(c.Opciones[0].marcada);
    EXPECT_EQ(c.Opciones[1].texto, "Verde");
    EXPECT_FALSE(c.Opciones[1].marcada);
    EXPECT_EQ(m.Valores, QVariantList{QVariant("Rojo")});

    // Lines of a file (its name found without regard to case), or the message.
    QFile f(Ruta("Lista.TXT"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("uno\r\ndos \xF1\r\n");
    f.close();
    Guion().valor = QString::fromUtf8("dos ñ");
    EXPECT_EQ(m.ConsultaDesdeArchivo("Elija", Ruta("lista.txt"), ","), QString::fromUtf8("dos ñ"));
    ASSERT_EQ(Mostradas()[3].Opciones.size(), 2u);
    EXPECT_EQ(Mostradas()[3].Opciones[1].texto, QString::fromUtf8("dos ñ"));

    op.Responde(vbOK);
    EXPECT_EQ(m.ConsultaDesdeArchivo("Elija", Ruta("falta.txt")), "");
    EXPECT_EQ(Mostradas().size(), 4u);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto,
              "No existe el archivo " + Ruta("falta.txt") + " que desea consultar consulta ");
    EXPECT_EQ(op.Transcripcion()[0].titulo, "");
    EXPECT_EQ(op.Transcripcion()[0].botones, vbOKOnly);
}
