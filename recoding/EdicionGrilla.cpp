// The work grid, its cell editor and the validation of the codes typed or
// loaded into it.

#include <algorithm>

#include "db/DB_Dll.h"
#include "platform/lib/Lib_Teclado.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"
#include "recoding/FrmEMRecodifica.h"

using Texto::Iguales;
using Texto::Trim;

namespace {

const QString kTablaArticulos = QStringLiteral("V_MA_ARTICULOS");
const QString kAvisoOperador = QStringLiteral("Aviso al operador");

bool EsGrillaPrincipal(const Grilla& g) {
    return Iguales(g.Name, QStringLiteral("MsFlexGrid1"));
}

}  // namespace

// ---- grid ------------------------------------------------------------------------------

void FrmEMRecodifica::InicializaGrid2() {
    Grilla& g = MSFlexGrid1;
    g.Clear();
    g.SetCols(3);
    g.FixedRows = 1;
    g.FixedCols = 0;
    g.SetRows(2);
    g.TopRow = 1;
    g.ColWidth = {23, 30, 20};
    g.SetTextMatrix(0, Grilla::IdArticulo, QStringLiteral("IdArticulo"));
    g.SetTextMatrix(0, Grilla::Descripcion, QStringLiteral("Descripcion"));
    g.SetTextMatrix(0, Grilla::ArticuloNuevo, QStringLiteral("Articulo Nuevo"));
    if (Vista) Vista->Actualiza();
}

void FrmEMRecodifica::LimpiaFila(Grilla& grilla, int fila, int desdeColumna) {
    for (int c = std::max(desdeColumna, 0); c < grilla.Cols(); ++c) grilla.SetTextMatrix(fila, c, QString());
}

void FrmEMRecodifica::CambiaCelda(Grilla& grilla, int fila, int columna) {
    if (fila == grilla.Row && columna == grilla.Col) return;
    const bool principal = &grilla == &MSFlexGrid1;
    if (principal) MSFlexGrid1_LeaveCell();
    grilla.Row = fila;
    grilla.Col = columna;
    if (principal) MSFlexGrid1_EnterCell();
}

void FrmEMRecodifica::AvanzaFila(Grilla& grilla) {
    if (grilla.Row < grilla.Rows() - 1) {
        CambiaCelda(grilla, grilla.Row + 1, grilla.Col);
    } else {
        grilla.SetRows(grilla.Rows() + 1);
        CambiaCelda(grilla, grilla.Rows() - 1, grilla.Col);
    }
}

void FrmEMRecodifica::DaFocoGrilla() {
    if (Vista) Vista->FocoGrilla();
    MSFlexGrid1_GotFocus();
}

void FrmEMRecodifica::DaFocoEditor() {
    if (Vista) Vista->FocoEditor();
    txtedit_GotFocus();
}

void FrmEMRecodifica::MsflexKey(Grilla& grilla, int16_t tecla) {
    Guardia g(LibUtil().DialogoDe(QStringLiteral("MSFlexGrid1_KeyDown")));
    g.Paso([&] {
        switch (tecla) {
            case vbKeyDelete:
                if (grilla.Rows() > 2)
                    grilla.RemoveItem(grilla.Row);
                else
                    LimpiaFila(grilla, grilla.Row, 0);
                break;
            case vbKeyInsert:
                grilla.AddItem(grilla.Row);
                break;
            case vbKeyEnd:
                if (Vista) Vista->EnviaTeclas(QStringLiteral("{TAB}"));
                break;
            default:
                return;
        }
        if (Vista) Vista->Actualiza();
    });
}

// ---- editor ----------------------------------------------------------------------------

void FrmEMRecodifica::textpropiedades(EditorCelda& editor, int columna) {
    switch (columna) {
        case Grilla::IdArticulo:
            editor.DataField = QStringLiteral("IdArticulo");
            editor.Tag = kTablaArticulos;
            editor.MaxLength = 25;
            break;
        case Grilla::Descripcion:
            editor.DataField.clear();
            break;
        case Grilla::ArticuloNuevo:
            editor.DataField = QStringLiteral("IdArticuloNVO");
            editor.Tag = kTablaArticulos;
            editor.MaxLength = 25;
            break;
        default:
            break;
    }
}

void FrmEMRecodifica::MsflexGridEdt(Grilla& grilla, EditorCelda& editor, int16_t tecla) {
    if (EsGrillaPrincipal(grilla) && grilla.Col == Grilla::Descripcion) return;
    if (tecla < 0 || tecla > vbKeySpace) {
        editor.Text = QString(QChar(static_cast<char16_t>(tecla)));
        editor.SelStart = 1;
    } else {
        editor.Text = grilla.Text();
        editor.SelStart = static_cast<int>(std::min<qsizetype>(1000, editor.Text.size()));  // the end
    }
    editor.Left = grilla.Left() + grilla.CellLeft();
    editor.Top = grilla.Top() + grilla.CellTop();
    editor.Width = grilla.CellWidth();
    editor.Height = grilla.CellHeight();
    editor.Visible = true;
    textpropiedades(editor, grilla.Col);
    if (&editor == &txtedit) DaFocoEditor();
}

void FrmEMRecodifica::EditKeyCode(Grilla& grilla, EditorCelda& editor, int16_t tecla, int /*shift*/) {
    Guardia g(LibUtil().DialogoDe(QStringLiteral("EditKeyCode")));
    g.Silencia(NumeroFallo::ArgumentoInvalido);
    g.Ejecuta({
        [&] {
            switch (tecla) {
                case vbKeyReturn:
                    DaFocoGrilla();
                    ElOperador().ProcesaEventos();
                    if (grilla.Col == Grilla::ArticuloNuevo) {
                        AvanzaFila(grilla);
                        CambiaCelda(grilla, grilla.Row, Grilla::IdArticulo);
                    } else if (grilla.Col == Grilla::IdArticulo) {
                        CambiaCelda(grilla, grilla.Row, Grilla::ArticuloNuevo);
                    }
                    break;
                case vbKeyEscape:
                    editor.Visible = false;
                    DaFocoGrilla();
                    break;
                case vbKeyUp:
                    DaFocoGrilla();
                    ElOperador().ProcesaEventos();
                    if (grilla.Row > grilla.FixedRows) CambiaCelda(grilla, grilla.Row - 1, grilla.Col);
                    break;
                case vbKeyDown:
                    DaFocoGrilla();
                    ElOperador().ProcesaEventos();
                    if (grilla.Row < grilla.Rows() - 1)
                        CambiaCelda(grilla, grilla.Row + 1, Grilla::IdArticulo);
                    break;
                default:
                    break;
            }
        },
        [&] {
            if (grilla.CellTop() + grilla.CellHeight() > grilla.Height()) grilla.TopRow = grilla.TopRow + 1;
            if (Vista) Vista->Actualiza();
        },
    });
}

std::optional<QChar> FrmEMRecodifica::FiltroDecimal(QChar caracter) {
    if (MSFlexGrid1.Col <= 0) return caracter;
    if (caracter != QLatin1Char(',') && caracter != QLatin1Char('.')) return caracter;
    const QString separador = LibTeclado().SeparadorDecimal();
    if (separador.isEmpty()) return caracter;
    if (Trim(txtedit.Text).contains(separador)) return std::nullopt;
    return separador.at(0);
}

// ---- validation --------------------------------------------------------------------------

void FrmEMRecodifica::CampoValida(EditorCelda& editor) {
    ErrorValidacion = false;
    const QString campo = Trim(editor.DataField);
    const QString texto = Trim(editor.Text);
    const QString tabla = Trim(editor.Tag).isEmpty() ? kTablaArticulos : Trim(editor.Tag);
    Grilla& g = MSFlexGrid1;
    Guardia guardia(LibUtil().DialogoDe(QStringLiteral("CampoValida")));

    if (Iguales(campo, QStringLiteral("IdArticulo"))) {
        if (texto.isEmpty()) {
            guardia.Paso([&] { LimpiaFila(g, g.Row, 0); });
            return;
        }
        RecordsetPtr rs;
        bool existe = false;
        guardia.Ejecuta({
            [&] {
                existe =
                    gDB().ExisteEnTabla(tabla, texto, QStringLiteral("IDARTICULO"), &rs, 8, QString(), true);
            },
            [&] {
                if (existe) return;
                ErrorValidacion = true;
                if (!CargandoArchivo)
                    ElOperador().Mensaje(QStringLiteral("El Articulo Informado no existe"), vbCritical,
                                         kAvisoOperador);
            },
            [&] {
                if (!existe) return;
                const Lib_Util& u = LibUtil();
                g.SetTextMatrix(g.Row, Grilla::Descripcion,
                                Trim(u.ValorCampo(rs->Value(QStringLiteral("Descripcion"))).toString()));
                const QString barra = u.ValorCampo(rs->Value(QStringLiteral("codigobarra"))).toString();
                if (!Trim(barra).isEmpty()) g.SetTextMatrix(g.Row, Grilla::ArticuloNuevo, barra);
            },
        });
        if (rs) gDB().CierraRecordset(rs);
        if (Vista) Vista->Actualiza();
        return;
    }

    if (Iguales(campo, QStringLiteral("IdArticuloNvo"))) {
        if (texto.isEmpty()) {
            ErrorValidacion = true;
            ElOperador().Mensaje(QStringLiteral("Debe Informar el Codigo de Articulo Nuevo"), vbCritical,
                                 kAvisoOperador);
            return;
        }
        bool existe = false;
        guardia.Ejecuta({
            [&] {
                existe = gDB().ExisteEnTabla(tabla, texto, QStringLiteral("IDARTICULO"), nullptr, 8,
                                             QString(), true);
            },
            [&] {
                if (!existe || texto.contains(QLatin1Char('.')) || ChkPermiteExistente) return;
                const int r = ElOperador().Mensaje(
                    QStringLiteral("El Código de Articulo nuevo ya existe,¿Es esto Correcto?"),
                    vbYesNo + vbQuestion, kAvisoOperador);
                if (r == vbYes) {
                    ChkPermiteExistente = true;
                } else {
                    ErrorValidacion = true;
                    ElOperador().Mensaje(QStringLiteral("El Código de Articulo Nuevo ya Existe"), vbCritical,
                                         kAvisoOperador);
                }
            },
        });
        if (Vista) Vista->Actualiza();
    }
}

// ---- window events ---------------------------------------------------------------------------

void FrmEMRecodifica::MSFlexGrid1_Click() {
    textpropiedades(txtedit, MSFlexGrid1.Col);
}

void FrmEMRecodifica::EditorDejadoConRaton() {
    if (!txtedit.Visible) return;
    CampoValida(txtedit);
    if (ErrorValidacion) {
        txtedit.Visible = false;
        txtedit.Text.clear();
    }
}

void FrmEMRecodifica::MSFlexGrid1_GotFocus() {
    textpropiedades(txtedit, MSFlexGrid1.Col);
    if (txtedit.Visible) {
        MSFlexGrid1.SetText(txtedit.Text);
        txtedit.Visible = false;
    }
}

void FrmEMRecodifica::MSFlexGrid1_LeaveCell() {
    if (txtedit.Visible) {
        MSFlexGrid1.SetText(txtedit.Text);
        txtedit.Visible = false;
    }
}

void FrmEMRecodifica::MSFlexGrid1_EnterCell() {
    if (!txtedit.Visible) txtedit.Text.clear();
    textpropiedades(txtedit, MSFlexGrid1.Col);
}

void FrmEMRecodifica::MSFlexGrid1_KeyPress(int16_t caracter) {
    MsflexGridEdt(MSFlexGrid1, txtedit, caracter);
}

void FrmEMRecodifica::MSFlexGrid1_DblClick() {
    MsflexGridEdt(MSFlexGrid1, txtedit, vbKeySpace);
}

void FrmEMRecodifica::MSFlexGrid1_KeyDown(int16_t tecla, int /*shift*/) {
    textpropiedades(txtedit, MSFlexGrid1.Col);
    MsflexKey(MSFlexGrid1, tecla);
}

void FrmEMRecodifica::txtedit_GotFocus() {
    textpropiedades(txtedit, MSFlexGrid1.Col);
    txtedit.BackColor = gColorFondo;
    txtedit.ForeColor = gColorLetra;
}

void FrmEMRecodifica::txtedit_KeyDown(int16_t tecla, int /*shift*/) {
    if (!LibTeclado().EsTeclaNavegacion(tecla)) return;
    CampoValida(txtedit);
    if (!ErrorValidacion) EditKeyCode(MSFlexGrid1, txtedit, tecla, 0);
}

void FrmEMRecodifica::TxtPrefijoAnt_KeyPress(int16_t caracter) {
    if (caracter == vbKeyReturn && Vista) Vista->FocoControl(QStringLiteral("TxtPrefijoNvo"));
}

void FrmEMRecodifica::TxtPrefijoNvo_KeyPress(int16_t caracter) {
    if (caracter == vbKeyReturn && Vista) Vista->FocoControl(QStringLiteral("CmdPrefijo"));
}
