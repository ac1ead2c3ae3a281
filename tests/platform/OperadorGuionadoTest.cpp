#include "platform/OperadorGuionado.h"

#include "platform/Guardia.h"
#include "tests/support/Soporte.h"

#include <gtest/gtest-spi.h>

TEST(OperadorGuionado, TranscripcionYCola) {
    OperadorDePrueba op;
    op.Responde(vbYes).RespondeEntrada(QStringLiteral("clave")).RespondeArchivo({false, QStringLiteral("/t/a.htm")});
    EXPECT_EQ(ElOperador().Mensaje(QStringLiteral("¿Seguro?"), vbYesNo + vbQuestion, QStringLiteral("Aviso")),
              vbYes);
    EXPECT_EQ(ElOperador().Entrada(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access")),
              QStringLiteral("clave"));
    PedidoArchivo p;
    p.guardar = true;
    p.filtro = QStringLiteral("Páginas Web (*.htm)|*.htm|");
    auto r = ElOperador().Archivo(p);
    EXPECT_FALSE(r.cancelado);
    EXPECT_EQ(r.nombre, QStringLiteral("/t/a.htm"));
    EXPECT_TRUE(ElOperador().AbreDocumento(QStringLiteral("/t/a.htm")));
    ElOperador().ProcesaEventos();

    ASSERT_EQ(op.Transcripcion().size(), 4u);
    const Aviso& a = op.Transcripcion()[0];
    EXPECT_EQ(a.texto, QStringLiteral("¿Seguro?"));
    EXPECT_EQ(a.titulo, QStringLiteral("Aviso"));
    EXPECT_EQ(a.botones, 36);
    EXPECT_EQ(op.Transcripcion()[2].pedido.filtro, p.filtro);
    EXPECT_EQ(op.Transcripcion()[3].tipo, Aviso::Tipo::Documento);
    EXPECT_EQ(op.EventosProcesados(), 1);
    EXPECT_EQ(op.Pendientes(), 0u);
}

TEST(OperadorGuionado, PreguntaSinRespuestaFallaLaPrueba) {
    EXPECT_NONFATAL_FAILURE(
        {
            OperadorDePrueba op;
            // Not caught by a step guard either.
            Guardia g([](const Fallo&) { return 5; });
            EXPECT_THROW(g.Paso([] { ElOperador().Mensaje(QStringLiteral("hola")); }), SinRespuesta);
        },
        "Pregunta sin respuesta: hola");
}

TEST(OperadorGuionado, RespuestaDeOtroTipoNoSirve) {
    OperadorGuionado op;
    bool falto = false;
    op.AlFaltarRespuesta([&](const Aviso&) { falto = true; });
    op.RespondeEntrada(QStringLiteral("x"));
    EXPECT_THROW(op.Mensaje(QStringLiteral("m"), 0, {}), SinRespuesta);
    EXPECT_TRUE(falto);
}

TEST(OperadorGuionado, RespondedorDeReserva) {
    OperadorGuionado op;
    op.EstableceRespondedor([](const Aviso& a) -> std::optional<OperadorGuionado::Respuesta> {
        if (a.tipo == Aviso::Tipo::Mensaje) return OperadorGuionado::Respuesta{vbNo};
        return std::nullopt;
    });
    op.Responde(vbYes);
    EXPECT_EQ(op.Mensaje(QStringLiteral("1"), vbYesNo, {}), vbYes);  // the queue first
    EXPECT_EQ(op.Mensaje(QStringLiteral("2"), vbYesNo, {}), vbNo);
    EXPECT_THROW(op.Entrada(QStringLiteral("?"), {}, {}), SinRespuesta);
}

TEST(OperadorGuionado, SinOperadorEstablecidoNadaPasaEnSilencio) {
    EstableceOperador(nullptr);
    EXPECT_THROW(ElOperador().Mensaje(QStringLiteral("x")), SinRespuesta);
}
