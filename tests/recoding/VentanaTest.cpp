// The main window on the offscreen platform, driven with real key and mouse
// events over a demo database: the grid and its floating editor, the
// toolbar's commands, the loaders' buttons and a whole run.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "frame/Permisos.h"
#include "frame/controles/UtilKor.h"
#include "platform/lib/Lib_Teclado.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"
#include "recoding/Testigo.h"
#include "recoding/ui/FrmEMRecodificaVentana.h"
#include "recoding/ui/FrmVistaPreviaVentana.h"
#include "recoding/ui/GrillaVista.h"
#include "tests/recoding/PruebaCorrida.h"

namespace {

class Ventana : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        EstableceTerminacion([](int c) { FAIL() << "el proceso terminaría con " << c; });
        OpcionesDemo o;
        o.articulos = 80;
        o.movimientosPorArticulo = 1;
        GeneradorDemo::Genera(o);
        DB_Dll& db = gDB();
        db.gServidor = GeneradorDemo::kServidor;
        db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("DEMO");
        db.OpenServerADODB(false, 3, QString(), true, true);
        ASSERT_TRUE(db.gOpenFlag);
        gUsuarioActual = GeneradorDemo::kAdministrador;
        ReiniciaCanalLog();
        v = std::make_unique<FrmEMRecodificaVentana>();
        v->Modelo().InicializaGrid2();
        v->show();
        QApplication::setActiveWindow(v.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(v.get()));
    }
    void TearDown() override {
        v.reset();
        LiberaSesiones();
        ReiniciaCanalLog();
        EstableceTerminacion({});
        PruebaConCarpeta::TearDown();
    }
    QString Valor(const QString& sql) {
        Recordset rs;
        rs.Open(sql, gDB().Cnn());
        return rs.Eof() || rs.Fields(0).Value().isNull() ? QString() : rs.Fields(0).Value().toString().trimmed();
    }
    // Plain codes of the demo: without blanks, points, sizes or bar code.
    QStringList Codigos(int n) {
        QStringList r;
        Recordset rs;
        rs.Open("SELECT TOP " + QString::number(n) +
                    " IdArticulo FROM V_MA_ARTICULOS WHERE IdArticulo NOT LIKE '% %' AND IdArticulo NOT LIKE "
                    "'%.%' AND IdArticulo NOT LIKE '%|%' AND (CodigoBarra IS NULL OR CodigoBarra = '') AND IdArticulo "
                    "NOT IN (SELECT LEFT(IdArticulo, CHARINDEX('|', IdArticulo) - 1) FROM V_MA_ARTICULOS WHERE "
                    "IdArticulo LIKE '%|%') ORDER BY IdArticulo",
                gDB().Cnn());
        for (; !rs.Eof(); rs.MoveNext()) r << rs.Fields(0).Value().toString().trimmed();
        return r;
    }
    Grilla& g() { return v->Modelo().MSFlexGrid1; }
    GrillaVista* grilla() { return v->Grilla_(); }
    QLineEdit* editor() { return v->Editor(); }
    // Keys go where the platform sends them: to the focused widget, which
    // must be the one the operator expects.
    QWidget* Foco(QWidget* esperado) {
        QWidget* f = QApplication::focusWidget();
        EXPECT_EQ(f, esperado) << "el foco está en " << (f ? f->objectName().toStdString() : std::string("ninguno"));
        return f ? f : esperado;
    }
    // Clicks a data cell of the grid.
    void Clic(int fila, int columna) {
        const QRect r(grilla()->CellLeft(fila, columna) - grilla()->viewport()->x(),
                      grilla()->CellTop(fila, columna) - grilla()->viewport()->y(), grilla()->CellWidth(fila, columna),
                      grilla()->CellHeight(fila, columna));
        QTest::mouseClick(grilla()->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Types a code into the current cell and presses Enter.
    void Escribe(const QString& texto) {
        QTest::keyClicks(Foco(grilla()), texto.left(1));
        QTest::keyClicks(Foco(editor()), texto.mid(1));
        QTest::keyClick(Foco(editor()), Qt::Key_Return);
    }
    void Boton(const QString& clave) {
        v->Barra()->BotonDe(clave)->click();
        QApplication::processEvents();
    }

    std::unique_ptr<FrmEMRecodificaVentana> v;
};

TEST_F(Ventana, CodigosTecleadosConEnterEscapeYElEditorSobreSuCelda) {
    const QStringList c = Codigos(3);
    ASSERT_EQ(c.size(), 3);
    Clic(1, 0);
    QTest::keyClicks(Foco(grilla()), c[0].left(1));
    // A letter opens the editor with just it, exactly over the cell.
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), c[0].left(1));
    EXPECT_EQ(editor()->geometry(), QRect(grilla()->x() + grilla()->CellLeft(1, 0),
                                          grilla()->y() + grilla()->CellTop(1, 0), grilla()->CellWidth(1, 0),
                                          grilla()->CellHeight(1, 0)));
    EXPECT_TRUE(editor()->hasFocus());
    QTest::keyClicks(Foco(editor()), c[0].mid(1));
    QTest::keyClick(Foco(editor()), Qt::Key_Return);
    // Validated: the description filled, the new code's column next.
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(g().TextMatrix(1, 0), c[0]);
    EXPECT_FALSE(g().TextMatrix(1, 1).trimmed().isEmpty());
    EXPECT_EQ(g().Col, 2);
    Escribe("NUEVO-1");
    EXPECT_EQ(g().TextMatrix(1, 2), "NUEVO-1");
    EXPECT_EQ(g().Rows(), 3);  // a row appended
    EXPECT_EQ(g().Row, 2);
    EXPECT_EQ(g().Col, 0);

    // Escape leaves the cell as it was.
    Clic(1, 2);
    QTest::keyClick(Foco(grilla()), Qt::Key_Return);
    EXPECT_EQ(editor()->text(), "NUEVO-1");
    QTest::keyClicks(Foco(editor()), "XYZ");
    QTest::keyClick(Foco(editor()), Qt::Key_Escape);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(g().TextMatrix(1, 2), "NUEVO-1");

    // The description is never edited.
    Clic(1, 1);
    QTest::keyClicks(Foco(grilla()), "Q");
    EXPECT_FALSE(editor()->isVisible());

    // An unknown old code is reported and the editor stays.
    op.Responde(vbOK);
    Clic(2, 0);
    Escribe("NO-EXISTE-99");
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, "El Articulo Informado no existe");
    EXPECT_TRUE(editor()->isVisible());
    // Escape validates first too: the code must be corrected or erased.
    op.Responde(vbOK);
    QTest::keyClick(Foco(editor()), Qt::Key_Escape);
    EXPECT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_TRUE(editor()->isVisible());
    editor()->selectAll();
    QTest::keyClick(Foco(editor()), Qt::Key_Delete);
    QTest::keyClick(Foco(editor()), Qt::Key_Return);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(g().TextMatrix(2, 0), "");
}

TEST_F(Ventana, TabValidaYElCodigoDeBarrasSePropone) {
    const QString conBarra = Valor("SELECT TOP 1 IdArticulo FROM V_MA_ARTICULOS WHERE CodigoBarra <> '' AND IdArticulo "
                                   "NOT LIKE '% %' ORDER BY IdArticulo");
    ASSERT_FALSE(conBarra.isEmpty());
    const QString barra = Valor("SELECT CodigoBarra FROM V_MA_ARTICULOS WHERE IdArticulo = '" + conBarra + "'");
    Clic(1, 0);
    QTest::keyClicks(Foco(grilla()), conBarra.left(1));
    QTest::keyClicks(Foco(editor()), conBarra.mid(1));
    // Tab validates where the editor stands: the description filled, the bar
    // code proposed as the new code.
    QTest::keyClick(Foco(editor()), Qt::Key_Tab);
    EXPECT_FALSE(g().TextMatrix(1, 1).trimmed().isEmpty());
    EXPECT_EQ(g().TextMatrix(1, 2), barra);
    EXPECT_TRUE(op.Transcripcion().empty());
    // A new code that exists asks; Yes checks the option on screen too.
    QTest::keyClick(Foco(editor()), Qt::Key_Return);
    const QString otro = Codigos(1).value(0);
    op.Responde(vbYes);
    Escribe(otro);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, "El Código de Articulo nuevo ya existe,¿Es esto Correcto?");
    EXPECT_TRUE(v->findChild<QCheckBox*>("ChkPermiteExistente")->isChecked());
}

TEST_F(Ventana, TeclasDeLaGrillaYFiltroDecimal) {
    const QStringList c = Codigos(2);
    Clic(1, 0);
    Escribe(c[0]);
    Escribe("N1");
    Escribe(c[1]);
    Escribe("N2");
    ASSERT_EQ(g().Rows(), 4);
    // Insert adds an empty row at the current one; Delete removes it.
    Clic(1, 0);
    QTest::keyClick(Foco(grilla()), Qt::Key_Insert);
    EXPECT_EQ(g().Rows(), 5);
    EXPECT_EQ(g().TextMatrix(1, 0), "");
    QTest::keyClick(Foco(grilla()), Qt::Key_Delete);
    EXPECT_EQ(g().Rows(), 4);
    EXPECT_EQ(g().TextMatrix(1, 0), c[0]);
    // Arrows move the current cell.
    QTest::keyClick(Foco(grilla()), Qt::Key_Down);
    EXPECT_EQ(g().Row, 2);
    QTest::keyClick(Foco(grilla()), Qt::Key_Right);
    EXPECT_EQ(g().Col, 1);
    // In a code column "." twice leaves one decimal separator.
    Clic(3, 2);
    QTest::keyClicks(Foco(grilla()), "1");
    QTest::keyClicks(Foco(editor()), "..5");
    EXPECT_EQ(editor()->text().count(LibTeclado().SeparadorDecimal()), 1);
    QTest::keyClick(Foco(editor()), Qt::Key_Escape);
}

TEST_F(Ventana, BarraNuevoBorrarReporteYCancelar) {
    const QStringList c = Codigos(1);
    Clic(1, 0);
    Escribe(c[0]);
    // "BORRAR" and "REPORTE" do nothing.
    Boton("BORRAR");
    Boton("REPORTE");
    EXPECT_EQ(g().TextMatrix(1, 0), c[0]);
    // "CANCELAR" on a filled list asks, No by default: No keeps it, Yes clears it.
    op.Responde(vbNo);
    Boton("CANCELAR");
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, "¿Realmente desea abandonar la carga de datos?");
    EXPECT_EQ(op.Transcripcion()[0].botones, vbYesNo + vbQuestion + vbDefaultButton2);
    EXPECT_EQ(g().TextMatrix(1, 0), c[0]);
    op.Responde(vbYes);
    Boton("CANCELAR");
    EXPECT_EQ(g().TextMatrix(1, 0), "");
    // A function key from anywhere in the window: F2 is "NUEVO".
    Clic(1, 0);
    Escribe(c[0]);
    QTest::keyClick(Foco(grilla()), Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_EQ(g().TextMatrix(1, 0), "");
    EXPECT_EQ(g().Rows(), 2);
}

TEST_F(Ventana, CancelarConLaListaVaciaCierraYSellaLaSalida) {
    VerificaPermisos();
    ASSERT_GT(gIdAcceso, 0);
    const QString id = QString::number(gIdAcceso);
    // The label as the window opens; the key compared as every key is, without regard to case.
    EXPECT_EQ(v->findChild<QLabel*>("LblCodigo")->text(), "...");
    v->Modelo().UtilKor1_Click("Cancelar");
    QApplication::processEvents();
    EXPECT_TRUE(v->Descargada());
    EXPECT_FALSE(v->isVisible());
    EXPECT_TRUE(op.Transcripcion().empty());
    Conexion cn;
    cn.Open(GeneradorDemo::CadenaConexion("DEMO"));
    Recordset rs;
    rs.Open("SELECT EGRESO FROM Control_Acceso WHERE ID = " + id, cn);
    EXPECT_FALSE(rs.Fields(0).Value().toString().isEmpty());
}

TEST_F(Ventana, ArchivoPorElBotonYGrabarConSusPreguntas) {
    const QStringList c = Codigos(2);
    const QString ruta = Ruta("pares.txt");
    ArchivoTexto::Escribe(ruta, c[0] + ",VNUEVO-0\r\n" + c[1] + ",VNUEVO-1\r\n");
    op.Responde(vbYes).RespondeArchivo({false, ruta});
    QTest::mouseClick(v->findChild<QPushButton*>("CmdBuscar"), Qt::LeftButton);
    EXPECT_EQ(g().TextMatrix(1, 0), c[0]);
    EXPECT_EQ(g().TextMatrix(2, 2), "VNUEVO-1");
    // A table of our own still referring to the first code: the check warns
    // before anything is written. Back to the list first: nothing runs.
    gDB().Cnn().Execute("CREATE TABLE X_ETIQUETAS (Id int, IdArticuloEtiqueta varchar(25))");
    gDB().Cnn().Execute("INSERT INTO X_ETIQUETAS VALUES (1, '" + c[0] + "')");
    op.RespondeEleccion(2);
    Boton("GRABAR");
    ASSERT_FALSE(op.Transcripcion().empty());
    const Aviso revision = op.Transcripcion().back();
    EXPECT_EQ(revision.tipo, Aviso::Tipo::Eleccion);
    EXPECT_EQ(revision.eleccion.botones, QStringList({"&Continuar", "&Reordenar y continuar", "&Volver a la lista"}));
    EXPECT_EQ(revision.eleccion.habilitados, QVector<bool>({true, false, true}));
    bool avisada = false;
    for (const QStringList& f : revision.eleccion.filas)
        avisada = avisada || (f.value(0) == "Aviso" && f.value(2).contains("X_ETIQUETAS.IdArticuloEtiqueta"));
    EXPECT_TRUE(avisada);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = '" + c[0] + "'"), "1");
    EXPECT_EQ(g().TextMatrix(2, 2), "VNUEVO-1");

    // The run: go on, No to the witness; the data moved and the grid cleared.
    op.RespondeEleccion(0).Responde(vbNo);
    Boton("GRABAR");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo IN ('VNUEVO-0', 'VNUEVO-1')"), "2");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = '" + c[0] + "'"), "0");
    EXPECT_EQ(g().Rows(), 2);
    EXPECT_EQ(g().TextMatrix(1, 0), "");
    // The label ends with the run's summary, whole; its undo file in the tool tip.
    const QLabel* estado = v->findChild<QLabel*>("LblCodigo");
    EXPECT_EQ(estado->text(), "Correctos: 2, con error: 0.");
    EXPECT_TRUE(estado->toolTip().startsWith("Deshacer: ")) << Visible(estado->toolTip());
    EXPECT_TRUE(estado->toolTip().contains("Deshacer-")) << Visible(estado->toolTip());
    QStringList textos;
    for (const Aviso& a : op.Transcripcion()) textos << a.texto;
    EXPECT_TRUE(textos.contains(kPreguntaTestigo)) << Visible(textos.join("|"));
}

TEST_F(Ventana, ControlesEnSuLugarYOpcionesEnElModelo) {
    auto* chk = v->findChild<QCheckBox*>("ChkSoloMaestro");
    ASSERT_TRUE(chk);
    EXPECT_FALSE(chk->isChecked());
    EXPECT_EQ(chk->geometry(), QRect(Twips(*v, 4440), Twips(*v, 6960), Twips(*v, 3735), Twips(*v, 255)));
    QTest::mouseClick(chk, Qt::LeftButton, {}, QPoint(6, chk->height() / 2));
    EXPECT_TRUE(v->Modelo().ChkSoloMaestro);
    auto* rubro = v->findChild<QLineEdit*>("TxtRubro");
    EXPECT_EQ(rubro->maxLength(), 4);
    QTest::mouseClick(rubro, Qt::LeftButton);
    QTest::keyClicks(Foco(rubro), "12345");
    EXPECT_EQ(v->Modelo().TxtRubro, "1234");
    EXPECT_EQ(v->windowTitle(), "Quenvar");
    EXPECT_EQ(v->size(), QSize(Twips(*v, 8280), Twips(*v, 7815)));
    // Every text fits its control.
    for (QAbstractButton* b : v->findChildren<QAbstractButton*>())
        if (!qobject_cast<QToolButton*>(b)) {
            EXPECT_LE(b->sizeHint().width(), b->width()) << b->objectName().toStdString();
        }
}

TEST_F(Ventana, VistaPreviaEnUnaVentanaQueSeOrdenaYSeExporta) {
    const QStringList c = Codigos(2);
    const QString ruta = Ruta("pares.txt");
    ArchivoTexto::Escribe(ruta, c[0] + ",VP-0\r\n" + c[1] + ",VP-1\r\n");
    op.Responde(vbYes).RespondeArchivo({false, ruta});
    QTest::mouseClick(v->findChild<QPushButton*>("CmdBuscar"), Qt::LeftButton);
    const QString articulos = Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS");

    // F8 opens the report, not modal; nothing is written.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);  // a toolbar key, wherever the focus is
    QApplication::processEvents();
    auto* vp = qobject_cast<FrmVistaPreviaVentana*>(v->VentanaVistaPrevia());
    ASSERT_TRUE(vp);
    EXPECT_TRUE(vp->isVisible());
    EXPECT_FALSE(vp->isModal());
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS"), articulos);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'VP-%'"), "0");
    EXPECT_EQ(vp->Informe().Vista().codigos.size(), 2);

    // Sorted by the count column, largest first, as numbers.
    QTableView* t = vp->TablaCodigos();
    ASSERT_GT(t->model()->rowCount(), 2);
    t->sortByColumn(7, Qt::DescendingOrder);
    qint64 previo = std::numeric_limits<qint64>::max();
    for (int i = 0; i < t->model()->rowCount(); ++i) {
        const qint64 n = t->model()->index(i, 7).data().toLongLong();
        EXPECT_LE(n, previo);
        previo = n;
    }
    EXPECT_GT(vp->TablaTotales()->model()->rowCount(), 0);

    // The CSV export through the save dialog.
    op.RespondeArchivo({false, Ruta("previa.csv")});
    vp->BotonExportar()->click();
    EXPECT_EQ(ArchivoTexto::Lee(Ruta("previa.csv")).value_or(""), vp->Informe().Vista().Csv());
    EXPECT_TRUE(ArchivoTexto::Lee(Ruta("previa.csv")).value_or("").startsWith("fila;viejo;nuevo;plan;tabla"));

    // The main window keeps working; a second preview replaces the first.
    QPointer<QWidget> primera = vp;
    Boton("VISTAPREVIA");
    QApplication::processEvents();
    EXPECT_TRUE(primera.isNull());
    EXPECT_TRUE(v->VentanaVistaPrevia());

    // Escape, where the platform sends it, closes the report.
    QPointer<QWidget> segunda = v->VentanaVistaPrevia();
    segunda->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(segunda.data()));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : segunda.data(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(segunda.isNull() || !segunda->isVisible());
}

TEST_F(Ventana, CerrarDuranteLaCorridaEsperaAlCodigoEnCurso) {
    const QStringList c = Codigos(4);
    const QString ruta = Ruta("pares.txt");
    QString texto;
    for (int i = 0; i < c.size(); ++i) texto += c[i] + ",CE-" + QString::number(i) + "\r\n";
    ArchivoTexto::Escribe(ruta, texto);
    op.Responde(vbYes).RespondeArchivo({false, ruta});
    QTest::mouseClick(v->findChild<QPushButton*>("CmdBuscar"), Qt::LeftButton);
    op.EstableceRespondedor([](const Aviso& a) -> std::optional<OperadorGuionado::Respuesta> {
        if (a.tipo == Aviso::Tipo::Eleccion) return RespuestaEleccion{0};
        return std::nullopt;
    });
    // The window is closed (a desktop session logging out) while the run
    // yields to the window system after its first code.
    op.AlProcesarEventos([&] {
        if (v->Modelo().Corriendo() && v->Modelo().UltimaCorrida().codigos.size() == 1) v->close();
    });
    const std::size_t antes = op.Transcripcion().size();
    Boton("GRABAR");
    QApplication::processEvents();
    op.AlProcesarEventos({});

    EXPECT_TRUE(v->Descargada());
    EXPECT_FALSE(v->isVisible());
    const FrmEMRecodifica::ResumenCorrida& r = v->Modelo().UltimaCorrida();
    EXPECT_TRUE(r.detenida);
    const int hechos = r.Correctos();
    EXPECT_EQ(hechos, 1);
    EXPECT_EQ(r.pendientes.size(), 3);
    // No question at the end; every code done or untouched (read on a session of our own: the window's is closed).
    for (std::size_t i = antes; i < op.Transcripcion().size(); ++i)
        EXPECT_NE(op.Transcripcion()[i].tipo, Aviso::Tipo::Mensaje) << Visible(op.Transcripcion()[i].texto);
    Conexion cn;
    cn.Open(GeneradorDemo::CadenaConexion("DEMO"));
    auto cuenta = [&](const QString& codigo) {
        Recordset rs;
        rs.Open("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = '" + codigo + "'", cn);
        return rs.Fields(0).Value().toInt();
    };
    for (int i = 0; i < c.size(); ++i) {
        EXPECT_EQ(cuenta("CE-" + QString::number(i)), i < hechos ? 1 : 0);
        EXPECT_EQ(cuenta(c[i]), i < hechos ? 0 : 1);
    }
    EXPECT_TRUE(QFileInfo::exists(r.archivoDeshacer));
}

}  // namespace

TEST_F(Ventana, CargarPrefijoVuelveAQuedarHabilitadoYElRotuloNoQuedaAtrasado) {
    auto* boton = v->findChild<QPushButton*>("CmdPrefijo");
    ASSERT_TRUE(boton);
    const QString prefijo = Codigos(1).value(0).left(3);
    ASSERT_FALSE(prefijo.isEmpty());
    auto* anterior = v->findChild<QLineEdit*>("TxtPrefijoAnt");
    QTest::mouseClick(anterior, Qt::LeftButton);
    QTest::keyClicks(Foco(anterior), prefijo);
    QTest::keyClick(Foco(anterior), Qt::Key_Tab);
    QTest::keyClicks(Foco(v->findChild<QLineEdit*>("TxtPrefijoNvo")), "Z" + prefijo);
    op.EstableceRespondedor([](const Aviso& a) -> std::optional<OperadorGuionado::Respuesta> {
        if (a.tipo == Aviso::Tipo::Mensaje) return vbYes;
        return std::nullopt;
    });
    // Loaded twice: the button is back after each load.
    for (int vez = 0; vez < 2; ++vez) {
        QTest::mouseClick(boton, Qt::LeftButton);
        EXPECT_TRUE(Texto::Trim(g().TextMatrix(1, 0)).startsWith(prefijo)) << vez;
        EXPECT_TRUE(boton->isEnabled()) << vez;
    }

    // Progress faster than it is painted: the last text still shows.
    auto* rotulo = v->findChild<QLabel*>("LblCodigo");
    for (int i = 1; i <= 5; ++i) {
        v->Modelo().LblCodigo = QString("(%1 de 6)").arg(i);
        v->Progreso(i, 6);
    }
    for (int espera = 0; espera < 50 && rotulo->text() != "(5 de 6)"; ++espera) QTest::qWait(20);
    EXPECT_EQ(rotulo->text(), "(5 de 6)");

    // A text longer than the status line is never cut silently: "…", and whole in the tool tip.
    const QString largo = "Otra recodificación está en curso en la base de datos DEMO (equipo PUESTO-DE-DEPOSITO-7, "
                          "usuario ADMINISTRADOR, desde 09/12/2026 23:15). Espere a que termine para recodificar.";
    v->Modelo().LblCodigo = largo;
    v->Modelo().LblCodigoDetalle.clear();
    v->Actualiza();
    EXPECT_TRUE(rotulo->text().endsWith(QChar(0x2026))) << Visible(rotulo->text());
    EXPECT_LE(rotulo->fontMetrics().horizontalAdvance(rotulo->text()), rotulo->width());
    EXPECT_EQ(rotulo->toolTip(), largo);
    // Wider, the window shows more of it.
    const int antes = rotulo->text().size();
    v->resize(v->width() + 400, v->height());
    EXPECT_GT(rotulo->text().size(), antes);
}

TEST_F(Ventana, CerrarDuranteLaImportacionLaDetieneYCierra) {
    const QStringList c = Codigos(6);
    const QString ruta = Ruta("pares.txt");
    QString texto;
    for (int i = 0; i < c.size(); ++i) texto += c[i] + ",CI-" + QString::number(i) + "\r\n";
    ArchivoTexto::Escribe(ruta, texto);
    op.Responde(vbYes).RespondeArchivo({false, ruta});
    // Closed (a desktop session logging out) while the import yields after its second line.
    op.AlProcesarEventos([&] {
        if (v->Modelo().CargandoArchivo && g().Rows() > 3 && Texto::Trim(g().TextMatrix(2, 0)) == c[1]) v->close();
    });
    QTest::mouseClick(v->findChild<QPushButton*>("CmdBuscar"), Qt::LeftButton);
    QApplication::processEvents();
    op.AlProcesarEventos({});

    EXPECT_TRUE(v->Descargada());
    EXPECT_FALSE(v->isVisible());
    EXPECT_FALSE(v->Modelo().CargandoArchivo);
    // The lines after the close were not loaded, and no question came after it.
    EXPECT_TRUE(g().Rows() <= 5 || Texto::Trim(g().TextMatrix(4, 0)) != c[3]);
    for (const Aviso& a : op.Transcripcion())
        EXPECT_FALSE(a.texto.contains("conexión")) << Visible(a.texto);
}

TEST_F(Ventana, ClicFueraDeUnCodigoInvalidoLoValidaYNoDejaElEditor) {
    const QStringList c = Codigos(1);
    ASSERT_EQ(c.size(), 1);
    v->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(v.get()));
    // Keys go where the platform sends them: the focused widget.
    auto teclea = [](const QString& texto) {
        for (const QChar ch : texto) QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    };
    Clic(1, 0);
    teclea("NO-EXISTE-77");
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), "NO-EXISTE-77");
    // A click on another cell: reported as Enter reports it, the cell as it was, no editor left drawn.
    op.Responde(vbOK);
    Clic(1, 2);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, "El Articulo Informado no existe");
    EXPECT_EQ(g().TextMatrix(1, 0), "");
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(g().Col, 2);

    // A valid code left by a click is kept, validated.
    Clic(1, 0);
    teclea(c[0]);
    Clic(1, 2);
    EXPECT_EQ(g().TextMatrix(1, 0), c[0]);
    EXPECT_FALSE(g().TextMatrix(1, 1).trimmed().isEmpty());
    EXPECT_FALSE(editor()->isVisible());
}

TEST_F(Ventana, EnterEnUnBotonConFocoLoPresiona) {
    v->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(v.get()));
    auto* boton = v->findChild<QPushButton*>("CmdPrefijo");
    boton->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), boton);
    // The load asks first; No leaves the list as it was.
    op.Responde(vbNo);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_TRUE(op.Transcripcion()[0].texto.contains("prefijo")) << Visible(op.Transcripcion()[0].texto);
}

TEST_F(Ventana, AgrandadaLaGrillaCreceYLosControlesDeAbajoLaSiguen) {
    const QSize base = v->size();
    EXPECT_EQ(v->minimumSize(), base);
    const QRect grillaAntes = grilla()->geometry();
    auto* boton = v->findChild<QPushButton*>("CmdBuscar");
    const QPoint botonAntes = boton->pos();
    const int filasAntes = grilla()->FilasVisibles();
    v->resize(base + QSize(200, 240));
    QApplication::processEvents();
    EXPECT_EQ(grilla()->geometry(), grillaAntes.adjusted(0, 0, 200, 240));
    EXPECT_EQ(boton->pos(), botonAntes + QPoint(0, 240));
    EXPECT_GT(grilla()->FilasVisibles(), filasAntes + 5);
    // The editor still opens exactly over its cell.
    Clic(1, 0);
    QTest::keyClicks(Foco(grilla()), "1");
    EXPECT_EQ(editor()->geometry(), QRect(grilla()->x() + grilla()->CellLeft(1, 0), grilla()->y() + grilla()->CellTop(1, 0),
                                          grilla()->CellWidth(1, 0), grilla()->CellHeight(1, 0)));
    v->resize(base);
    QApplication::processEvents();
    EXPECT_EQ(grilla()->geometry(), grillaAntes);
}
