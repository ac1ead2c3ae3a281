#include "recoding/ui/FrmEMRecodificaVentana.h"

#include "platform/Espera.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>

#include "frame/controles/UtilKor.h"
#include "frame/planilla/Lib_Planilla.h"
#include "platform/lib/Lib_Util.h"
#include "frame/ui/AparienciaVentana.h"
#include "recoding/ui/FrmVistaPreviaVentana.h"
#include "platform/Operador.h"
#include "platform/sesion/Sesion.h"
#include "recoding/ui/GrillaVista.h"

int Twips(const QWidget& w, int twips) { return qRound(twips * w.logicalDpiX() / 1440.0); }

namespace {

int Shift(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

// The suite's colours are 0x00BBGGRR.
QColor Color(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// A caption wider (or taller) than its control, in this font, gets a
// smaller size of it: positions and sizes stay as drawn, the text is not cut.
void AjustaTexto(QWidget* w) {
    w->setStyleSheet(QString());
    w->ensurePolished();
    double puntos = w->font().pointSizeF();
    while ((w->sizeHint().width() > w->width() || w->sizeHint().height() > w->height()) && puntos > 6.5) {
        puntos -= 0.25;
        // A size of its own, which a style sheet on the window does not override.
        w->setStyleSheet(QStringLiteral("font-size: %1pt;").arg(puntos));
        w->ensurePolished();
    }
}

}  // namespace

// ---- the floating editor -------------------------------------------------------------

EditorCeldaVista::EditorCeldaVista(FrmEMRecodifica& frm, QWidget* padre) : QLineEdit(padre), frm_(frm) {
    setObjectName(QStringLiteral("txtedit"));
    setFrame(false);
    setFocusPolicy(Qt::ClickFocus);
    hide();
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { frm_.txtedit.Text = t; });
}

void EditorCeldaVista::keyPressEvent(QKeyEvent* e) {
    const int tecla = CodigoTecla(e->key());
    frm_.txtedit.Text = text();
    if (tecla && (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab || e->key() == Qt::Key_Return ||
                  e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape || e->key() == Qt::Key_Up ||
                  e->key() == Qt::Key_Down)) {
        frm_.txtedit_KeyDown(static_cast<int16_t>(tecla), Shift(e->modifiers()));
        return;
    }
    const QString t = e->text();
    if (!t.isEmpty() && t[0].isPrint()) {
        // The key press: the decimal-point filter may replace or discard it.
        if (const std::optional<QChar> c = frm_.FiltroDecimal(t[0])) {
            insert(QString(*c));
            frm_.txtedit.Text = text();
        }
        return;
    }
    QLineEdit::keyPressEvent(e);
    frm_.txtedit.Text = text();
}

void EditorCeldaVista::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    frm_.txtedit_GotFocus();
    setStyleSheet(QStringLiteral("QLineEdit { background: %1; color: %2; border: 1px solid #7a7a7a; }")
                      .arg(Color(frm_.txtedit.BackColor).name(), Color(frm_.txtedit.ForeColor).name()));
}

// ---- the window ------------------------------------------------------------------------------

FrmEMRecodificaVentana::FrmEMRecodificaVentana(QWidget* padre) : QWidget(padre) {
    setObjectName(QStringLiteral("FrmEMRecodifica"));
    setWindowTitle(frm_.Caption);
    frm_.Vista = this;
    // The layout in twips was drawn for an 8-point sans-serif font.
    QFont f = font();
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                   QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(8);
    setFont(f);
    ArmaBarra();
    ArmaControles();
    tamanoBase_ = QSize(Twips(*this, 8280), Twips(*this, 7815));
    grillaBase_ = grilla_->geometry();
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w != grilla_ && w != txtedit_ && w->geometry().top() >= grillaBase_.bottom())
            debajo_.emplace_back(w, w->geometry());
    setMinimumSize(tamanoBase_);
    resize(tamanoBase_);
    qApp->installEventFilter(this);
}

void FrmEMRecodificaVentana::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (!grilla_ || tamanoBase_.isEmpty()) return;
    const int dx = std::max(0, width() - tamanoBase_.width());
    const int dy = std::max(0, height() - tamanoBase_.height());
    grilla_->setGeometry(grillaBase_.adjusted(0, 0, dx, dy));
    for (const auto& [w, r] : debajo_) w->move(r.topLeft() + QPoint(0, dy));
    // The status line as wide as the grid.
    for (const auto& [w, r] : debajo_)
        if (w == LblCodigo_) w->resize(r.width() + dx, r.height());
    PonEstado();
    ColocaEditor();
}

FrmEMRecodificaVentana::~FrmEMRecodificaVentana() {
    qApp->removeEventFilter(this);
    frm_.Vista = nullptr;
    frm_.MSFlexGrid1.Geometria = nullptr;
}

template <class W>
W* FrmEMRecodificaVentana::Control(W* w, const char* nombre, int izq, int arriba, int ancho, int alto,
                                   const QString& texto) {
    w->setObjectName(QString::fromLatin1(nombre));
    w->setGeometry(Twips(*this, izq), Twips(*this, arriba), Twips(*this, ancho), Twips(*this, alto));
    if constexpr (std::is_base_of_v<QAbstractButton, W> || std::is_same_v<W, QLabel>) w->setText(texto);
    return w;
}

void FrmEMRecodificaVentana::ArmaBarra() {
    UtilKor1_ = new UtilKor(this);
    UtilKor1_->setObjectName(QStringLiteral("UtilKor1"));
    UtilKor1_->setGeometry(0, 0, Twips(*this, 6780), Twips(*this, 840));
    struct Def {
        const char* clave;
        const char* texto;
        const char* tip;
        int tecla;
        QColor color;
        const char* simbolo;
    };
    const Def defs[] = {
        {"NUEVO", "Nuevo", "Empezar una lista nueva", 113, QColor(0x2e, 0x7d, 0x32), "+"},
        {"BORRAR", "Borrar", "Borrar (sin uso en esta ventana)", 115, QColor(0x9e, 0x9e, 0x9e), "\u2212"},
        {"GRABAR", "Grabar", "Recodificar la lista", 116, QColor(0x15, 0x65, 0xc0), "\u2713"},
        {"VISTAPREVIA", "Vista previa", "Ver qué recibirá cada tabla, sin grabar", 119, QColor(0x45, 0x5a, 0x64),
         "\u25ce"},
        {"PLANILLA", "Planilla", "Maestro de Articulos en planilla", 117, QColor(0x00, 0x83, 0x8f), "\u25a6"},
        {"CONSULTAR", "Consultar", "Buscar un articulo para la celda", 114, QColor(0x6a, 0x1b, 0x9a), "?"},
        {"REPORTE", "Reporte", "Reporte (sin uso en esta ventana)", 118, QColor(0x9e, 0x9e, 0x9e), "\u2261"},
        {"CANCELAR", "Cancelar", "Abandonar la carga de datos", 120, QColor(0xef, 0x6c, 0x00), "\u21ba"},
        {"CERRAR", "Cerrar", "Cerrar el programa", 121, QColor(0xc6, 0x28, 0x28), "\u2715"},
    };
    for (const Def& d : defs)
        UtilKor1_->AgregaBoton({QString::fromLatin1(d.clave), QString::fromUtf8(d.texto), QString::fromUtf8(d.tip),
                                d.tecla, UtilKor::Icono(d.color, QString::fromUtf8(d.simbolo))});
    UtilKor1_->SetStyleBar(gFlatToolbars);
    // The dispatch runs after the click has returned, as a queued event.
    connect(UtilKor1_, &UtilKor::Click, this,
            [this](const QString& clave) {
                QTimer::singleShot(0, this, [this, clave] {
                    frm_.UtilKor1_Click(clave);
                    // A close asked for during the run closes the window once it has stopped.
                    if (cierrePendiente_ && !frm_.Ocupado()) close();
                });
            });
}

void FrmEMRecodificaVentana::ArmaControles() {
    Control(new QLabel(this), "Label1_0", 75, 960, 1140, 240, QStringLiteral("Prefijo Actual"));
    TxtPrefijoAnt_ = Control(new QLineEdit(this), "TxtPrefijoAnt", 1275, 960, 1215, 285);
    Control(new QLabel(this), "Label1_1", 2625, 960, 1140, 240, QStringLiteral("Prefijo Nuevo"));
    TxtPrefijoNvo_ = Control(new QLineEdit(this), "TxtPrefijoNvo", 3750, 960, 1215, 285);
    Control(new QLabel(this), "Label1_2", 75, 1260, 1140, 240, QStringLiteral("Filtrar Rubro"));
    TxtRubro_ = Control(new QLineEdit(this), "TxtRubro", 1275, 1260, 615, 285);
    TxtRubro_->setMaxLength(4);
    CmdPrefijo_ = Control(new QPushButton(this), "CmdPrefijo", 6840, 0, 1440, 735,
                          QStringLiteral("&Cargar Prefijo\n/maximo 1000"));
    chkBlancos_ = Control(new QCheckBox(this), "chkBlancos", 5760, 840, 2340, 240,
                          QStringLiteral("Eliminar Espacios en Blanco"));
    ChkPermiteExistente_ = Control(new QCheckBox(this), "ChkPermiteExistente", 5280, 1080, 2820, 240,
                                   QStringLiteral("Permite utilizar codigos Existentes"));
    chkCargarBlancos_ = Control(new QCheckBox(this), "chkCargarBlancos", 4170, 1320, 3930, 240,
                                QStringLiteral("Cargar SOLO los que tienen un espacio en Blanco"));
    ChkEstadisticas_ =
        Control(new QCheckBox(this), "ChkEstadisticas", 6570, 1560, 1530, 240, QStringLiteral("Solo estadisticas"));
    grilla_ = new GrillaVista(frm_, this);
    grilla_->setGeometry(Twips(*this, 120), Twips(*this, 1800), Twips(*this, 8085), Twips(*this, 4125));
    txtedit_ = new EditorCeldaVista(frm_, this);
    LblCodigo_ = Control(new QLabel(this), "LblCodigo", 120, 6000, 8055, 255, QStringLiteral("..."));
    const QString tipArchivo = QStringLiteral("Texto separado por comas (Codigo, CodigoNvo)");
    CmdBuscar_ = Control(new QPushButton(this), "CmdBuscar", 0, 6360, 4215, 495,
                         QStringLiteral("&Cargar Archivo\n") + tipArchivo);
    CmdBuscar_->setToolTip(tipArchivo);
    CmdControlar_ = Control(new QPushButton(this), "CmdControlar", 4320, 6360, 3735, 495,
                            QStringLiteral("Controlar codificación de &Artículos\n(Ajusta Alineacion articulos "
                                           "con un punto en el codigo)"));
    Control(new QLabel(this), "Label2", 120, 6960, 3615, 255,
            QStringLiteral("Si el archivo tiene otro delimitador ingresarlo aqui"));
    TxtDelimitador_ = Control(new QLineEdit(this), "TxtDelimitador", 3840, 6960, 375, 285);
    TxtDelimitador_->setMaxLength(4);
    ChkSoloMaestro_ = Control(new QCheckBox(this), "ChkSoloMaestro", 4440, 6960, 3735, 255,
                              QStringLiteral("Modo Rapido (Solo Maestros)"));
    Control(new QLabel(this), "lblAvisoError", 120, 7440, 8175, 375, QStringLiteral("Label3"));

    AjustaTextos();

    // Tab order as stored.
    QWidget* orden[] = {txtedit_,         CmdBuscar_,        CmdControlar_,       TxtPrefijoAnt_,
                        TxtPrefijoNvo_,   CmdPrefijo_,       TxtRubro_,           chkBlancos_,
                        chkCargarBlancos_, ChkPermiteExistente_, LblCodigo_,      ChkEstadisticas_,
                        TxtDelimitador_,  ChkSoloMaestro_};
    for (std::size_t i = 0; i + 1 < std::size(orden); ++i) setTabOrder(orden[i], orden[i + 1]);

    // Boxes and options into the model as the operator changes them.
    auto texto = [this](QLineEdit* w, QString FrmEMRecodifica::*campo) {
        connect(w, &QLineEdit::textChanged, this, [this, campo](const QString& t) {
            if (!actualizando_) frm_.*campo = t;
        });
    };
    texto(TxtPrefijoAnt_, &FrmEMRecodifica::TxtPrefijoAnt);
    texto(TxtPrefijoNvo_, &FrmEMRecodifica::TxtPrefijoNvo);
    texto(TxtRubro_, &FrmEMRecodifica::TxtRubro);
    texto(TxtDelimitador_, &FrmEMRecodifica::TxtDelimitador);
    auto opcion = [this](QCheckBox* w, bool FrmEMRecodifica::*campo) {
        connect(w, &QCheckBox::toggled, this, [this, campo](bool v) {
            if (!actualizando_) frm_.*campo = v;
        });
    };
    opcion(chkBlancos_, &FrmEMRecodifica::chkBlancos);
    opcion(ChkPermiteExistente_, &FrmEMRecodifica::ChkPermiteExistente);
    opcion(chkCargarBlancos_, &FrmEMRecodifica::chkCargarBlancos);
    opcion(ChkEstadisticas_, &FrmEMRecodifica::ChkEstadisticas);
    opcion(ChkSoloMaestro_, &FrmEMRecodifica::ChkSoloMaestro);
    connect(TxtPrefijoAnt_, &QLineEdit::returnPressed, this, [this] { frm_.TxtPrefijoAnt_KeyPress(13); });
    connect(TxtPrefijoNvo_, &QLineEdit::returnPressed, this, [this] { frm_.TxtPrefijoNvo_KeyPress(13); });
    connect(CmdBuscar_, &QPushButton::clicked, this, [this] {
        frm_.CmdBuscar_Click();
        // A close asked for during the import closes the window once it has stopped.
        if (cierrePendiente_ && !frm_.Ocupado()) close();
    });
    connect(CmdPrefijo_, &QPushButton::clicked, this, [this] {
        frm_.CmdPrefijo_Click();
        // The load disabled the button while it ran; the model has it back on.
        CmdPrefijo_->setEnabled(frm_.CmdPrefijoEnabled);
    });
    connect(CmdControlar_, &QPushButton::clicked, this, [this] { frm_.CmdControlar_Click(); });
    connect(grilla_, &GrillaVista::Desplazada, this, [this] { ColocaEditor(); });
    connect(grilla_, &GrillaVista::Modificada, this, [this] { Actualiza(); });
}

void FrmEMRecodificaVentana::Carga() {
    frm_.Form_Load();
    Actualiza();
}

void FrmEMRecodificaVentana::Descarga() {
    if (descargada_) return;
    descargada_ = true;
    frm_.Form_Unload();
}

void FrmEMRecodificaVentana::AplicaApariencia() {
    AplicaSkin(*this);
    // The controls keep the sizes they were drawn with: buttons with little
    // padding, and a caption still too wide in a smaller size of the font.
    // Under a style sheet the window's font is not inherited: it is named here.
    setStyleSheet(styleSheet() +
                  QStringLiteral("\n#FrmEMRecodifica, #FrmEMRecodifica * { font-family: \"Liberation Sans\", Arial, "
                                 "\"Nimbus Sans\", Helvetica, \"DejaVu Sans\"; font-size: 8pt; }\n"
                                 "QPushButton, QToolButton { padding: 1px 2px; }\n"));
    AjustaTextos();
    LibUtil().AjustaFormulario(this, 0);
    AsignaIcono(*this);
}

void FrmEMRecodificaVentana::AjustaTextos() {
    ensurePolished();
    for (QWidget* w : findChildren<QWidget*>()) {
        w->ensurePolished();
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)) AjustaTexto(w);
    }
}

void FrmEMRecodificaVentana::Cierra() { close(); }

void FrmEMRecodificaVentana::MuestraPlanilla(const QString& tabla, const QString& conexion, const QString& titulo) {
    LibPlanilla().MuestraPlanilla(tabla, conexion, titulo);
}

void FrmEMRecodificaVentana::MuestraVistaPrevia(const InformeVistaPrevia& informe) {
    if (vistaPrevia_) vistaPrevia_->close();
    auto* v = new FrmVistaPreviaVentana(informe, this);
    vistaPrevia_ = v;
    v->move(frameGeometry().center() - v->rect().center());
    v->show();
}

void FrmEMRecodificaVentana::FocoGrilla() { grilla_->setFocus(Qt::OtherFocusReason); }

void FrmEMRecodificaVentana::FocoEditor() {
    Actualiza();
    txtedit_->setFocus(Qt::OtherFocusReason);
}

void FrmEMRecodificaVentana::EnviaTeclas(const QString& teclas) {
    if (teclas == QLatin1String("{TAB}")) focusNextChild();
}

void FrmEMRecodificaVentana::FocoControl(const QString& control) {
    if (QWidget* w = findChild<QWidget*>(control)) w->setFocus(Qt::OtherFocusReason);
}

void FrmEMRecodificaVentana::ColocaEditor() {
    const EditorCelda& e = frm_.txtedit;
    if (!e.Visible) return;
    // Over the current cell, as the model placed it, following the scroll.
    const Grilla& g = frm_.MSFlexGrid1;
    txtedit_->setGeometry(g.Left() + g.CellLeft(), g.Top() + g.CellTop(), g.CellWidth(), g.CellHeight());
}

void FrmEMRecodificaVentana::Actualiza() {
    actualizando_ = true;
    setWindowTitle(frm_.Caption);
    PonEstado();
    const auto pon = [](QLineEdit* w, const QString& t) {
        if (w->text() != t) w->setText(t);
    };
    pon(TxtPrefijoAnt_, frm_.TxtPrefijoAnt);
    pon(TxtPrefijoNvo_, frm_.TxtPrefijoNvo);
    pon(TxtRubro_, frm_.TxtRubro);
    pon(TxtDelimitador_, frm_.TxtDelimitador);
    chkBlancos_->setChecked(frm_.chkBlancos);
    ChkPermiteExistente_->setChecked(frm_.ChkPermiteExistente);
    chkCargarBlancos_->setChecked(frm_.chkCargarBlancos);
    ChkEstadisticas_->setChecked(frm_.ChkEstadisticas);
    ChkSoloMaestro_->setChecked(frm_.ChkSoloMaestro);
    CmdPrefijo_->setEnabled(frm_.CmdPrefijoEnabled);

    const EditorCelda& e = frm_.txtedit;
    if (e.MaxLength > 0) txtedit_->setMaxLength(e.MaxLength);
    if (txtedit_->text() != e.Text) {
        txtedit_->setText(e.Text);
        txtedit_->setCursorPosition(std::min<int>(e.SelStart, static_cast<int>(e.Text.size())));
    }
    if (e.Visible) {
        txtedit_->setGeometry(e.Left, e.Top, e.Width, e.Height);
        txtedit_->show();
        txtedit_->raise();
    } else {
        txtedit_->hide();
    }
    grilla_->Sincroniza();
    actualizando_ = false;
}

void FrmEMRecodificaVentana::Progreso(int fila, int total) {
    // Painted when the run yields to the window system; at most 25 times a
    // second, so that painting does not slow the run down. A text held back
    // is shown when the pause ends, so the last one is never lost.
    if (progreso_.isValid() && progreso_.elapsed() < 40 && fila < total) {
        if (!progresoPendiente_) {
            progresoPendiente_ = true;
            QTimer::singleShot(40 - static_cast<int>(progreso_.elapsed()), this, [this] {
                progresoPendiente_ = false;
                progreso_.start();
                PonEstado();
            });
        }
        return;
    }
    progreso_.start();
    PonEstado();
}

void FrmEMRecodificaVentana::PonEstado() {
    if (!LblCodigo_) return;
    // One line: a text longer than the label is cut with "…" and read whole
    // in the tool tip, with the files of the last run.
    const QString& t = frm_.LblCodigo;
    const QString visto = LblCodigo_->fontMetrics().elidedText(t, Qt::ElideRight, LblCodigo_->width());
    LblCodigo_->setText(visto);
    QString ayuda = frm_.LblCodigoDetalle;
    if (visto != t) ayuda = ayuda.isEmpty() ? t : t + QLatin1Char('\n') + ayuda;
    LblCodigo_->setToolTip(ayuda);
}

void FrmEMRecodificaVentana::Recodificado(const ResultadoCodigo&) {}

void FrmEMRecodificaVentana::closeEvent(QCloseEvent* e) {
    // During a run or an import the window stays until the code or line in
    // progress is done.
    if (frm_.Ocupado()) {
        cierrePendiente_ = true;
        frm_.PideDetener(true);
        e->ignore();
        return;
    }
    // A request waiting on the connection: closed once it is answered.
    if (EsperaEnCurso()) {
        e->ignore();
        QTimer::singleShot(100, this, &QWidget::close);
        return;
    }
    if (vistaPrevia_) vistaPrevia_->close();
    Descarga();
    e->accept();
}

bool FrmEMRecodificaVentana::eventFilter(QObject* objeto, QEvent* e) {
    // Key down anywhere in the window goes to the toolbar's key handling first.
    if (e->type() == QEvent::KeyPress && objeto->isWidgetType() &&
        static_cast<QWidget*>(objeto)->window() == this) {
        auto* k = static_cast<QKeyEvent*>(e);
        int tecla = CodigoTecla(k->key());
        if (tecla >= 112 && tecla <= 135) {
            UtilKor1_->ManejaTecla(tecla, Shift(k->modifiers()));
            if (tecla == 0) return true;
        }
        // Enter on a focused button presses it, as Space does.
        auto* boton = qobject_cast<QPushButton*>(objeto);
        if (boton && boton->isEnabled() && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            k->modifiers() == Qt::NoModifier) {
            boton->click();
            return true;
        }
    }
    return QWidget::eventFilter(objeto, e);
}
