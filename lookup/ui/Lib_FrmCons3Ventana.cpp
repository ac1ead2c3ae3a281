#include "lookup/ui/Lib_FrmCons3Ventana.h"

#include "frame/controles/UtilKor.h"
#include "frame/ui/AparienciaVentana.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/ui/TablaConsulta.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionHeader>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr double kTwipsPorPixel = 15;
}

Lib_FrmCons3Ventana::Lib_FrmCons3Ventana(Lib_FrmCons3& modelo, QWidget* padre) : QDialog(padre), m_(modelo) {
    setWindowTitle(m_.Caption.isEmpty() || !m_.sql.trimmed().isEmpty() ? QStringLiteral("Consulta...") : m_.Caption);
    auto* v = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("CONSULTA"), this);
    v->addWidget(Label1);
    panelCajas_ = new QWidget(this);
    v->addWidget(panelCajas_);

    ListView1 = new QTableView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    QFont fuente = ListView1->font();
    fuente.setBold(true);
    fuente.setPointSize(10);
    ListView1->setFont(fuente);
    tabla_ = new TablaConsulta(m_, this);
    ListView1->setModel(tabla_);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 4);
    ListView1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ListView1->installEventFilter(this);
    v->addWidget(ListView1, 1);

    auto* botones = new QHBoxLayout;
    CmdTodos = new QPushButton(QStringLiteral("&Marcar"), this);
    CmdNuevo = new QPushButton(QStringLiteral("N&uevo"), this);
    CmdNueva = new QPushButton(QStringLiteral("&Nueva Busqueda"), this);
    CmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    for (QPushButton* b : {CmdTodos, CmdNuevo, CmdNueva, CmdCancelar, CmdAceptar}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    CmdAceptar->setDefault(true);
    CmdNueva->setVisible(m_.CmdNuevaVisible);
    CmdTodos->setVisible(m_.CheckBoxes);
    v->addLayout(botones);

    connect(CmdAceptar, &QPushButton::clicked, this, &Lib_FrmCons3Ventana::Aceptar);
    connect(CmdCancelar, &QPushButton::clicked, this, [this] {
        m_.CmdCancelar();
        reject();
    });
    connect(CmdNueva, &QPushButton::clicked, this, [this] {
        m_.CmdNueva();
        Sincroniza();
        if (!CmbSearch.empty()) CmbSearch[0]->setFocus();
    });
    connect(CmdTodos, &QPushButton::clicked, this, [this] {
        m_.CmdTodos();
        tabla_->Recarga();
        MuestraSeleccion();
    });
    connect(CmdNuevo, &QPushButton::clicked, this, [this] { m_.CmdNuevo(); });
    connect(ListView1, &QTableView::doubleClicked, this, [this] { Aceptar(); });
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) {
        m_.OrdenaPorColumna(c);
        Sincroniza();
    });
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int c, int, int nuevo) {
        if (sincronizando_) return;
        m_.CambiaAncho(c, nuevo * kTwipsPorPixel);
        UbicaCajas();
    });
    connect(ListView1->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { UbicaCajas(); });

    m_.AlRecargar = [this] { Sincroniza(); };
    AplicaSkin(*this);
    AsignaIcono(*this);
    // The widths worked out again in the window's font, the skin's header
    // margins included.
    QHeaderView* encabezado = ListView1->horizontalHeader();
    m_.MedidasVentana(ListView1->fontMetrics().horizontalAdvance(QLatin1Char('X')) * kTwipsPorPixel,
                      [encabezado](const QString& texto) { return AnchoEncabezado(*encabezado, texto) * kTwipsPorPixel; });
    Sincroniza();
    const QRect pantalla = screen()->availableGeometry();
    const Lib_FrmCons3::Disposicion d = m_.CalcularAncho(pantalla.width() * kTwipsPorPixel);
    resize(static_cast<int>(std::lround(d.AnchoVentana / kTwipsPorPixel)), std::min(480, pantalla.height()));
    CmbSearch[0]->setFocus();
}

Lib_FrmCons3Ventana::~Lib_FrmCons3Ventana() {
    // The measure reads this window's header.
    m_.AnchoEncabezado = nullptr;
    m_.AlRecargar = nullptr;
}

int Lib_FrmCons3Ventana::AnchoEncabezado(const QHeaderView& h, const QString& texto) {
    // As the header sizes a section to its contents (it measures in bold).
    QStyleOptionHeader o;
    o.initFrom(&h);
    o.orientation = Qt::Horizontal;
    o.text = texto;
    QFont fuente = h.font();
    fuente.setBold(true);
    o.fontMetrics = QFontMetrics(fuente);
    if (h.isSortIndicatorShown()) o.sortIndicator = QStyleOptionHeader::SortDown;
    const QSize s = h.style()->sizeFromContents(QStyle::CT_HeaderSection, &o, QSize(), &h);
    int ancho = s.width();
    if (h.isSortIndicatorShown()) ancho += s.height() + h.style()->pixelMetric(QStyle::PM_HeaderMargin, &o, &h);
    return ancho + 2;   // the section's dividing line
}

void Lib_FrmCons3Ventana::done(int resultado) {
    m_.AlRecargar = nullptr;
    QDialog::done(resultado);
}

void Lib_FrmCons3Ventana::CreaCajas() {
    const int n = std::max(1, m_.CantidadCajas());
    while (static_cast<int>(CmbSearch.size()) < n) {
        const int i = static_cast<int>(CmbSearch.size());
        auto* c = new QComboBox(panelCajas_);
        c->setObjectName(QStringLiteral("CmbSearch%1").arg(i));
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        if (i == 0) c->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
        c->installEventFilter(this);
        c->lineEdit()->installEventFilter(this);
        connect(c, &QComboBox::editTextChanged, this, [this, i](const QString& t) {
            if (sincronizando_) return;
            m_.CambiaCaja(i, t);
            MuestraSeleccion();
        });
        if (i > 0) setTabOrder(CmbSearch.back(), c);
        CmbSearch.push_back(c);
    }
    for (int i = 0; i < static_cast<int>(CmbSearch.size()); ++i) CmbSearch[static_cast<std::size_t>(i)]->setVisible(i < n);
    panelCajas_->setMinimumHeight(CmbSearch[0]->sizeHint().height());
}

void Lib_FrmCons3Ventana::UbicaCajas() {
    QHeaderView* h = ListView1->horizontalHeader();
    const int desplazamiento = ListView1->frameWidth();
    const int cols = static_cast<int>(m_.Columnas().size());
    for (int i = 0; i < static_cast<int>(CmbSearch.size()); ++i) {
        QComboBox* c = CmbSearch[static_cast<std::size_t>(i)];
        if (i >= cols) {
            if (cols == 0 && i == 0) c->setGeometry(0, 0, panelCajas_->width(), c->sizeHint().height());
            continue;
        }
        c->setGeometry(h->sectionViewportPosition(i) + desplazamiento, 0, std::max(20, h->sectionSize(i) - 3),
                       c->sizeHint().height());
    }
}

void Lib_FrmCons3Ventana::Sincroniza() {
    sincronizando_ = true;
    tabla_->Recarga();
    CreaCajas();
    for (int i = 0; i < static_cast<int>(CmbSearch.size()) && i < m_.CantidadCajas(); ++i) {
        QComboBox* c = CmbSearch[static_cast<std::size_t>(i)];
        if (c->currentText() != m_.TextoCaja(i)) c->setEditText(m_.TextoCaja(i));
    }
    const auto& cols = m_.Columnas();
    for (int i = 0; i < static_cast<int>(cols.size()); ++i)
        ListView1->setColumnWidth(i, static_cast<int>(cols[static_cast<std::size_t>(i)].AnchoTwips / kTwipsPorPixel));
    sincronizando_ = false;
    UbicaCajas();
    MuestraSeleccion();
}

void Lib_FrmCons3Ventana::MuestraSeleccion() {
    const int f = m_.FilaActual();
    if (f < 0) {
        ListView1->clearSelection();
        return;
    }
    const QModelIndex i = tabla_->index(f, 0);
    sincronizando_ = true;
    // A row found out of sight comes to the top; a visible one stays put.
    if (!ListView1->viewport()->rect().contains(ListView1->visualRect(i)))
        ListView1->scrollTo(i, QAbstractItemView::PositionAtTop);
    ListView1->setCurrentIndex(i);
    ListView1->selectRow(f);
    sincronizando_ = false;
}

void Lib_FrmCons3Ventana::Aceptar() {
    const QModelIndex i = ListView1->currentIndex();
    if (i.isValid() && ListView1->selectionModel()->isRowSelected(i.row(), {})) m_.SeleccionaFila(i.row());
    m_.CmdAceptar();
    accept();
}

bool Lib_FrmCons3Ventana::TeclaCaja(int caja, QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_F5:
        m_.CambiaCaja(caja, CmbSearch[static_cast<std::size_t>(caja)]->currentText());
        m_.RefinaEnServidor(caja);
        Sincroniza();
        return true;
    case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown:
        // The list takes the focus with a row chosen, so that Enter returns it.
        if (m_.FilaActual() < 0 && !m_.Filas().empty()) {
            m_.SeleccionaFila(0);
            MuestraSeleccion();
        }
        ListView1->setFocus();
        return true;
    case Qt::Key_Return: case Qt::Key_Enter:
        Aceptar();
        return true;
    default: return false;
    }
}

bool Lib_FrmCons3Ventana::TeclaLista(QKeyEvent* e) {
    const int k = e->key();
    if (k == Qt::Key_Escape || k == Qt::Key_F12 || k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_PageUp ||
        k == Qt::Key_PageDown || k == Qt::Key_Home || k == Qt::Key_End || k == Qt::Key_Tab || k == Qt::Key_Backtab)
        return false;
    if (k == Qt::Key_Space && m_.CheckBoxes) {
        const int f = ListView1->currentIndex().row();
        if (f >= 0) {
            m_.MarcaFila(f, !m_.Filas()[static_cast<std::size_t>(f)].Marcada);
            tabla_->Recarga();
            m_.SeleccionaFila(f);
            MuestraSeleccion();
        }
        return true;
    }
    int codigo = CodigoTecla(k);
    const QString texto = e->text();
    if (codigo == 0 && !texto.isEmpty() && texto[0].isPrint()) codigo = 65;
    if (codigo == 0) return false;
    const QModelIndex i = ListView1->currentIndex();
    m_.SeleccionaFila(i.isValid() ? i.row() : -1);
    const auto accion = m_.TeclaLista(codigo, e->modifiers() & Qt::ShiftModifier, texto.size() == 1 && texto[0].isPrint() ? texto : QString());
    switch (accion) {
    case Lib_FrmCons3::Accion::Aceptar: Aceptar(); break;
    case Lib_FrmCons3::Accion::FocoBusqueda: {
        const int c = std::min<int>(m_.CajaActiva(), static_cast<int>(CmbSearch.size()) - 1);
        QComboBox* caja = CmbSearch[static_cast<std::size_t>(c)];
        sincronizando_ = true;
        caja->setEditText(m_.TextoCaja(c));
        sincronizando_ = false;
        MuestraSeleccion();
        caja->setFocus();
        break;
    }
    case Lib_FrmCons3::Accion::Nada:
        if (m_.UsaCantidades) {
            const int f = m_.FilaActual();
            tabla_->Recarga();
            m_.SeleccionaFila(f);
            MuestraSeleccion();
        }
        break;
    }
    return true;
}

bool Lib_FrmCons3Ventana::eventFilter(QObject* o, QEvent* e) {
    int caja = -1;
    for (std::size_t i = 0; i < CmbSearch.size(); ++i)
        if (o == CmbSearch[i] || o == CmbSearch[i]->lineEdit()) caja = static_cast<int>(i);
    if (caja >= 0) {
        QComboBox* c = CmbSearch[static_cast<std::size_t>(caja)];
        if (e->type() == QEvent::FocusIn) {
            m_.EnfocaCaja(caja);
            c->setStyleSheet(QStringLiteral("QComboBox { background-color: #00FFFF; }"));
        } else if (e->type() == QEvent::FocusOut) {
            c->setStyleSheet(QStringLiteral("QComboBox { background-color: white; }"));
        } else if (e->type() == QEvent::KeyPress) {
            // Keys arrive at the combo box, which would take the arrows and
            // pages itself; the line edit only sees what the box passes on.
            if (TeclaCaja(caja, static_cast<QKeyEvent*>(e))) return true;
        }
        return QDialog::eventFilter(o, e);
    }
    if (o == ListView1) {
        if (e->type() == QEvent::KeyPress && TeclaLista(static_cast<QKeyEvent*>(e))) return true;
        if (e->type() == QEvent::FocusOut || e->type() == QEvent::KeyRelease) {
            const QModelIndex i = ListView1->currentIndex();
            if (i.isValid() && !sincronizando_) m_.SeleccionaFila(i.row());
        }
    }
    return QDialog::eventFilter(o, e);
}

void Lib_FrmCons3Ventana::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F12) {
        const QModelIndex i = ListView1->currentIndex();
        if (i.isValid()) m_.SeleccionaFila(i.row());
        m_.InformaFaltante();
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        m_.CmdCancelar();
        reject();
        return;
    }
    QDialog::keyPressEvent(e);
}
