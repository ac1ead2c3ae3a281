// The progress sign's window, driven through Dll_Display on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "display/Dll_Display.h"
#include "display/Lbf_CtrlDisplayVentana.h"
#include "platform/qt/OperadorQt.h"
#include "tests/support/Soporte.h"

namespace {

Lbf_CtrlDisplayVentana* LaVentana() {
    Lbf_CtrlDisplayVentana* v = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* c = qobject_cast<Lbf_CtrlDisplayVentana*>(w)) {
            EXPECT_EQ(v, nullptr) << "más de una ventana del cartel";
            v = c;
        }
    return v;
}

void EsperaMs(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class VentanaDisplay : public ::testing::Test {
protected:
    void SetUp() override { InstalaVentanaDisplay(); }
    void TearDown() override {
        d.CartelCerrar();
        EstableceVistaDisplay({});
    }
    OperadorDePrueba op;
    Dll_Display d;
};

}  // namespace

TEST_F(VentanaDisplay, LineasBotonYCierre) {
    bool cancelado = true;
    d.CartelInicio("Recodificacion de Articulos", false);
    QPointer<Lbf_CtrlDisplayVentana> v = LaVentana();
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->windowTitle(), "Recodificacion de Articulos");
    EXPECT_TRUE(v->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(v->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_NEAR(v->windowOpacity(), 200.0 / 255.0, 0.01);
    const QRect pantalla = v->screen()->geometry();
    EXPECT_LE((v->frameGeometry().center() - pantalla.center()).manhattanLength(), 2);
    EXPECT_FALSE(v->CmdDisplayCancelar()->isVisible());

    d.CartelMostrar(cancelado, QVariant("Articulo 12 de 340"), QVariant("0001234"), QVariant("Espere"));
    d.CartelMostrar(cancelado, std::nullopt, QVariant("0001235"));
    EXPECT_FALSE(cancelado);
    EXPECT_EQ(v->LblCtrol(0)->text(), "Articulo 12 de 340");
    EXPECT_EQ(v->LblCtrol(1)->text(), "0001235");
    EXPECT_EQ(v->LblCtrol(2)->text(), "Espere");
    EXPECT_TRUE(v->LblCtrol(0)->font().bold());
    EXPECT_EQ(v->LblCtrol(0)->alignment(), Qt::AlignCenter);

    // White inside; the line's text painted; a line wider than the window
    // does not change the window's size.
    const QSize tam = v->size();
    d.CartelMostrar(cancelado, std::nullopt, std::nullopt, QVariant(QString(300, 'W')));
    EXPECT_EQ(v->size(), tam);
    const QImage img = v->grab().toImage();
    EXPECT_EQ(img.pixelColor(img.width() / 4, img.height() - 12), QColor(Qt::white));
    const QImage linea = v->LblCtrol(0)->grab().toImage();
    bool tinta = false;
    for (int x = 0; x < linea.width() && !tinta; ++x)
        for (int y = 0; y < linea.height() && !tinta; ++y) tinta = linea.pixelColor(x, y).value() < 80;
    EXPECT_TRUE(tinta);

    // Back among normal windows: still shown, where and as large as it was.
    const QPoint donde = v->pos();
    d.SetSiempre_Visible(false);
    EXPECT_TRUE(v->isVisible());
    EXPECT_FALSE(v->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(v->size(), tam);
    EXPECT_EQ(v->pos(), donde);

    d.CartelCerrar();
    EXPECT_TRUE(v.isNull());
    EXPECT_EQ(LaVentana(), nullptr);
}

TEST_F(VentanaDisplay, CancelarMuestraAbortado) {
    bool cancelado = true;
    d.CartelInicio("Proceso", true);
    Lbf_CtrlDisplayVentana* v = LaVentana();
    ASSERT_NE(v, nullptr);
    QPushButton* b = v->CmdDisplayCancelar();
    EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(b->text(), "&Cancelar");
    EXPECT_GE(b->width(), 113);
    d.CartelMostrar(cancelado);
    EXPECT_FALSE(cancelado);

    b->click();
    EXPECT_EQ(b->text(), "Abortado");
    d.CartelMostrar(cancelado, QVariant("sigue"));
    EXPECT_TRUE(cancelado);
    EXPECT_EQ(b->text(), "Abortado");  // a later repaint keeps it

    // A fresh sign after closing starts with the button's caption again.
    d.CartelCerrar();
    d.CartelInicio("Otro", true);
    ASSERT_NE(LaVentana(), nullptr);
    EXPECT_EQ(LaVentana()->CmdDisplayCancelar()->text(), "&Cancelar");
}

TEST_F(VentanaDisplay, AnimacionMientrasCorreUnaTarea) {
    // The real operator: each CartelMostrar yields to the window system, so
    // the timer gets its turn while the loop runs.
    struct ConOperadorQt {
        OperadorQt qt;
        Operador& antes = ElOperador();
        ConOperadorQt() { EstableceOperador(&qt); }
        ~ConOperadorQt() { EstableceOperador(&antes); }
    } conQt;
    d.CartelInicio("Recodificando", false);
    Lbf_CtrlDisplayVentana* v = LaVentana();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->Timer1()->interval(), 100);
    EXPECT_TRUE(v->Timer1()->isActive());
    EXPECT_EQ(v->Image1()->Cuadro(), 1);
    const QImage primero = v->Image1()->grab().toImage();

    QList<int> vistos;
    QElapsedTimer t;
    t.start();
    bool cancelado = false;
    for (int i = 1; t.elapsed() < 700; ++i) {
        QElapsedTimer trabajo;
        trabajo.start();
        while (trabajo.elapsed() < 15) {
        }
        d.CartelMostrar(cancelado, QVariant(QStringLiteral("Articulo %1").arg(i)));
        if (vistos.isEmpty() || vistos.back() != v->Image1()->Cuadro()) vistos << v->Image1()->Cuadro();
    }
    EXPECT_GE(vistos.size(), 3);  // about seven ticks in 700 ms
    EXPECT_EQ(v->Image1()->Cuadro(), d.Ventana()->Image1);
    EXPECT_TRUE(v->LblCtrol(0)->text().startsWith("Articulo "));
    EXPECT_NE(v->Image1()->grab().toImage(), primero);

    // Frames follow 1..12 and start again; each draws a different picture.
    v->Timer1()->stop();
    QList<QImage> cuadros;
    for (int k = 0; k < 13; ++k) {
        d.Ventana()->Timer1_Timer();
        cuadros << v->Image1()->grab().toImage();
    }
    EXPECT_EQ(cuadros[12], cuadros[0]);
    for (int k = 1; k < 12; ++k) EXPECT_NE(cuadros[k], cuadros[k - 1]) << k;

    d.CartelCerrar();
    EsperaMs(150);  // a timer left running would touch a released state here
}

TEST_F(VentanaDisplay, NoImpideCerrarLaAplicacion) {
    // A sign still shown when the program quits does not hold the quitting up.
    d.CartelInicio("Proceso", false);
    ASSERT_NE(LaVentana(), nullptr);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
}

TEST_F(VentanaDisplay, SeApartaMientrasUnaPreguntaEsperaAlOperador) {
    d.CartelInicio("Recodificacion de Articulos", false);
    Lbf_CtrlDisplayVentana* v = LaVentana();
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->isVisible());
    // A question: the sign does not say "wait" over it.
    QMessageBox pregunta(QMessageBox::Question, "Aviso al operador", "¿Desea continuar?", QMessageBox::Yes | QMessageBox::No);
    pregunta.setModal(true);
    pregunta.show();
    EsperaMs(20);
    EXPECT_FALSE(v->isVisible());
    EXPECT_TRUE(v->Apartado());
    // Lines shown meanwhile wait for the answer.
    bool cancelado = false;
    d.CartelMostrar(cancelado, QString("1 10001"));
    EXPECT_FALSE(v->isVisible());
    pregunta.hide();
    EsperaMs(20);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->LblCtrol(0)->text(), "1 10001");
    // Closed while apart: it does not come back.
    pregunta.show();
    EsperaMs(20);
    d.CartelCerrar();
    pregunta.hide();
    EsperaMs(20);
    EXPECT_EQ(LaVentana(), nullptr);
}

// A long database wait: the sign says what is waited for (its own sign when
// none shows, else the task's third line), pending events other than the
// operator's are handled meanwhile, and the end puts everything back.
TEST_F(VentanaDisplay, UnaEsperaLargaSeMuestraYLaVentanaSigueViva) {
    ASSERT_TRUE(HayOyenteEspera());
    bool atendido = false;
    QTimer::singleShot(0, [&] { atendido = true; });
    AvisaEspera({QStringLiteral("Esperando un bloqueo de otro usuario"), 1700, 30000, false});
    EXPECT_TRUE(atendido);
    EXPECT_TRUE(EsperaEnCurso());
    QPointer<Lbf_CtrlDisplayVentana> v = LaVentana();
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->windowTitle(), "Espere por favor");
    EXPECT_EQ(v->LblCtrol(2)->text(), "Esperando un bloqueo de otro usuario (1 s de 30)");
    AvisaEspera({{}, 2000, 30000, true});
    EXPECT_FALSE(EsperaEnCurso());
    EXPECT_TRUE(v.isNull());

    // Over a task's sign: its third line comes back, the sign stays.
    bool cancelado = false;
    ElCartel().CartelInicio(QStringLiteral("Recodificacion de Articulos"), true);
    ElCartel().CartelMostrar(cancelado, QVariant("1 A"), QVariant("desc"), QVariant("B"));
    AvisaEspera({QStringLiteral("Esperando la respuesta del servidor"), 600, 0, false});
    v = LaVentana();
    ASSERT_TRUE(v);
    EXPECT_EQ(v->windowTitle(), "Recodificacion de Articulos");
    EXPECT_EQ(v->LblCtrol(2)->text(), "Esperando la respuesta del servidor (0 s)");
    AvisaEspera({{}, 700, 0, true});
    EXPECT_FALSE(v.isNull());
    EXPECT_EQ(v->LblCtrol(2)->text(), "B");
    EXPECT_EQ(v->LblCtrol(0)->text(), "1 A");
    ElCartel().CartelCerrar();
}
