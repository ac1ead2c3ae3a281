#include "lookup/ui/Lib_FrmCons3Ventana.h"

#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/ui/VentanasConsulta.h"
#include "tests/lookup/PruebaVentanasTeclado.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

class VentanaLista : public PruebaVentanasTeclado {
protected:
    void SetUp() override {
        PruebaVentanasTeclado::SetUp();
        Ejecuta(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES "
                               "('Q001','ABRAZADERA CHICA'),('Q002','abrojo'),('Q003','CLAVO O''HARA'),"
                               "('Q004','BULON'),('Q005','TUERCA')"));
        m.sql = QStringLiteral("SELECT DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE IdArticulo "
                               "LIKE 'Q%' ORDER BY DESCRIPCION");
        m.CampoDevuelto = QStringLiteral("IDARTICULO");
        m.CmpsDevueltos = {QStringLiteral("DESCRIPCION")};
        m.GrabarCfg = false;
        // The program's skin beside it, as installed.
        ASSERT_TRUE(QDir().mkpath(Ruta(QStringLiteral("Styles/iTunes"))));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUENVAR_SOURCE_DIR "/frame/ui/Styles/iTunes/Normalitunes.ini"),
                                Ruta(QStringLiteral("Styles/iTunes/Normalitunes.ini"))));
    }
    Lib_FrmCons3 m;
};

// The font and colours a row's cell is drawn with, as the view's delegate takes them.
struct Delegado : QStyledItemDelegate {
    QStyleOptionViewItem Opcion(const QTableView& vista, const QModelIndex& i) const {
        QStyleOptionViewItem o;
        o.initFrom(&vista);
        o.font = vista.font();
        initStyleOption(&o, i);
        return o;
    }
};

TEST_F(VentanaLista, EscribirEnLaCajaBuscaYF5Refina) {
    ASSERT_TRUE(m.Carga());
    Lib_FrmCons3Ventana w(m);
    ASSERT_TRUE(Activa(w));
    ASSERT_EQ(w.CmbSearch.size(), 2u);
    EXPECT_EQ(w.ListView1->model()->rowCount(), 5);
    EXPECT_EQ(Foco(), w.CmbSearch[0]);   // the window opens on the first box
    w.CmbSearch[0]->setFocus();
    Escribe(QStringLiteral("cla"));
    EXPECT_EQ(w.CmbSearch[0]->currentText(), "cla");
    EXPECT_EQ(w.ListView1->currentIndex().row(), 3);
    EXPECT_EQ(m.FilaActual(), 3);
    Tecla(Qt::Key_F5);
    EXPECT_EQ(w.ListView1->model()->rowCount(), 1);
    EXPECT_EQ(w.CmbSearch[0]->currentText(), "");
    EXPECT_EQ(Foco(), w.CmbSearch[0]);
    // Tab leads to the second column's box, which searches that column.
    Tecla(Qt::Key_Tab);
    EXPECT_EQ(Foco(), w.CmbSearch[1]);
    Escribe(QStringLiteral("q003"));
    EXPECT_EQ(w.ListView1->currentIndex().row(), 0);
    w.CmdNueva->click();
    EXPECT_EQ(w.ListView1->model()->rowCount(), 5);
    EXPECT_EQ(Foco(), w.CmbSearch[0]);
}

TEST_F(VentanaLista, FlechasYPaginasLlevanElFocoALaLista) {
    ASSERT_TRUE(m.Carga());
    Lib_FrmCons3Ventana w(m);
    ASSERT_TRUE(Activa(w));
    w.CmbSearch[0]->setFocus();
    const Qt::Key teclas[] = {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_PageUp};
    for (const Qt::Key k : teclas) {
        SCOPED_TRACE(k);
        Escribe(QStringLiteral("b"));   // typed in the list: back to the box
        ASSERT_EQ(Foco(), w.CmbSearch[0]);
        Tecla(k);
        EXPECT_EQ(Foco(), w.ListView1);
        EXPECT_EQ(w.ListView1->currentIndex().row(), 2);   // the row found stays chosen
        Tecla(Qt::Key_Backspace);   // in the list: erases in the box, which takes the focus
    }
    // Nothing found: the first row is chosen when the list takes the focus.
    w.CmdNueva->click();
    Escribe(QStringLiteral("x"));
    EXPECT_EQ(m.FilaActual(), -1);
    Tecla(Qt::Key_Down);
    EXPECT_EQ(Foco(), w.ListView1);
    EXPECT_EQ(m.FilaActual(), 0);
    Tecla(Qt::Key_Return);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(m.ValorDevuelto.toString(), "Q001");
}

TEST_F(VentanaLista, F5LlegaMasAllaDeLasPrimerasMilFilas) {
    // A thousand articles sort before the one sought.
    for (int bloque = 0; bloque < 10; ++bloque) {
        QStringList filas;
        for (int i = 0; i < 100; ++i) {
            const int n = bloque * 100 + i;
            filas << QStringLiteral("('R%1','AAA ACEITE %1')").arg(n, 4, 10, QLatin1Char('0'));
        }
        Ejecuta(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ") + filas.join(','));
    }
    Ejecuta(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ('Q999','ZZ TUERCA QUENVAR')"));
    m.sql = QStringLiteral("SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = "
                           "0 ORDER BY DESCRIPCION");
    m.CmpsDevueltos.clear();
    ASSERT_TRUE(m.Carga());
    Lib_FrmCons3Ventana w(m);
    ASSERT_TRUE(Activa(w));
    ASSERT_EQ(w.ListView1->model()->rowCount(), 1000);
    w.CmbSearch[0]->setFocus();
    Escribe(QStringLiteral("zz tuerca"));
    EXPECT_EQ(m.FilaActual(), -1);   // not among the rows loaded
    Tecla(Qt::Key_F5);
    ASSERT_EQ(w.ListView1->model()->rowCount(), 1);
    EXPECT_EQ(w.CmbSearch[0]->currentText(), "");
    Tecla(Qt::Key_Down);
    EXPECT_EQ(Foco(), w.ListView1);
    Tecla(Qt::Key_Return);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(m.ValorDevuelto.toString(), "Q999");
}

TEST_F(VentanaLista, EnterAceptaEscCancelaYLoTecleadoVaALaCaja) {
    ASSERT_TRUE(m.Carga());
    {
        Lib_FrmCons3Ventana w(m);
        ASSERT_TRUE(Activa(w));
        w.ListView1->setFocus();
        Escribe(QStringLiteral("bu"));   // to the last used box (the first)
        EXPECT_EQ(Foco(), w.CmbSearch[0]);
        EXPECT_EQ(w.CmbSearch[0]->currentText(), "bu");   // as typed
        EXPECT_EQ(w.ListView1->currentIndex().row(), 2);
        w.ListView1->setFocus();
        Tecla(Qt::Key_Return);
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_EQ(m.ValorDevuelto.toString(), "Q004");
        EXPECT_EQ(m.Valores, QVariantList{QStringLiteral("BULON")});
    }
    {
        Lib_FrmCons3Ventana w(m);
        ASSERT_TRUE(Activa(w));
        Tecla(Qt::Key_Escape);   // from the search box
        EXPECT_EQ(w.result(), QDialog::Rejected);
        EXPECT_EQ(m.ValorDevuelto.toString(), "");
        EXPECT_TRUE(m.Valores.isEmpty());
    }
}

TEST_F(VentanaLista, LaVentanaCabeEnLaPantallaYCadaEncabezadoSeLee) {
    const QRect pantalla = QGuiApplication::primaryScreen()->availableGeometry();
    // Wider than the screen: the screen less its margin, the list scrolling.
    m.sql = QStringLiteral("SELECT DESCRIPCION, IDARTICULO, DESCRIPCION AS D2, DESCRIPCION AS D3 FROM VT_MA_ARTICULOS "
                           "WHERE IdArticulo LIKE 'Q%'");
    ASSERT_TRUE(m.Carga());
    {
        Lib_FrmCons3Ventana w(m);
        ASSERT_TRUE(Activa(w));
        ASSERT_GT(m.CalcularAncho(pantalla.width() * 15).AnchoLista + 360, pantalla.width() * 15);
        EXPECT_EQ(w.width(), pantalla.width() - 480 / 15);
        EXPECT_GT(w.ListView1->horizontalScrollBar()->maximum(), 0);
    }
    // A picker: its list and the margins.
    Lib_FrmCons3 p;
    p.Caption = p.CampoDevuelto = QStringLiteral("Colores");
    p.AnchoTwips = 60 * 120;
    p.Opciones = {{QString(60, QLatin1Char('x')), false}, {QStringLiteral("Verde"), false}};
    ASSERT_TRUE(p.Carga());
    {
        Lib_FrmCons3Ventana w(p);
        ASSERT_TRUE(Activa(w));
        EXPECT_EQ(w.width(), (60 * 120 + 360 + 280 + 7) / 15);
    }
    // Narrow code and flag columns still show their headers whole.
    Ejecuta(QStringLiteral("CREATE TABLE PRUEBA_ESTADOS (CODIGO char(6) NOT NULL PRIMARY KEY, Activo bit NULL)"));
    Ejecuta(QStringLiteral("INSERT INTO PRUEBA_ESTADOS (CODIGO, Activo) VALUES ('A1',1),('B2',0)"));
    Lib_FrmCons3 e;
    e.sql = QStringLiteral("SELECT CODIGO, Activo FROM PRUEBA_ESTADOS ORDER BY CODIGO");
    e.GrabarCfg = false;
    ASSERT_TRUE(e.Carga());
    Lib_FrmCons3Ventana w(e);
    ASSERT_TRUE(Activa(w));
    QHeaderView* h = w.ListView1->horizontalHeader();
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(w.ListView1->columnWidth(i), h->sectionSizeHint(i));
        EXPECT_GE(w.ListView1->columnWidth(i), h->fontMetrics().horizontalAdvance(e.Columnas()[i].Encabezado) + 12);
    }
    EXPECT_EQ(w.ListView1->model()->index(0, 1).data().toString(), "Sí");
    EXPECT_EQ(w.ListView1->model()->index(1, 1).data().toString(), "No");
}

TEST_F(VentanaLista, LasFilasEnNegritaDeDiezPuntos) {
    ASSERT_TRUE(m.Carga());
    Lib_FrmCons3 c;
    c.sql = m.sql;
    c.MuestraStock = QStringLiteral("SI");
    c.StkNivel4 = 255;   // every row coloured: red
    c.GrabarCfg = false;
    ASSERT_TRUE(c.Carga());
    Delegado d;
    for (Lib_FrmCons3* modelo : {&m, &c}) {
        Lib_FrmCons3Ventana w(*modelo);
        ASSERT_TRUE(Activa(w));
        EXPECT_FALSE(w.styleSheet().isEmpty());   // the skin, which must not undo the font
        const QStyleOptionViewItem o = d.Opcion(*w.ListView1, w.ListView1->model()->index(0, 0));
        EXPECT_TRUE(o.font.bold());
        EXPECT_EQ(o.font.pointSize(), 10);
        if (modelo == &c) {
            EXPECT_EQ(o.palette.color(QPalette::Text), QColor(255, 0, 0));
        }
    }
}

TEST_F(VentanaLista, MarcarSoloConCasillasYConAltM) {
    auto marcadas = [](const Lib_FrmCons3& x) {
        int n = 0;
        for (const auto& f : x.Filas()) n += f.Marcada;
        return n;
    };
    m.CheckBoxes = true;
    ASSERT_TRUE(m.Carga());
    {
        Lib_FrmCons3Ventana w(m);
        ASSERT_TRUE(Activa(w));
        EXPECT_TRUE(w.CmdTodos->isVisible());
        // A mnemonic clicks its button after a short press.
        Tecla(Qt::Key_M, Qt::AltModifier);   // from the search box
        EXPECT_TRUE(QTest::qWaitFor([&] { return marcadas(m) == 5; }, 2000));
        w.ListView1->setFocus();
        Tecla(Qt::Key_M, Qt::AltModifier);   // from the list: not typed into the box
        EXPECT_TRUE(QTest::qWaitFor([&] { return marcadas(m) == 0; }, 2000));
        EXPECT_EQ(w.CmbSearch[0]->currentText(), "");
        EXPECT_EQ(w.ListView1->model()->index(0, 0).data(Qt::CheckStateRole), Qt::Unchecked);
    }
    m.CheckBoxes = false;
    ASSERT_TRUE(m.Carga());
    {
        Lib_FrmCons3Ventana w(m);
        ASSERT_TRUE(Activa(w));
        EXPECT_FALSE(w.CmdTodos->isVisible());
        Tecla(Qt::Key_M, Qt::AltModifier);
        QTest::qWait(300);
        EXPECT_EQ(marcadas(m), 0);
    }
    // The multiple-choice picker: Alt+M inverts the options' checks.
    UsaVentanasConsulta();
    bool visible = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<Lib_FrmCons3Ventana*>(QApplication::activeModalWidget());
        if (!w || !Activa(*w)) return;
        visible = w->CmdTodos->isVisible();
        Tecla(Qt::Key_M, Qt::AltModifier);
        QTest::qWait(300);
        Tecla(Qt::Key_Return);
    });
    Lib_ClsCons3& motor = ElMotorConsultas();
    motor.CheckOpciones(QStringLiteral("Colores"), nullptr, {QStringLiteral("1Rojo"), QStringLiteral("0Verde")});
    EXPECT_TRUE(visible);
    EXPECT_EQ(motor.Valores, QVariantList{QStringLiteral("Verde")});
    EstableceVentanasConsulta({});
}

TEST_F(VentanaLista, LaFabricaMuestraLaListaModal) {
    UsaVentanasConsulta();
    std::unique_ptr<VentanaConsulta> v = CreaVentanaConsulta(TipoVentanaConsulta::Lista);
    ASSERT_TRUE(v);
    v->sql = m.sql;
    v->CampoDevuelto = QStringLiteral("IDARTICULO");
    v->FiltroInicial = QStringLiteral("tuer");
    bool visto = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<Lib_FrmCons3Ventana*>(QApplication::activeModalWidget());
        if (!w || !Activa(*w)) return;
        visto = true;
        Tecla(Qt::Key_Return);   // the initial text found the row
    });
    v->MuestraModal();
    EXPECT_TRUE(visto);
    EXPECT_EQ(v->ValorDevuelto.toString(), "Q005");
    EstableceVentanasConsulta({});
}

}  // namespace
