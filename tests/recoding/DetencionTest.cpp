// A run stopped between codes (by the model, by the sign's cancel button,
// among size variants) leaves nothing half done and keeps the rows not
// processed; every run leaves an undo list that a second run applies.

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "display/Dll_Display.h"
#include "recoding/Deshacer.h"
#include "tests/recoding/PruebaCorrida.h"

namespace {

// Calls `accion` after the n-th code sent.
struct DetieneTras : RegistroCorrida {
    int n = 0;
    std::function<void()> accion;
    void Recodificado(const ResultadoCodigo& r) override {
        RegistroCorrida::Recodificado(r);
        if (static_cast<int>(codigos.size()) == n && accion) accion();
    }
};

ResultadoCodigo Codigo(const QString& viejo, const QString& nuevo, TipoPlan tipo, bool error = false) {
    ResultadoCodigo r;
    r.viejo = viejo;
    r.nuevo = nuevo;
    r.tipo = tipo;
    r.error = error;
    return r;
}

}  // namespace

TEST(Deshacer, SoloLoQueSePuedeRevertirEnOrdenInverso) {
    const ListaDeshacer l = ArmaDeshacer({
        Codigo("A", "A1", TipoPlan::Copia),
        Codigo("B", "B1", TipoPlan::Fusion),             // a merge
        Codigo("C", "C1", TipoPlan::Copia, true),        // failed: nothing changed
        Codigo("D", "D1", TipoPlan::Copia),              // copied, then E merged into it
        Codigo("E", "d1", TipoPlan::Fusion),
        Codigo("abc", "ABC", TipoPlan::EnSitio),
        Codigo("F", "F1", TipoPlan::Estadisticas),
        Codigo("   G", "G1", TipoPlan::Copia),           // stored with leading blanks
        Codigo("H,1", "H2", TipoPlan::Copia),            // not expressible in the import format
        Codigo("A1", "A2", TipoPlan::Copia),             // a chain run in a safe order: reverted in reverse
    });
    EXPECT_EQ(l.lineas, (QStringList{"A2,A1", "ABC,abc", "A1,A"}));
    EXPECT_EQ(l.noReversibles.size(), 6);
    EXPECT_TRUE(l.noReversibles[0].startsWith("B → B1 (fusión)"));
    EXPECT_TRUE(l.noReversibles[1].startsWith("D → D1 (el código nuevo recibió otros artículos)"));
    EXPECT_FALSE(l.noReversibles.join("|").contains("C → C1"));
}

class Detencion : public PruebaCorrida {
protected:
    void SetUp() override {
        PruebaCorrida::SetUp();
        frm.Vista = &detiene;
        // The list's findings (columns of the demo no plan touches) are read
        // and passed; an existing new code (the undo of a case change) accepted.
        op.EstableceRespondedor([](const Aviso& a) -> std::optional<OperadorGuionado::Respuesta> {
            if (a.tipo == Aviso::Tipo::Eleccion) return RespuestaEleccion{0};
            if (a.texto.contains("ya existe,")) return vbYes;
            return std::nullopt;
        });
    }
    // Plain articles with movements onto new codes; their references before.
    void Lista(int n) {
        for (int i = 0; i < n; ++i) {
            const QString c = ConMovimientos(i);
            ASSERT_FALSE(c.isEmpty());
            viejos << c;
            antes << Referencias(c);
            Fila(c, "d" + QString::number(i), "DET-" + QString::number(i));
        }
    }
    // Rows up to `hechas` fully at their new code, the rest untouched.
    void NadaAMedias(int hechas) {
        for (int i = 0; i < viejos.size(); ++i) {
            const auto viejo = Referencias(viejos[i]), nuevo = Referencias("DET-" + QString::number(i));
            for (auto it = antes[i].cbegin(); it != antes[i].cend(); ++it) {
                if (i < hechas) {
                    EXPECT_EQ(viejo[it.key()], 0) << viejos[i].toStdString() << " " << it.key().toStdString();
                    if (it.key() != "V_MA_Precios_Borrador") {
                        EXPECT_EQ(nuevo[it.key()], it.value()) << it.key().toStdString();
                    }
                } else {
                    EXPECT_EQ(viejo[it.key()], it.value()) << viejos[i].toStdString() << " " << it.key().toStdString();
                    EXPECT_EQ(nuevo[it.key()], 0);
                }
            }
        }
    }

    DetieneTras detiene;
    QStringList viejos;
    QVector<QMap<QString, long>> antes;
};

TEST_F(Detencion, PedidaEntreCodigosDejaLasFilasPendientesEnLaGrilla) {
    Lista(5);
    detiene.n = 2;
    detiene.accion = [&] { frm.PideDetener(); };
    op.Responde(vbNo);
    frm.UtilKor1_Click("GRABAR");

    EXPECT_EQ(detiene.Pasos().size(), 2);
    NadaAMedias(2);
    const FrmEMRecodifica::ResumenCorrida& r = frm.UltimaCorrida();
    EXPECT_TRUE(r.detenida);
    EXPECT_EQ(r.Correctos(), 2);
    EXPECT_EQ(r.pendientes.size(), 3);
    // The witness has the processed rows only; the grid the rest, ready to run.
    EXPECT_EQ(ArchivoTexto::Lineas(LeeArchivo(RutaTestigo())),
              (QStringList{viejos[0] + ",d0,DET-0", viejos[1] + ",d1,DET-1", ",,"}));
    const Grilla& g = frm.MSFlexGrid1;
    ASSERT_EQ(g.Rows(), 5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g.TextMatrix(i + 1, 0), viejos[i + 2]);
        EXPECT_EQ(g.TextMatrix(i + 1, 1), "d" + QString::number(i + 2));
        EXPECT_EQ(g.TextMatrix(i + 1, 2), "DET-" + QString::number(i + 2));
    }
    EXPECT_EQ(g.TextMatrix(4, 0), "");
    EXPECT_EQ(frm.LblCodigo, "Correctos: 2, con error: 0. DETENIDA: 3 filas pendientes.");
    EXPECT_TRUE(frm.LblCodigoDetalle.startsWith("Deshacer: ")) << frm.LblCodigoDetalle.toStdString();
    EXPECT_TRUE(frm.LblCodigoDetalle.contains("\nPendientes: ")) << frm.LblCodigoDetalle.toStdString();
    EXPECT_EQ(ArchivoTexto::Lineas(LeeArchivo(r.archivoDeshacer)),
              (QStringList{"DET-1," + viejos[1], "DET-0," + viejos[0]}));
    EXPECT_TRUE(DisparadoresActivos());

    // The rest runs later; the stop request does not outlive its run.
    detiene.accion = nullptr;
    op.Responde(vbNo);
    frm.UtilKor1_Click("GRABAR");
    EXPECT_FALSE(frm.UltimaCorrida().detenida);
    NadaAMedias(5);
    EXPECT_EQ(frm.MSFlexGrid1.Rows(), 2);
}

TEST_F(Detencion, ElBotonCancelarDelCartelDetieneTrasLaFila) {
    Lista(3);
    detiene.n = 1;
    detiene.accion = [] {
        ASSERT_TRUE(ElCartel().Ventana());
        EXPECT_TRUE(ElCartel().Ventana()->CmdDisplayCancelarVisible);
        ElCartel().Ventana()->CmdDisplayCancelar_Click();
    };
    Corre();
    EXPECT_EQ(detiene.Pasos().size(), 1);
    NadaAMedias(1);
    EXPECT_EQ(frm.UltimaCorrida().pendientes.size(), 2);
    // A stopped run says so.
    EXPECT_EQ(op.Mensajes(), QStringList{QString(kPreguntaTestigo).replace(
                                 "Proceso FINALIZADO.", "Proceso DETENIDO: 2 filas quedaron pendientes para otra corrida.")});
}

TEST_F(Detencion, UnaCargaPorPrefijoDetenidaSigueCambiandoElRubroAlReanudar) {
    Lista(4);
    frm.CargaPorPrefijo = true;
    frm.TxtPrefijoNvo = "RZ";
    detiene.n = 2;
    detiene.accion = [&] { frm.PideDetener(); };
    op.Responde(vbNo);
    frm.UtilKor1_Click("GRABAR");
    ASSERT_EQ(frm.UltimaCorrida().pendientes.size(), 2);
    // The rows put back are still a prefix load: the rest take the new rubro too.
    EXPECT_TRUE(frm.CargaPorPrefijo);
    detiene.accion = nullptr;
    op.Responde(vbNo);
    frm.UtilKor1_Click("GRABAR");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Texto::Trim(Valor("SELECT IDRUBRO FROM V_MA_ARTICULOS WHERE IdArticulo = 'DET-" + QString::number(i) + "'")),
                  "RZ")
            << i;
    EXPECT_FALSE(frm.CargaPorPrefijo);
}

TEST_F(Detencion, EntreTallesLaFilaQuedaYLuegoTerminaSuArticulo) {
    AgregaArticulo("T_1", "Base");
    AgregaArticulo("T_1|S", "Talle S", "S");
    AgregaArticulo("T_1|M", "Talle M", "M");
    Fila("T_1", "d", "NUEVO-T");
    detiene.n = 1;
    detiene.accion = [&] { frm.PideDetener(true); };
    // Closing: no question at the end, the traces still written.
    frm.ProcesoPrincipal();
    EXPECT_TRUE(op.Mensajes().isEmpty());
    EXPECT_EQ(detiene.Pasos(), QStringList{"T_1|M|copia|OK"});
    EXPECT_EQ(frm.UltimaCorrida().pendientes.size(), 1);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "T_1", "IdArticulo"), 1);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "T_1|S", "IdArticulo"), 1);
    EXPECT_TRUE(QFileInfo::exists(RutaTestigo()));

    frm.InicializaGrid2();
    frm.ReponePendientes();
    detiene.accion = nullptr;
    Corre();
    EXPECT_EQ(detiene.Pasos(), (QStringList{"T_1|M|copia|OK", "T_1|S|fusion|OK", "T_1|fusion|OK"}));
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'T[_]1%'"), "0");
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "NUEVO-T", "IdArticulo"), 1);
}

TEST_F(Detencion, LaListaDeDeshacerDevuelveCadaCodigoNoFusionado) {
    const QString a = ConMovimientos(0), b = ConMovimientos(1), c = ConMovimientos(2), m = ConMovimientos(3),
                  x = ConMovimientos(4);
    AgregaArticulo("Caso-1", "En sitio");
    const QStringList codigos{a, b, c, "Caso-1"};
    QMap<QString, QMap<QString, long>> antesDe;
    QMap<QString, QString> descripcion;
    for (const QString& k : codigos) {
        antesDe[k] = Referencias(k);
        descripcion[k] = Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(k));
    }
    Fila(a, "a", "UNDO-A");
    Fila(b, "b", "UNDO-B");
    Fila(c, "c", "UNDO-C");
    Fila("Caso-1", "e", "CASO-1");  // in place, case only
    Fila(m, "m", x);                // merge: not reversible
    Corre();
    const FrmEMRecodifica::ResumenCorrida r = frm.UltimaCorrida();
    ASSERT_FALSE(r.archivoDeshacer.isEmpty());
    EXPECT_EQ(QFileInfo(r.archivoDeshacer).absolutePath(), QFileInfo(RutaTestigo()).absolutePath());
    EXPECT_TRUE(QFileInfo(r.archivoDeshacer).fileName().contains(QRegularExpression("^Deshacer-\\d{8}-\\d{6}\\.txt$")));
    EXPECT_EQ(r.noReversibles, QStringList{m + " → " + x + " (fusión)"});

    // The undo file through the file source and a second run.
    frm.InicializaGrid2();
    op.Responde(vbYes).RespondeArchivo({false, r.archivoDeshacer});
    frm.CmdBuscar_Click();
    detiene.codigos.clear();
    Corre();
    EXPECT_EQ(detiene.Pasos(), (QStringList{"CASO-1|en sitio|OK", "UNDO-C|copia|OK", "UNDO-B|copia|OK",
                                             "UNDO-A|copia|OK"}));
    for (const QString& k : codigos) {
        EXPECT_EQ(Referencias(k), antesDe[k]) << k.toStdString();
        EXPECT_EQ(Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(k)), descripcion[k]);
    }
    EXPECT_EQ(Valor("SELECT RTRIM(IdArticulo) FROM V_MA_ARTICULOS WHERE IdArticulo = 'Caso-1'"), "Caso-1");
    for (const char* n : {"UNDO-A", "UNDO-B", "UNDO-C"}) EXPECT_EQ(Cuenta("V_MA_ARTICULOS", n, "IdArticulo"), 0);
}
