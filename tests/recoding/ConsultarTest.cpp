// "CONSULTAR": the article chosen in the lookup goes through the cell editor
// as if typed and Enter pressed.

#include "platform/lib/Lib_Teclado.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/ModConsultas.h"
#include "tests/lookup/VentanaGuionada.h"
#include "tests/recoding/PruebaRecodifica.h"

namespace {

class Consultar : public PruebaRecodifica {
  protected:
    void SetUp() override {
        PruebaRecodifica::SetUp();
        VentanaGuionada::Instala();
        Motor();
    }
    void TearDown() override {
        EstableceVentanasConsulta({});
        PruebaRecodifica::TearDown();
        RecreaMotorConsultas();
    }
    void Motor() {
        Lib_ClsCons3& m = RecreaMotorConsultas();
        m.gRutaMascaraConsultas = Ruta("consultas.kvx");
        m.gUsarMascarasConsultas = true;
        if (!QFile::exists(Ruta("consultas.kvx"))) {
            EXPECT_TRUE(CreaConsultasDefault());
        }
    }
    void Config(const QString& clave, const QString& valor) {
        gDB().Cnn().Execute(
            QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, GRUPO, VALOR) VALUES ('%1', 'DATOS', '%2')")
                .arg(clave, valor));
    }
    std::vector<VentanaGuionada>& Mostradas() { return VentanaGuionada::guion().mostradas; }
};

}  // namespace

TEST_F(Consultar, LaEleccionSeValidaComoTecleada) {
    // No code cell being edited: nothing happens.
    frm.CmdConsultar();
    EXPECT_TRUE(Mostradas().empty());

    frm.MSFlexGrid1_KeyPress('x');
    VentanaGuionada::guion().valor = " 1001 ";
    frm.UtilKor1_Click("CONSULTAR");
    ASSERT_EQ(Mostradas().size(), 1u);
    const VentanaGuionada& v = Mostradas()[0];
    EXPECT_EQ(v.sql, "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
                     "SUSPENDIDO = 0 ORDER BY DESCRIPCION");
    EXPECT_EQ(v.CampoDevuelto, "IDARTICULO");
    EXPECT_EQ(v.FiltroInicial, "");
    EXPECT_EQ(Filas(), QStringList{"1001|Tornillo|"});
    EXPECT_EQ(g().Col, 2);
    EXPECT_EQ(frm.txtedit.DataField, "IdArticuloNVO");
    EXPECT_TRUE(op.Transcripcion().empty());

    // The new code: cancelled, the empty value is validated as typed.
    frm.MSFlexGrid1_KeyPress('x');
    VentanaGuionada::guion().valor = QVariant();
    op.Responde(vbOK);
    frm.CmdConsultar();
    EXPECT_EQ(frm.txtedit.Text, "");
    EXPECT_EQ(Mostradas().size(), 2u);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, "Debe Informar el Codigo de Articulo Nuevo");
    EXPECT_EQ(Filas(), QStringList{"1001|Tornillo|"});
    EXPECT_EQ(g().Col, 2);
}

TEST_F(Consultar, ConsultaLikeBuscaElTextoDelEditor) {
    Config("UsaConsultaLike", "SI");
    Motor();
    VentanaGuionada::guion().eligePrimera = true;
    frm.MSFlexGrid1_KeyPress('A');
    frm.txtedit.Text = "Aran";
    frm.CmdConsultar();
    ASSERT_EQ(Mostradas().size(), 1u);
    EXPECT_EQ(Mostradas()[0].sql,
              "SELECT top 1000 VT_MA_ARTICULOS.DESCRIPCION,VT_MA_ARTICULOS.IDARTICULO FROM VT_MA_ARTICULOS "
              "with(nolock)   WHERE VT_MA_ARTICULOS.DESCRIPCION LIKE '%Aran%' ");
    EXPECT_EQ(Filas(), QStringList{"1003|Arandela|"});
    EXPECT_EQ(g().Col, 2);

    // A code that does not exist is reported as a typed one.
    VentanaGuionada::guion().eligePrimera = false;
    VentanaGuionada::guion().valor = "9999";
    g().Col = 0;
    frm.MSFlexGrid1_KeyPress('x');
    op.Responde(vbOK);
    frm.CmdConsultar();
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, "El Articulo Informado no existe");
    EXPECT_EQ(g().Col, 0);
}

TEST_F(Consultar, ElEditorSeAbreSobreLaCeldaActual) {
    // The editor last shown on the new code's cell, then left with Escape.
    frm.MueveCelda(1, 2);
    frm.MSFlexGrid1_KeyPress('x');
    frm.txtedit_KeyDown(vbKeyEscape, 0);
    ASSERT_FALSE(frm.txtedit.Visible);
    // The old code's cell, without editing: F3 puts the chosen code over that
    // cell, validated for its column.
    frm.MueveCelda(1, 0);
    VentanaGuionada::guion().valor = "1003";
    frm.UtilKor1_Click("CONSULTAR");
    EXPECT_EQ(g().TextMatrix(1, 0), "1003");
    EXPECT_EQ(g().TextMatrix(1, 1), "Arandela");
    EXPECT_TRUE(op.Transcripcion().empty());
}
