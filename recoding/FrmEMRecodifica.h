#pragma once
// The main window's state and behaviour, without widgets: the work grid,
// the cell editor, the options and boxes, and every event of the grid and
// the editor. The window only forwards its events here; tests and the batch
// tool drive it directly.

#include "recoding/Grilla.h"
#include "recoding/Planes.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class Lib_Dialogo;
class InformeVistaPrevia;

// The floating cell editor.
struct EditorCelda {
    QString Text;
    bool Visible = false;
    QString DataField;
    QString Tag;
    int MaxLength = 0;
    int SelStart = 0;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    uint32_t BackColor = 0xC0FFFF, ForeColor = 0;  // light yellow, black (0x00BBGGRR)
};

// One code sent by the run.
struct ResultadoCodigo {
    int fila = 0;
    QString viejo;         // the code processed (a size variant's own code)
    QString nuevo;
    TipoPlan tipo = TipoPlan::Copia;
    bool error = false;
    QString descripcion;   // the first error's description
    // The old code was gone from the master at its turn (an earlier row
    // recoded it): nothing was sent; `descripcion` says why.
    bool omitido = false;
    // A prefix load's rubro, as the article had it before the run changed it
    // (empty when the rubro was not changed).
    QString rubroAnterior;
};

// What the model asks of the window (nothing, without one). The model runs
// the matching GotFocus, LeaveCell and EnterCell events itself when it moves
// the focus or the current cell; the same event forwarded again by a widget
// changes nothing.
class VistaRecodifica {
public:
    virtual ~VistaRecodifica() = default;
    virtual void FocoGrilla() {}
    virtual void FocoEditor() {}
    virtual void EnviaTeclas(const QString& teclas) {}   // e.g. "{TAB}"
    virtual void FocoControl(const QString& control) {}  // e.g. "TxtPrefijoNvo"
    virtual void Actualiza() {}                          // repaint after a model change
    // The run: the row being processed, of `total`.
    virtual void Progreso(int fila, int total) {}
    // The run: one code sent, with the server's first error when it failed.
    virtual void Recodificado(const ResultadoCodigo& resultado) {}
    // Window load, after start-up: the skin, the size and the icon.
    virtual void AplicaApariencia() {}
    // "CERRAR": the window is unloaded (its unload runs Form_Unload).
    virtual void Cierra() {}
    // "PLANILLA": the spreadsheet editor of a table.
    virtual void MuestraPlanilla(const QString& tabla, const QString& conexion, const QString& titulo) {}
    // "VISTAPREVIA": the report of what each table would receive (not modal).
    virtual void MuestraVistaPrevia(const InformeVistaPrevia& informe) {}
};

class FrmEMRecodifica {
public:
    FrmEMRecodifica();
    ~FrmEMRecodifica();

    QString Caption = QStringLiteral("Quenvar");

    Grilla MSFlexGrid1;
    EditorCelda txtedit;

    // Options (checked = true) and boxes.
    bool ChkEstadisticas = false;
    bool ChkSoloMaestro = false;
    bool ChkPermiteExistente = false;
    bool chkBlancos = false;
    bool chkCargarBlancos = false;
    QString TxtPrefijoAnt;
    QString TxtPrefijoNvo;
    QString TxtRubro;
    QString TxtDelimitador;
    QString LblCodigo = QStringLiteral("...");
    QString LblCodigoDetalle;   // the label's tool tip: the files of the last run
    bool CmdPrefijoEnabled = true;

    // Window variables.
    bool CargaPorPrefijo = false;
    bool ErrorValidacion = false;
    bool CargandoArchivo = false;

    VistaRecodifica* Vista = nullptr;

    // The window's file dialog, created on first use.
    Lib_Dialogo& Dialogo();

    // ---- window load and unload --------------------------------------------------
    // Start-up (which may end the process), the view's appearance, the grid.
    void Form_Load();
    // Writes the undo lists of runs that ended without writing theirs, and
    // tells the operator where they are.
    void CompletaDeshacerInterrumpidos();
    // Shut-down: the exit time in the access log, the global objects released.
    void Form_Unload();
    void inicializa() { CargaPorPrefijo = false; }

    // ---- toolbar ------------------------------------------------------------------
    // The command of a toolbar button, by its key ("NUEVO", "GRABAR", ...).
    void UtilKor1_Click(const QString& clave);
    // The article lookup for the cell being edited.
    void CmdConsultar();
    // Before "GRABAR": the whole-list check. With refusals or warnings the
    // operator reads the findings and goes on, has the chains reordered, or
    // goes back to the list (refusals allow only going back). True to run.
    bool RevisaAntesDeGrabar();

    // ---- grid and editor ----------------------------------------------------
    void InicializaGrid2();
    void MsflexGridEdt(Grilla& grilla, EditorCelda& editor, int16_t tecla);
    void textpropiedades(EditorCelda& editor, int columna);
    void EditKeyCode(Grilla& grilla, EditorCelda& editor, int16_t tecla, int shift);
    void CampoValida(EditorCelda& editor);
    void MsflexKey(Grilla& grilla, int16_t tecla);
    void LimpiaFila(Grilla& grilla, int fila, int desdeColumna);
    // The editor's key press: the character to insert, or nothing when discarded.
    std::optional<QChar> FiltroDecimal(QChar caracter);

    // Window events, forwarded by the view.
    void MSFlexGrid1_Click();
    // The editor left by a click on another cell: validated as Enter
    // validates it; a code refused leaves its cell as it was (the editor is
    // hidden without writing it).
    void EditorDejadoConRaton();
    void MSFlexGrid1_GotFocus();
    void MSFlexGrid1_LeaveCell();
    void MSFlexGrid1_EnterCell();
    void MSFlexGrid1_KeyPress(int16_t caracter);
    void MSFlexGrid1_DblClick();
    void MSFlexGrid1_KeyDown(int16_t tecla, int shift);
    void txtedit_GotFocus();
    void txtedit_KeyDown(int16_t tecla, int shift);
    void TxtPrefijoAnt_KeyPress(int16_t caracter);
    void TxtPrefijoNvo_KeyPress(int16_t caracter);

    // ---- code-pair sources -------------------------------------------------------
    void CmdBuscar_Click();      // import a delimited file
    void CmdPrefijo_Click();     // every article under a prefix
    void CmdControlar_Click();   // re-align codes that contain a point

    // ---- the run -------------------------------------------------------------------
    void ProcesoPrincipal();
    // What the run would send, without sending anything that writes: for
    // every code it would process, its plan, in the run's order. A pair onto
    // a code that earlier pairs would create merges; onto one they would
    // take out of the master, copies.
    void VistaPrevia(const std::function<void(int fila, const QString& viejo, const QString& nuevo,
                                              const Plan& plan)>& cada);

    // Set by the batch tool for an undo list: a pair whose new code is
    // another article at its turn is refused instead of merged.
    bool NoFusionar = false;

    // Asks the run in progress to stop after the code being sent (an import,
    // after the line being loaded); every code
    // is its own transaction, so none is left half done. `cerrando`: the
    // program is closing, the questions at the run's end are skipped. Safe
    // to call from a signal handler.
    void PideDetener(bool cerrando = false);
    bool Corriendo() const { return corriendo_; }
    // A run or a file import in progress: closing waits for it to stop.
    bool Ocupado() const { return corriendo_ || CargandoArchivo; }

    // What the last run did.
    struct ResumenCorrida {
        QVector<ResultadoCodigo> codigos;  // every code sent, in order
        // Why the run did not start (the run lock, a file it could not
        // create); empty when it ran.
        QString noIniciada;
        bool detenida = false;             // stopped before the end of the list
        QString motivoDetencion;           // why, when the run stopped itself
        QVector<int> filasPendientes;      // the grid rows of `pendientes`
        QVector<QStringList> pendientes;   // the rows not processed, cells in column order
        QString archivoDeshacer;           // the undo file, empty when nothing can be undone
        QString archivoPendientes;         // the pending pairs, when the run stopped
        QStringList noReversibles;         // "old → new (reason)"
        QStringList fallosArchivos;        // files that could not be written
        QStringList disparadoresReactivados;  // tables whose triggers were found off
        int Correctos() const;
        int Errores() const;
        int Omitidos() const;
    };
    const ResumenCorrida& UltimaCorrida() const { return resumen_; }
    // The rows a stopped run left, back in the grid after the processed ones
    // were cleared.
    void ReponePendientes();

    // Makes the cell current as the grid control does (cell events fired).
    void MueveCelda(int fila, int columna) { CambiaCelda(MSFlexGrid1, fila, columna); }

private:
    // Moves the current cell as the grid control does: LeaveCell before,
    // EnterCell after, only when the cell changes.
    void CambiaCelda(Grilla& grilla, int fila, int columna);
    // The row below, appended when the current row is the last.
    void AvanzaFila(Grilla& grilla);
    void DaFocoGrilla();
    void DaFocoEditor();

    std::unique_ptr<Lib_Dialogo> dialogo_;
    ResumenCorrida resumen_;
    bool corriendo_ = false;
    std::atomic<bool> detener_{false};
    std::atomic<bool> cerrando_{false};
    static_assert(std::atomic<bool>::is_always_lock_free);
};

// The last run in one short line for the window's status label (counts, and
// how many rows a stop left pending); `actual` when no code was sent.
QString TextoResumen(const FrmEMRecodifica::ResumenCorrida& r, const QString& actual);
// The files the last run left (undo list, pending rows, files not written),
// one per line, for the label's tool tip.
QString DetalleResumen(const FrmEMRecodifica::ResumenCorrida& r);
