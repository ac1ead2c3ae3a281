// The run on a demo database: the data after each kind of plan, size
// variants, failing codes rolled back whole, the log, the questions and the
// step guard's choices.

#include <QRegularExpression>

#include "db/platform/InyeccionFallas.h"
#include "display/Dll_Display.h"
#include "tests/recoding/PruebaCorrida.h"

namespace {
const QString kTablaMovs[] = {"AC_VENTASDIARIA", "AC_VENTASMES", "AC_COMPRASDIARIA", "AC_COMPRASMES",
                              "V_MV_CPTEINSUMOS", "C_MV_CPTEINSUMOS", "V_MV_STOCK", "V_MA_INSUMOS",
                              "V_MA_INSUMOS.IDARTICULOINSUMO"};
}

class Corrida : public PruebaCorrida {};

TEST_F(Corrida, CopiaYFusionMuevenCadaReferencia) {
    const QString a = ConMovimientos(0), b = ConMovimientos(1), c = ConMovimientos(2);
    const auto antesA = Referencias(a), antesB = Referencias(b), antesC = Referencias(c);
    const QString descA = Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(a));
    Fila(a, descA, "NUEVO-1");  // copy
    Fila(b, "b", c);            // merge into an existing article
    Corre();

    EXPECT_EQ(registro.Pasos(), (QStringList{a + "|copia|OK", b + "|fusion|OK"}));
    const auto nuevo = Referencias("NUEVO-1"), despuesA = Referencias(a), despuesB = Referencias(b),
               despuesC = Referencias(c);
    EXPECT_EQ(nuevo["V_MA_ARTICULOS"], 1);
    EXPECT_EQ(Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = 'NUEVO-1'"), descA);
    for (const QString& t : kTablaMovs) {
        EXPECT_EQ(nuevo[t], antesA[t]) << t.toStdString();
        EXPECT_EQ(despuesC[t], antesB[t] + antesC[t]) << t.toStdString();
    }
    EXPECT_EQ(nuevo["V_MA_Precios"], antesA["V_MA_Precios"]);
    EXPECT_EQ(nuevo["S_TA_EQUIV"], antesA["S_TA_EQUIV"]);
    // The merged article keeps its own prices; its equivalences gain the old one's.
    EXPECT_EQ(despuesC["V_MA_Precios"], antesC["V_MA_Precios"]);
    EXPECT_EQ(despuesC["S_TA_EQUIV"], antesB["S_TA_EQUIV"]);
    for (const auto& d : {despuesA, despuesB})
        for (long n : d) EXPECT_EQ(n, 0);
    EXPECT_TRUE(DisparadoresActivos());
    // No error: only the witness question, and the (empty) log shown at the end.
    EXPECT_EQ(op.Mensajes(), QStringList{kPreguntaTestigo});
    EXPECT_EQ(Documentos(), QStringList{RutaLogRecodificacion()});
    EXPECT_EQ(LeeArchivo(RutaLogRecodificacion()), QString());
    EXPECT_EQ(EstadoCanalLog().numero, 0);
}

TEST_F(Corrida, EnSitioConPrefijoYEstadisticas) {
    const QString a = ConMovimientos(0), b = ConMovimientos(1);
    const auto antesA = Referencias(a), antesB = Referencias(b);
    // Equal codes (letter case aside) with the prefix flag: the rubro of the new prefix.
    frm.CargaPorPrefijo = true;
    frm.TxtPrefijoNvo = "77";
    Fila(a, "a", a.toLower());
    Corre();
    EXPECT_EQ(registro.Pasos(), QStringList{a + "|en sitio|OK"});
    EXPECT_EQ(Valor("SELECT IDRUBRO FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(a)), "  77");
    EXPECT_EQ(Referencias(a), antesA);

    // Statistics only: the master and the stock stay, the statistics move.
    registro.codigos.clear();
    frm.InicializaGrid2();
    frm.CargaPorPrefijo = false;
    frm.ChkEstadisticas = true;
    Fila(a, "a", b);
    Corre();
    EXPECT_EQ(registro.Pasos(), QStringList{a + "|estadisticas|OK"});
    const auto ahoraA = Referencias(a), ahoraB = Referencias(b);
    for (const char* t : {"AC_VENTASDIARIA", "AC_VENTASMES", "AC_COMPRASDIARIA", "AC_COMPRASMES"}) {
        EXPECT_EQ(ahoraA[t], 0) << t;
        EXPECT_EQ(ahoraB[t], antesA[t] + antesB[t]) << t;
    }
    EXPECT_EQ(ahoraA["V_MV_STOCK"], antesA["V_MV_STOCK"]);
    EXPECT_EQ(ahoraA["V_MA_ARTICULOS"], 1);
}

TEST_F(Corrida, VariantesDeTalleEnOrdenDeCodigo) {
    AgregaArticulo("Q_1", "Con guion bajo");
    AgregaArticulo("Q_1|S", "Talle S", "S");
    AgregaArticulo("Q_1|M", "Talle M", "M");
    AgregaArticulo("QX1|S", "Otro articulo", "S");  // "_" must not match "X"
    AgregaArticulo("qcase", "Igual salvo mayusculas");
    AgregaArticulo("qcase|S", "Talle", "S");
    ASSERT_TRUE(UsaTalles());
    Fila("Q_1", "d", "NUEVO-Q");
    Fila("qcase", "d", "QCASE");  // equal codes: no variants searched
    Fila("", "", "");             // an empty row does nothing
    Fila("Q_1", "", "OTRO");      // no description: skipped
    Corre();
    EXPECT_EQ(registro.Pasos(), (QStringList{"Q_1|M|copia|OK", "Q_1|S|fusion|OK", "Q_1|fusion|OK",
                                             "qcase|en sitio|OK"}));
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "NUEVO-Q", "IdArticulo"), 1);
    EXPECT_EQ(Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = 'NUEVO-Q'"), "Talle M");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'Q[_]1%'"), "0");
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "QX1|S", "IdArticulo"), 1);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "qcase|S", "IdArticulo"), 1);
    // The witness gets every row, the skipped ones too.
    const QStringList testigo = ArchivoTexto::Lineas(LeeArchivo(RutaTestigo()));
    EXPECT_EQ(testigo, (QStringList{"Q_1,d,NUEVO-Q", "qcase,d,QCASE", ",,", "Q_1,,OTRO", ",,"}));
}

TEST_F(Corrida, CodigosConComillasYBlancosIniciales) {
    AgregaArticulo("A'01", "Con comilla");
    gDB().Cnn().Execute("INSERT INTO S_TA_EQUIV (IDARTICULO, Equivalencia) VALUES ('A''01', 'EQ1')");
    // Stored with leading blanks, typed or loaded without them.
    AgregaArticulo("   7.5", "Con blancos");
    gDB().Cnn().Execute("INSERT INTO S_TA_EQUIV (IDARTICULO, Equivalencia) VALUES ('   7.5', 'EQ2')");
    AgregaArticulo("  8.5", "Realinear");
    Fila("A'01", "d", "B'01");
    Fila("7.5", "d", "70.5");
    Fila("  8.5", "d", "8.5");  // the point control's pair: same code, realigned
    Corre();
    EXPECT_EQ(registro.Pasos(), (QStringList{"A'01|copia|OK", "   7.5|copia|OK", "  8.5|en sitio|OK"}));
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "B'01", "IdArticulo"), 1);
    EXPECT_EQ(Cuenta("S_TA_EQUIV", "B'01"), 1);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "A'01", "IdArticulo"), 0);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "70.5", "IdArticulo"), 1);
    EXPECT_EQ(Cuenta("S_TA_EQUIV", "70.5"), 1);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "   7.5", "IdArticulo"), 0);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "8.5", "IdArticulo"), 1);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "  8.5", "IdArticulo"), 0);
}

TEST_F(Corrida, UnCodigoFallidoSeDeshaceEnteroYQuedaEnElLog) {
    const QString a = ConMovimientos(0), b = ConMovimientos(1), c = ConMovimientos(2), d = ConMovimientos(3);
    // A rule of this database that rejects one statement of a merge.
    gDB().Cnn().Execute(
        "CREATE TRIGGER TR_PRUEBA AFTER UPDATE OF IDARTICULO ON V_MV_CPTEINSUMOS BEGIN "
        "SELECT RAISE(ABORT, 'Insumo bloqueado') WHERE NEW.IDARTICULO = " + Lit(d.leftJustified(25)) + "; END");
    ASSERT_EQ(gDB().Cnn().Errors().Count(), 0);
    gDB().Cnn().Execute("INSERT INTO V_MV_CPTEINSUMOS (IDARTICULO) SELECT " + Lit(c) +
                        " WHERE NOT EXISTS (SELECT 1 FROM V_MV_CPTEINSUMOS WHERE IDARTICULO = " + Lit(c) + ")");
    const auto antesA = Referencias(a), antesB = Referencias(b), antesC = Referencias(c), antesD = Referencias(d);
    const QString largo(26, 'L');
    Fila(a, "a", largo);   // longer than the code column: the copy fails
    Fila(b, "b", "BIEN-1");
    Fila(c, "c", d);       // the merge's insumos update is rejected
    Corre(true);

    EXPECT_EQ(registro.Pasos(), (QStringList{a + "|copia|ERROR", b + "|copia|OK", c + "|fusion|ERROR"}));
    EXPECT_EQ(Referencias(a), antesA);
    EXPECT_EQ(Referencias(c), antesC);
    EXPECT_EQ(Referencias(d), antesD);  // its equivalences too: cleared inside the transaction
    EXPECT_EQ(Referencias(largo.left(25)).value("V_MA_ARTICULOS"), 0);
    EXPECT_EQ(Referencias("BIEN-1")["V_MV_STOCK"], antesB["V_MV_STOCK"]);
    EXPECT_TRUE(DisparadoresActivos());
    EXPECT_EQ(op.Mensajes(), (QStringList{kPreguntaTestigo, kPreguntaErrores}));

    // Each failed code: its line, then its whole batch; CR CR LF line ends.
    const QString log = LeeArchivo(RutaLogRecodificacion());
    const QString oa = LibUtil().AlineaTexto(a, 25), oc = LibUtil().AlineaTexto(c, 25);
    const QStringList partes = log.split("\r\r\n");
    ASSERT_GE(partes.size(), 5);
    EXPECT_TRUE(partes[0].startsWith(oa + ", ")) << Visible(partes[0]);
    EXPECT_TRUE(partes[0].endsWith(" ((MARCA 3))"));
    EXPECT_TRUE(partes[0].contains("truncated")) << Visible(partes[0]);
    EXPECT_TRUE(partes[1].startsWith("\r\n BEGIN TRANSACTION \r\n ALTER TABLE V_MA_ARTICULOS DISABLE TRIGGER ALL \r\n"));
    EXPECT_TRUE(partes[1].contains("INSERT INTO V_MA_ARTICULOS SELECT '" + largo + "',"));
    EXPECT_EQ(partes[2], oc + " ,Insumo bloqueado ((MARCA 2))");
    EXPECT_TRUE(partes[3].endsWith("    DELETE V_MA_ARTICULOS WHERE IDARTICULO = '" + oc + "'"));
    EXPECT_EQ(partes[4], QString());
    EXPECT_TRUE(log.endsWith("\r\r\n"));
    EXPECT_EQ(Documentos(), QStringList{RutaLogRecodificacion()});
}

TEST_F(Corrida, VerLosErroresMuestraYBorraElLog) {
    Fila(ConMovimientos(0), "a", QString(30, 'X'));
    op.Responde(vbNo).Responde(vbYes);
    frm.ProcesoPrincipal();
    // Shown once (mode 3), then deleted (mode 4); the last mode 3 has nothing to show.
    EXPECT_EQ(Documentos(), QStringList{RutaLogRecodificacion()});
    EXPECT_FALSE(QFile::exists(RutaLogRecodificacion()));
    EXPECT_EQ(EstadoCanalLog().nombre, RutaLogRecodificacion());
}

TEST_F(Corrida, UnLogQueNoSePuedeMostrarSeAvisaConSuRuta) {
    // No program on this machine shows the log: an empty one passes quietly,
    // one with errors is reported with its path.
    op.SinVisor(true);
    op.Responde(vbNo);
    frm.ProcesoPrincipal();
    EXPECT_EQ(op.Mensajes(), QStringList{kPreguntaTestigo});
    op.Limpia();
    Fila(ConMovimientos(0), "a", QString(30, 'X'));
    op.Responde(vbNo).Responde(vbNo).Responde(vbOK);
    frm.ProcesoPrincipal();
    const QStringList m = op.Mensajes();
    ASSERT_EQ(m.size(), 3);
    EXPECT_TRUE(m[2].startsWith("No hay un programa para mostrar el archivo.")) << Visible(m[2]);
    EXPECT_TRUE(m[2].endsWith(QDir::toNativeSeparators(RutaLogRecodificacion()))) << Visible(m[2]);
}

TEST_F(Corrida, ElLogEntreCorridasYElTestigoCancelado) {
    // A grid with only its empty row: nothing sent, one witness line, the question.
    Corre();
    EXPECT_TRUE(registro.codigos.empty());
    EXPECT_EQ(LeeArchivo(RutaTestigo()), ",,\r\n");
    EXPECT_EQ(op.Mensajes(), QStringList{kPreguntaTestigo});
    EXPECT_EQ(Documentos(), QStringList{RutaLogRecodificacion()});  // only at the end

    // Second run: the earlier log is shown at the start; the save is cancelled.
    op.Limpia();
    Fila(ConMovimientos(0), "a", QString(30, 'X'));
    op.Responde(vbYes).RespondeArchivo({true, QString()});
    frm.ProcesoPrincipal();
    EXPECT_EQ(op.Mensajes(), QStringList{kPreguntaTestigo});  // no error question
    EXPECT_EQ(Documentos(), QStringList{RutaLogRecodificacion()});
    const Aviso& guardar = op.Transcripcion().back();
    EXPECT_TRUE(guardar.pedido.guardar);
    EXPECT_EQ(guardar.pedido.extension, ".htm");
    EXPECT_EQ(guardar.pedido.filtro, "Páginas Web (*.htm)|*.htm|");
    EXPECT_EQ(guardar.pedido.titulo, "Guardar el testigo de la recodificación");
    EXPECT_NE(EstadoCanalLog().numero, 0);  // left open
    EXPECT_EQ(ArchivoTexto::Lineas(LeeArchivo(RutaTestigo())).size(), 3);

    // Third run: the open log is closed and shown first, then started empty.
    op.Limpia();
    frm.InicializaGrid2();
    registro.codigos.clear();
    const QString html = Ruta("testigo.htm");
    op.Responde(vbYes).RespondeArchivo({false, html});
    frm.ProcesoPrincipal();
    EXPECT_EQ(Documentos(), (QStringList{RutaLogRecodificacion(), html, RutaLogRecodificacion()}));
    EXPECT_TRUE(LeeArchivo(html).startsWith("<html>\r\n"));
    EXPECT_EQ(LeeArchivo(RutaLogRecodificacion()), QString());
}

// Makes the batch of one row fail as a whole: for equal codes nothing is
// consulted between the progress report and the batch.
struct FallaEnFila : RegistroCorrida {
    int fila = 0;
    void Progreso(int f, int) override {
        if (f == fila)
            InyeccionFallas::FallaEjecuciones(
                1, {50000, QStringLiteral("Falla de prueba"), QStringLiteral("42000"), {}});
    }
};

TEST_F(Corrida, ElegirReintentarIgnorarOAbandonar) {
    FallaEnFila falla;
    frm.Vista = &falla;
    AgregaArticulo("ABC-1", "a");
    AgregaArticulo("ABC-2", "b");
    auto codigo = [&](const QString& c) {
        return Texto::Trim(Valor("SELECT IdArticulo FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(c)));
    };

    // Retry: the batch is sent again and the code recoded.
    falla.fila = 1;
    Fila("ABC-1", "a", "abc-1");
    op.Responde(vbRetry).Responde(vbNo);
    frm.ProcesoPrincipal();
    EXPECT_EQ(falla.Pasos(), QStringList{"ABC-1|en sitio|OK"});
    EXPECT_EQ(codigo("ABC-1"), "abc-1");
    EXPECT_TRUE(DisparadoresActivos());

    // Ignore: the code's transaction did not open, so nothing of it is sent;
    // the code is logged and the next row goes on.
    op.Limpia();
    falla.codigos.clear();
    frm.InicializaGrid2();
    Fila("ABC-1", "a", "Abc-1");
    Fila("ABC-2", "b", "abc-2");
    op.Responde(vbIgnore).Responde(vbNo).Responde(vbNo);
    frm.ProcesoPrincipal();
    EXPECT_EQ(falla.Pasos(), (QStringList{"ABC-1|en sitio|ERROR", "ABC-2|en sitio|OK"}));
    EXPECT_EQ(codigo("ABC-1"), "abc-1");
    EXPECT_EQ(codigo("ABC-2"), "abc-2");
    EXPECT_TRUE(LeeArchivo(RutaLogRecodificacion()).startsWith(LibUtil().AlineaTexto("ABC-1", 25) +
                                                                ", Falla de prueba ((MARCA 3))\r\r\n"));
    EXPECT_EQ(op.Mensajes().size(), 3);
    EXPECT_TRUE(DisparadoresActivos());

    // Abandon: the triggers back on, no witness, no question, the log left open.
    op.Limpia();
    falla.codigos.clear();
    frm.InicializaGrid2();
    QFile::remove(RutaTestigo());
    Fila("ABC-1", "a", "ABC-1");
    op.Responde(vbAbort);
    frm.ProcesoPrincipal();
    EXPECT_TRUE(falla.codigos.empty());
    ASSERT_EQ(op.Mensajes().size(), 1);  // the error dialog only
    EXPECT_TRUE(op.Mensajes()[0].contains("Falla de prueba"));
    EXPECT_EQ(op.Transcripcion().back().botones & 0xF, vbAbortRetryIgnore);
    EXPECT_FALSE(QFile::exists(RutaTestigo()));
    EXPECT_NE(EstadoCanalLog().numero, 0);
    EXPECT_TRUE(DisparadoresActivos());
    EXPECT_EQ(ElCartel().Ventana(), nullptr);
}
