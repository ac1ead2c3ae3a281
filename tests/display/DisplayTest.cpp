// The progress sign driven through Dll_Display, window-less and with a view.

#include <gtest/gtest.h>

#include "display/Dll_Display.h"
#include "tests/support/Soporte.h"

namespace {

struct VistaContada : VistaDisplay {
    static inline int creadas = 0, mostradas = 0, ocultadas = 0, repintadas = 0;
    VistaContada() { ++creadas; }
    void Muestra(const Lbf_CtrlDisplay&) override { ++mostradas; }
    void Repinta(const Lbf_CtrlDisplay&) override { ++repintadas; }
    void Oculta() override { ++ocultadas; }
};

class Display : public ::testing::Test {
protected:
    OperadorDePrueba op;
    Dll_Display d;
};

}  // namespace

TEST_F(Display, LineasCancelacionYCierre) {
    bool cancelado = true;
    d.CartelInicio("Recodificacion de Articulos", false);
    ASSERT_NE(d.Ventana(), nullptr);
    EXPECT_TRUE(d.Ventana()->Visible);
    EXPECT_FALSE(d.Ventana()->CmdDisplayCancelarVisible);
    EXPECT_EQ(d.Ventana()->Caption, "Recodificacion de Articulos");
    EXPECT_EQ(d.Ventana()->CmdDisplayCancelar, "&Cancelar");

    d.CartelMostrar(cancelado, QVariant("uno"), QVariant("dos"), QVariant("tres"));
    EXPECT_FALSE(cancelado);
    // Only the second line given: the others keep their text; null shows "".
    d.CartelMostrar(cancelado, std::nullopt, QVariant("otro"));
    EXPECT_EQ(d.Ventana()->LblCtrol, (std::array<QString, 3>{"uno", "otro", "tres"}));
    d.CartelMostrar(cancelado, QVariant(), std::nullopt, QVariant(12));
    EXPECT_EQ(d.Ventana()->LblCtrol, (std::array<QString, 3>{"", "otro", "12"}));
    EXPECT_EQ(op.EventosProcesados(), 3);  // one yield per call

    // Clicked: every later call tells so, until the window is released.
    d.Ventana()->CmdDisplayCancelar_Click();
    d.CartelMostrar(cancelado);
    EXPECT_TRUE(cancelado);
    d.CartelMostrar(cancelado);
    EXPECT_TRUE(cancelado);
    d.Ventana()->CmdDisplayCancelar = "abortado";  // the comparison is exact
    d.CartelMostrar(cancelado);
    EXPECT_FALSE(cancelado);

    d.CartelCerrar();
    EXPECT_EQ(d.Ventana(), nullptr);
    d.CartelCerrar();  // closing a closed sign is no failure
    // After closing, a new window is loaded but not shown.
    d.CartelMostrar(cancelado, QVariant("x"));
    ASSERT_NE(d.Ventana(), nullptr);
    EXPECT_FALSE(d.Ventana()->Visible);
    EXPECT_FALSE(cancelado);
    EXPECT_EQ(d.ValorTexto(QVariant()), "");
    EXPECT_EQ(d.ValorTexto(QVariant(3.5)), "3.5");
}

TEST_F(Display, AnimacionYVista) {
    EstableceVistaDisplay([] { return std::make_unique<VistaContada>(); });
    d.CartelInicio("t", true);
    Lbf_CtrlDisplay& v = *d.Ventana();
    EXPECT_EQ(VistaContada::creadas, 1);
    EXPECT_EQ(VistaContada::mostradas, 1);
    EXPECT_EQ(v.Image1, 1);
    QList<int> cuadros;
    for (int k = 0; k < 14; ++k) {
        v.Timer1_Timer();
        cuadros << v.Image1;
    }
    EXPECT_EQ(cuadros, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2}));
    bool cancelado = false;
    d.CartelMostrar(cancelado, QVariant("a"));
    EXPECT_GE(VistaContada::repintadas, 15);
    d.CartelCerrar();
    EXPECT_EQ(VistaContada::ocultadas, 1);
    EstableceVistaDisplay({});
}
