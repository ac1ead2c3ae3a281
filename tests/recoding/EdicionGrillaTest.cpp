// The work grid's cell editor, its keys and the validation of the codes.

#include "platform/lib/Lib_Teclado.h"
#include "tests/recoding/PruebaRecodifica.h"

namespace {

struct VistaDePrueba : VistaRecodifica {
    QStringList llamadas;
    void FocoGrilla() override { llamadas << "grilla"; }
    void FocoEditor() override { llamadas << "editor"; }
    void EnviaTeclas(const QString& t) override { llamadas << t; }
    void FocoControl(const QString& c) override { llamadas << c; }
};

// Cells of 10 x 20 units stacked from the grid's top; the grid shows 3 rows.
struct GeometriaDePrueba : GeometriaGrilla {
    const Grilla* g = nullptr;
    int CellLeft(int, int c) const override { return c * 100; }
    int CellTop(int f, int) const override { return (f - g->TopRow + 1) * 20; }
    int CellWidth(int, int c) const override { return 100 + c; }
    int CellHeight(int, int) const override { return 20; }
    int Left() const override { return 7; }
    int Top() const override { return 1000; }
    int Height() const override { return 80; }
};

}  // namespace

class Edicion : public PruebaRecodifica {
  protected:
    // Types a text into the current cell as the operator does: the first
    // character opens the editor, the rest goes into the text box.
    void Teclea(const QString& texto) {
        frm.MSFlexGrid1_KeyPress(texto.at(0).unicode());
        frm.txtedit.Text = texto;
    }
    Grilla& g = frm.MSFlexGrid1;
    EditorCelda& ed = frm.txtedit;
};

TEST_F(Edicion, InicializaDejaLosTitulosYUnaFilaVacia) {
    g.SetRows(5);
    g.SetTextMatrix(3, 2, "x");
    frm.InicializaGrid2();
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.Cols(), 3);
    EXPECT_EQ(g.TextMatrix(0, 0), "IdArticulo");
    EXPECT_EQ(g.TextMatrix(0, 1), "Descripcion");
    EXPECT_EQ(g.TextMatrix(0, 2), "Articulo Nuevo");
    EXPECT_EQ(g.ColWidth, (QVector<int>{23, 30, 20}));
    EXPECT_EQ(Filas(), QStringList{"||"});
}

TEST_F(Edicion, LetraAbreConEllaEnterYDobleClicConElTextoDeLaCelda) {
    GeometriaDePrueba geo;
    geo.g = &g;
    g.Geometria = &geo;
    VistaDePrueba vista;
    frm.Vista = &vista;
    g.SetTextMatrix(1, 0, "1001");
    g.Col = 0;
    frm.MSFlexGrid1_KeyPress('X');
    EXPECT_TRUE(ed.Visible);
    EXPECT_EQ(ed.Text, "X");
    EXPECT_EQ(ed.SelStart, 1);
    EXPECT_EQ(ed.DataField, "IdArticulo");
    EXPECT_EQ(ed.Tag, "V_MA_ARTICULOS");
    EXPECT_EQ(ed.MaxLength, 25);
    // Placed over cell (1, 0) of the grid.
    EXPECT_EQ(ed.Left, 7);
    EXPECT_EQ(ed.Top, 1020);
    EXPECT_EQ(ed.Width, 100);
    EXPECT_EQ(ed.Height, 20);
    EXPECT_EQ(vista.llamadas.last(), "editor");

    for (int tecla : {vbKeyReturn, vbKeySpace}) {
        ed.Visible = false;
        if (tecla == vbKeySpace)
            frm.MSFlexGrid1_DblClick();
        else
            frm.MSFlexGrid1_KeyPress(static_cast<int16_t>(tecla));
        EXPECT_TRUE(ed.Visible);
        EXPECT_EQ(ed.Text, "1001");
        EXPECT_EQ(ed.SelStart, 4);  // at the end
    }
    frm.Vista = nullptr;
    g.Geometria = nullptr;
}

TEST_F(Edicion, LaDescripcionNuncaSeEdita) {
    g.SetTextMatrix(1, 1, "Tornillo");
    g.Col = 1;
    for (int16_t tecla : {int16_t('a'), int16_t(vbKeyReturn), int16_t(vbKeySpace), int16_t(-5)}) {
        frm.MSFlexGrid1_KeyPress(tecla);
        EXPECT_FALSE(ed.Visible) << tecla;
    }
    frm.MSFlexGrid1_DblClick();
    EXPECT_FALSE(ed.Visible);
    frm.MSFlexGrid1_KeyDown(vbKeyDelete, 0);
    EXPECT_EQ(ed.DataField, "");  // column 1 has no field
}

TEST_F(Edicion, EnterRecorreLaFilaYAgregaOtraAlFinal) {
    Teclea("1001");
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    EXPECT_TRUE(op.Transcripcion().empty());
    EXPECT_FALSE(ed.Visible);
    EXPECT_EQ(g.Row, 1);
    EXPECT_EQ(g.Col, 2);
    EXPECT_EQ(ed.DataField, "IdArticuloNVO");
    Teclea("5001");
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    EXPECT_EQ(Filas(), (QStringList{"1001|Tornillo|5001", "||"}));
    EXPECT_EQ(g.Row, 2);
    EXPECT_EQ(g.Col, 0);
    EXPECT_EQ(ed.Text, "");  // entering a cell empties the hidden editor

    // Up keeps the column and never reaches the captions; Down goes to column 0.
    g.Row = 1;
    g.Col = 2;
    frm.MSFlexGrid1_DblClick();
    frm.txtedit_KeyDown(vbKeyUp, 0);
    EXPECT_EQ(g.Row, 1);
    frm.MSFlexGrid1_DblClick();
    frm.txtedit_KeyDown(vbKeyDown, 0);
    EXPECT_EQ(g.Row, 2);
    EXPECT_EQ(g.Col, 0);
    frm.MSFlexGrid1_DblClick();
    frm.txtedit_KeyDown(vbKeyDown, 0);  // already the last row
    EXPECT_EQ(g.Row, 2);
    frm.MSFlexGrid1_DblClick();
    frm.txtedit_KeyDown(vbKeyUp, 0);
    EXPECT_EQ(g.Row, 1);
    EXPECT_EQ(g.Col, 0);
    EXPECT_EQ(Filas(), (QStringList{"1001|Tornillo|5001", "||"}));
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Edicion, EnterMasAllaDelAltoDesplazaLaGrilla) {
    GeometriaDePrueba geo;
    geo.g = &g;
    g.Geometria = &geo;
    g.SetRows(4);
    g.Row = 3;
    g.Col = 2;
    Teclea("5001");
    frm.txtedit_KeyDown(vbKeyReturn, 0);  // row 4 lies at 80 + 20 > 80
    EXPECT_EQ(g.Row, 4);
    EXPECT_EQ(g.TopRow, 2);
    g.Geometria = nullptr;
}

TEST_F(Edicion, EscapeNoEscribeLaCelda) {
    g.SetTextMatrix(1, 2, "ABC");
    g.Col = 2;
    Teclea("ZZZ");
    frm.txtedit_KeyDown(vbKeyEscape, 0);
    EXPECT_FALSE(ed.Visible);
    EXPECT_EQ(g.TextMatrix(1, 2), "ABC");
    // A key that does not navigate neither validates nor moves.
    Teclea("");
    frm.txtedit_KeyDown(vbKeyLeft, 0);
    EXPECT_TRUE(ed.Visible);
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Edicion, CodigoViejoDesconocidoSeAvisaSalvoAlCargarArchivo) {
    op.Responde(vbOK);
    Teclea("9999");
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    const Aviso& a = op.Transcripcion()[0];
    EXPECT_EQ(a.texto, "El Articulo Informado no existe");
    EXPECT_EQ(a.titulo, "Aviso al operador");
    EXPECT_EQ(a.botones, vbCritical);
    EXPECT_TRUE(frm.ErrorValidacion);
    EXPECT_TRUE(ed.Visible);  // the editor stays on the cell
    EXPECT_EQ(g.Col, 0);

    frm.CargandoArchivo = true;
    frm.CampoValida(ed);
    EXPECT_TRUE(frm.ErrorValidacion);
    EXPECT_EQ(op.Transcripcion().size(), 1u);
}

TEST_F(Edicion, CodigoViejoVacioVaciaLaFila) {
    g.SetTextMatrix(1, 1, "algo");
    g.SetTextMatrix(1, 2, "5001");
    Teclea(" ");
    ed.Text = "   ";
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    EXPECT_FALSE(frm.ErrorValidacion);
    EXPECT_EQ(Filas(), QStringList{"   ||"});  // the editor's text is then written back
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Edicion, ElCodigoDeBarrasSeProponeComoCodigoNuevo) {
    Teclea("1002");
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    EXPECT_EQ(Filas(), QStringList{"1002|Tuerca|7790001"});
    g.SetRows(3);
    g.Row = 2;
    g.Col = 0;
    Teclea("1003");  // an empty bar code proposes nothing
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    ASSERT_TRUE(op.Transcripcion().empty());
    EXPECT_EQ(Filas().last(), "1003|Arandela|");
    // Codes are compared trimmed; quotes are data.
    g.Row = 1;
    g.Col = 0;
    Teclea("A'01 ");
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    EXPECT_FALSE(frm.ErrorValidacion);
    EXPECT_EQ(g.TextMatrix(1, 1), "Con comilla");
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Edicion, CodigoNuevoVacioOExistente) {
    g.Col = 2;
    op.Responde(vbOK);
    Teclea(" ");
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    EXPECT_TRUE(frm.ErrorValidacion);
    ASSERT_EQ(op.Mensajes(), QStringList{"Debe Informar el Codigo de Articulo Nuevo"});
    EXPECT_EQ(op.Transcripcion()[0].botones, vbCritical);
    EXPECT_EQ(op.Transcripcion()[0].titulo, "Aviso al operador");
    op.Limpia();

    // No: refused, and said so.
    op.Responde(vbNo).Responde(vbOK);
    ed.Text = "2001";
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    EXPECT_TRUE(frm.ErrorValidacion);
    EXPECT_FALSE(frm.ChkPermiteExistente);
    ASSERT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_EQ(op.Transcripcion()[0].texto, "El Código de Articulo nuevo ya existe,¿Es esto Correcto?");
    EXPECT_EQ(op.Transcripcion()[0].botones, vbYesNo + vbQuestion);
    EXPECT_EQ(op.Transcripcion()[0].titulo, "Aviso al operador");
    EXPECT_EQ(op.Transcripcion()[1].texto, "El Código de Articulo Nuevo ya Existe");
    EXPECT_EQ(op.Transcripcion()[1].botones, vbCritical);
    EXPECT_EQ(g.Col, 2);
    op.Limpia();

    // Yes: accepted, and later existing codes pass without asking.
    op.Responde(vbYes);
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    EXPECT_FALSE(frm.ErrorValidacion);
    EXPECT_TRUE(frm.ChkPermiteExistente);
    EXPECT_EQ(g.TextMatrix(1, 2), "2001");
    EXPECT_EQ(g.Row, 2);
    g.Col = 2;
    Teclea("1001");
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    EXPECT_FALSE(frm.ErrorValidacion);
    EXPECT_EQ(op.Transcripcion().size(), 1u);
}

TEST_F(Edicion, CodigoNuevoConPuntoExistenteSeAceptaSinPreguntar) {
    g.Col = 2;
    Teclea("X.1");
    frm.txtedit_KeyDown(vbKeyReturn, 0);
    EXPECT_FALSE(frm.ErrorValidacion);
    EXPECT_FALSE(frm.ChkPermiteExistente);
    EXPECT_TRUE(op.Transcripcion().empty());
    EXPECT_EQ(g.TextMatrix(1, 2), "X.1");
}

TEST_F(Edicion, TeclasDeLaGrilla) {
    VistaDePrueba vista;
    frm.Vista = &vista;
    g.SetTextMatrix(1, 0, "1001");
    g.SetTextMatrix(1, 1, "Tornillo");
    frm.MSFlexGrid1_KeyDown(vbKeyDelete, 0);  // the only row is emptied, not removed
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(Filas(), QStringList{"||"});

    g.SetTextMatrix(1, 0, "A");
    frm.MSFlexGrid1_KeyDown(vbKeyInsert, 0);  // an empty row at the current one
    EXPECT_EQ(Filas(), (QStringList{"||", "A||"}));
    g.Row = 1;
    frm.MSFlexGrid1_KeyDown(vbKeyDelete, 0);
    EXPECT_EQ(Filas(), QStringList{"A||"});

    frm.MSFlexGrid1_KeyDown(vbKeyEnd, 0);
    EXPECT_EQ(vista.llamadas, QStringList{"{TAB}"});
    frm.TxtPrefijoAnt_KeyPress(vbKeyReturn);
    frm.TxtPrefijoNvo_KeyPress(vbKeyReturn);
    frm.TxtPrefijoNvo_KeyPress('a');
    EXPECT_EQ(vista.llamadas, (QStringList{"{TAB}", "TxtPrefijoNvo", "CmdPrefijo"}));
    frm.Vista = nullptr;
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Edicion, FiltroDelSeparadorDecimal) {
    const QChar sep = LibTeclado().SeparadorDecimal().at(0);
    g.Col = 2;
    Teclea("1");
    EXPECT_EQ(frm.FiltroDecimal('.'), std::optional<QChar>(sep));
    EXPECT_EQ(frm.FiltroDecimal(','), std::optional<QChar>(sep));
    ed.Text += sep;
    EXPECT_EQ(frm.FiltroDecimal('.'), std::nullopt);  // a second one is discarded
    EXPECT_EQ(frm.FiltroDecimal(','), std::nullopt);
    EXPECT_EQ(frm.FiltroDecimal('7'), std::optional<QChar>('7'));
    g.Col = 0;  // the old code takes what is typed
    EXPECT_EQ(frm.FiltroDecimal('.'), std::optional<QChar>('.'));
    EXPECT_EQ(frm.FiltroDecimal(','), std::optional<QChar>(','));
}

TEST_F(Edicion, UnFalloDeLaGrillaVaAlDialogoDeSuRutina) {
    g.Row = 0;  // the caption row cannot be removed
    g.SetRows(3);
    op.Responde(vbAbort);
    frm.MsflexKey(g, vbKeyDelete);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_TRUE(op.Transcripcion()[0].texto.contains("MSFlexGrid1_KeyDown"));
    EXPECT_EQ(g.Rows(), 3);
}
