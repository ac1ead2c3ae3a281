#include "platform/Guardia.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
Fallo F(int n) { return Fallo(n, QStringLiteral("falla %1").arg(n), QStringLiteral("prueba")); }
}  // namespace

// The three answers: retry runs the failed step again, ignore goes on with
// the next step, anything else leaves with the default.
TEST(Guardia, ReintentarIgnorarAbandonar) {
    std::vector<int> respuestas{4, 5};
    std::vector<int32_t> vistos;
    Guardia g([&](const Fallo& f) {
        vistos.push_back(f.Numero());
        int r = respuestas.front();
        respuestas.erase(respuestas.begin());
        return r;
    });
    int intentos = 0;
    std::vector<int> hechos;
    bool sigue = g.Ejecuta({
        [&] {
            if (++intentos == 1) throw F(11);
            hechos.push_back(1);
        },
        [&] { throw F(22); },
        [&] { hechos.push_back(3); },
    });
    EXPECT_TRUE(sigue);
    EXPECT_EQ(intentos, 2);
    EXPECT_EQ(hechos, (std::vector<int>{1, 3}));
    EXPECT_EQ(vistos, (std::vector<int32_t>{11, 22}));

    Guardia abandona([](const Fallo&) { return 3; });
    bool tercero = false;
    EXPECT_FALSE(abandona.Ejecuta({[] { throw F(7); }, [&] { tercero = true; }}));
    EXPECT_FALSE(tercero);
    EXPECT_TRUE(abandona.Abandonado());
    EXPECT_FALSE(abandona.Paso([&] { tercero = true; }));  // left for good
    EXPECT_FALSE(tercero);
}

TEST(Guardia, OpcionesPorRutina) {
    int dialogos = 0;
    Guardia g([&](const Fallo&) {
        ++dialogos;
        return 5;
    });
    g.Silencia(5).Antes([](const Fallo& f) {
        return f.Numero() == 3219 ? Guardia::Decision::Seguir : Guardia::Decision::Dialogo;
    });
    EXPECT_TRUE(g.Paso([] { throw F(5); }));
    EXPECT_TRUE(g.Paso([] { throw F(3219); }));
    EXPECT_EQ(dialogos, 0);
    EXPECT_TRUE(g.Paso([] { throw F(9); }));
    EXPECT_EQ(dialogos, 1);
    ASSERT_TRUE(g.UltimoFallo());
    EXPECT_EQ(g.UltimoFallo()->Numero(), 9);
}

TEST(Guardia, ExcepcionesEstandarSonFallos) {
    int32_t numero = 0;
    Guardia g([&](const Fallo& f) {
        numero = f.Numero();
        return 3;
    });
    EXPECT_FALSE(g.Paso([] { throw std::out_of_range("x"); }));
    EXPECT_EQ(numero, 9);
}

// Something that is not a failure of ours (an unanswered scripted prompt)
// passes through the guard untouched.
TEST(Guardia, LoAjenoAtraviesa) {
    struct Ajeno {};
    Guardia g([](const Fallo&) { return 4; });
    EXPECT_THROW(g.Paso([] { throw Ajeno{}; }), Ajeno);
}
