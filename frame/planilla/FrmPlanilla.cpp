#include "frame/planilla/FrmPlanilla.h"

#include "db/platform/Ado.h"
#include "frame/planilla/ModeloPlanilla.h"
#include "frame/planilla/TablaPlanilla.h"
#include "platform/Operador.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A pending cell stays red when it is the selected one.
class DelegadoPlanilla : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* opcion, const QModelIndex& indice) const override {
        QStyledItemDelegate::initStyleOption(opcion, indice);
        if (indice.data(TablaPlanilla::RolPendiente).toBool()) {
            opcion->palette.setColor(QPalette::Highlight, TablaPlanilla::ColorPendienteActual());
            opcion->palette.setColor(QPalette::HighlightedText, Qt::white);
        }
    }
};

}  // namespace

FrmPlanilla::FrmPlanilla(ModeloPlanilla& modelo, QWidget* padre) : QDialog(padre), modelo_(modelo) {
    setWindowTitle(modelo_.Titulo().isEmpty() ? modelo_.Tabla() : modelo_.Titulo());
    setSizeGripEnabled(true);

    auto* etiqueta = new QLabel(QStringLiteral("&Buscar código:"), this);
    TxtBuscar_ = new QLineEdit(this);
    TxtBuscar_->setObjectName(QStringLiteral("TxtBuscar"));
    TxtBuscar_->setPlaceholderText(QStringLiteral("Buscar código"));
    TxtBuscar_->setClearButtonEnabled(true);
    TxtBuscar_->setMinimumWidth(fontMetrics().averageCharWidth() * 28);
    etiqueta->setBuddy(TxtBuscar_);
    CmdBuscar_ = new QPushButton(QStringLiteral("Buscar"), this);
    CmdBuscar_->setObjectName(QStringLiteral("CmdBuscar"));
    LblFilas_ = new QLabel(this);
    LblFilas_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Grilla_ = new QTableView(this);
    Grilla_->setObjectName(QStringLiteral("Grilla"));
    tabla_ = new TablaPlanilla(modelo_, this);
    Grilla_->setModel(tabla_);
    Grilla_->setItemDelegate(new DelegadoPlanilla(Grilla_));
    Grilla_->setSelectionMode(QAbstractItemView::SingleSelection);
    Grilla_->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grilla_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    Grilla_->setAlternatingRowColors(true);
    Grilla_->setWordWrap(false);
    Grilla_->setTextElideMode(Qt::ElideRight);
    Grilla_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // Uniform rows: the view never measures rows it does not show.
    Grilla_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grilla_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    Grilla_->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Grilla_->verticalHeader()->setTextElideMode(Qt::ElideRight);
    {
        long letras = 6;
        for (int k : modelo_.Claves()) letras += modelo_.Columnas()[static_cast<std::size_t>(k)].Tamano;
        const int ancho = fontMetrics().horizontalAdvance(QLatin1Char('0')) * static_cast<int>(std::min(letras, 16L)) + 16;
        Grilla_->verticalHeader()->setMinimumWidth(ancho);
        Grilla_->verticalHeader()->setMaximumWidth(ancho);
    }
    Grilla_->horizontalHeader()->setHighlightSections(true);
    Grilla_->horizontalHeader()->setSectionsMovable(false);
    AnchoColumnas();

    LblEstado_ = new QLabel(this);
    LblEstado_->setObjectName(QStringLiteral("LblEstado"));
    LblEstado_->setTextFormat(Qt::PlainText);
    CmdAgregar_ = new QPushButton(QStringLiteral("&Agregar"), this);
    CmdBorrar_ = new QPushButton(QStringLiteral("Bo&rrar"), this);
    CmdCerrar_ = new QPushButton(QStringLiteral("&Cerrar"), this);
    CmdAgregar_->setToolTip(QStringLiteral("Agrega una fila al final; se graba al escribir su código"));
    CmdBorrar_->setToolTip(QStringLiteral("Borra la fila actual, previa confirmación"));
    const int anchoBoton = fontMetrics().horizontalAdvance(QStringLiteral("Agregar")) + 48;
    // Enter belongs to the grid's editor, never to a default button.
    for (QPushButton* b : {CmdBuscar_, CmdAgregar_, CmdBorrar_, CmdCerrar_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setMinimumWidth(std::max(anchoBoton, b->sizeHint().width()));
    }
    CmdAgregar_->setEnabled(!modelo_.SoloLectura());
    CmdBorrar_->setEnabled(!modelo_.SoloLectura());

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(etiqueta);
    arriba->addWidget(TxtBuscar_);
    arriba->addWidget(CmdBuscar_);
    arriba->addStretch(1);
    arriba->addWidget(LblFilas_);
    auto* abajo = new QHBoxLayout;
    abajo->addWidget(LblEstado_, 1);
    abajo->addWidget(CmdAgregar_);
    abajo->addWidget(CmdBorrar_);
    abajo->addSpacing(12);
    abajo->addWidget(CmdCerrar_);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(arriba);
    todo->addWidget(Grilla_, 1);
    todo->addLayout(abajo);

    connect(TxtBuscar_, &QLineEdit::returnPressed, this, &FrmPlanilla::Busca);
    connect(CmdBuscar_, &QPushButton::clicked, this, &FrmPlanilla::Busca);
    connect(CmdAgregar_, &QPushButton::clicked, this, &FrmPlanilla::Agrega);
    connect(CmdBorrar_, &QPushButton::clicked, this, &FrmPlanilla::Borra);
    connect(CmdCerrar_, &QPushButton::clicked, this, &FrmPlanilla::reject);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this, &FrmPlanilla::Refresca);
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
        TxtBuscar_->setFocus();
        TxtBuscar_->selectAll();
    });
    // The view resets while the editor closes: the row is shown afterwards.
    connect(tabla_, &TablaPlanilla::FilaMovida, this, [this](int fila, int columna) {
        QTimer::singleShot(0, this, [this, fila, columna] {
            VaA(fila, columna);
            Grilla_->setFocus();
        });
    });
    // Back to the refused cell once its editor has closed.
    connect(tabla_, &TablaPlanilla::EdicionRechazada, this, [this](int fila, int columna) {
        QTimer::singleShot(0, this, [this, fila, columna] {
            VaA(fila, columna);
            Grilla_->setFocus();
        });
    });
    connect(tabla_, &QAbstractItemModel::dataChanged, this, &FrmPlanilla::ActualizaEstado);
    connect(tabla_, &QAbstractItemModel::modelReset, this, &FrmPlanilla::ActualizaEstado);

    // Wide enough for several columns, never beyond the screen.
    QSize tamano(1000, 600);
    if (const QScreen* s = QGuiApplication::primaryScreen())
        tamano = tamano.boundedTo(s->availableGeometry().size() * 0.9);
    resize(tamano);
    ActualizaEstado();
    if (modelo_.Filas() > 0) VaA(0, 0);
    Grilla_->setFocus();
}

FrmPlanilla::~FrmPlanilla() = default;

// Columns as wide as their values usually are, within reason.
void FrmPlanilla::AnchoColumnas() {
    const QFontMetrics fm = Grilla_->fontMetrics();
    const int letra = fm.horizontalAdvance(QLatin1Char('0'));
    for (int i = 0; i < static_cast<int>(modelo_.Columnas().size()); ++i) {
        const ColumnaPlanilla& c = modelo_.Columnas()[static_cast<std::size_t>(i)];
        int letras;
        switch (c.Tipo) {
            case ado::adBoolean: letras = 4; break;
            case ado::adDate: case ado::adDBDate: case ado::adDBTime: case ado::adDBTimeStamp: letras = 19; break;
            case ado::adChar: case ado::adWChar: case ado::adVarChar: case ado::adVarWChar:
                letras = std::clamp<int>(static_cast<int>(c.Tamano), 4, 30);
                break;
            case ado::adLongVarChar: case ado::adLongVarWChar: letras = 30; break;
            default: letras = 11; break;
        }
        const int cabecera = Grilla_->horizontalHeader()->fontMetrics().horizontalAdvance(c.Nombre) + 24;
        Grilla_->setColumnWidth(i, std::max(letras * letra + 12, cabecera));
    }
}

void FrmPlanilla::ActualizaEstado() {
    const long filas = modelo_.Filas() - (modelo_.EsFilaNueva(modelo_.Filas() - 1) ? 1 : 0);
    LblFilas_->setText(filas == 1 ? QStringLiteral("1 fila")
                                  : QStringLiteral("%1 filas").arg(QLocale(QLocale::Spanish).toString(
                                        static_cast<qlonglong>(filas))));
    const long pendientes = modelo_.CeldasPendientes();
    if (pendientes > 0) {
        LblEstado_->setText(pendientes == 1 ? QStringLiteral("1 celda sin grabar (Escape la descarta)")
                                            : QStringLiteral("%1 celdas sin grabar (Escape las descarta)").arg(pendientes));
        LblEstado_->setStyleSheet(QStringLiteral("color: #a00000;"));
    } else if (modelo_.SoloLectura()) {
        LblEstado_->setText(QStringLiteral("La tabla no tiene clave primaria: solo se consulta."));
        LblEstado_->setStyleSheet({});
    } else if (LblEstado_->styleSheet().contains(QLatin1String("a00000"))) {
        LblEstado_->clear();
        LblEstado_->setStyleSheet({});
    }
}

void FrmPlanilla::VaA(int fila, int columna) {
    if (fila < 0 || fila >= tabla_->rowCount()) return;
    const QModelIndex i = tabla_->index(fila, std::clamp(columna, 0, tabla_->columnCount() - 1));
    Grilla_->setCurrentIndex(i);
    Grilla_->scrollTo(i, QAbstractItemView::PositionAtCenter);
}

void FrmPlanilla::Busca() {
    const QString codigo = TxtBuscar_->text();
    if (codigo.trimmed().isEmpty()) return;
    const long fila = modelo_.Busca(codigo);
    if (fila < 0) {
        LblEstado_->setStyleSheet({});
        LblEstado_->setText(QStringLiteral("No hay ninguna fila con el código «%1».").arg(codigo.trimmed()));
        return;
    }
    LblEstado_->clear();
    const int columna = modelo_.Claves().empty() ? 0 : modelo_.Claves().front();
    VaA(static_cast<int>(fila), columna);
    Grilla_->setFocus();
}

void FrmPlanilla::Agrega() {
    const long fila = modelo_.Agrega();
    if (fila < 0) return;
    int columna = 0;
    for (int k : modelo_.Claves())
        if (modelo_.Columnas()[static_cast<std::size_t>(k)].Editable) {
            columna = k;
            break;
        }
    VaA(static_cast<int>(fila), columna);
    Grilla_->setFocus();
    Grilla_->edit(Grilla_->currentIndex());
}

void FrmPlanilla::Borra() {
    const QModelIndex actual = Grilla_->currentIndex();
    if (!actual.isValid()) return;
    if (modelo_.Borra(actual.row())) VaA(std::min(actual.row(), tabla_->rowCount() - 1), actual.column());
    Grilla_->setFocus();
}

void FrmPlanilla::Refresca() {
    const QModelIndex actual = Grilla_->currentIndex();
    modelo_.Refresca();
    if (actual.isValid()) VaA(std::min(actual.row(), tabla_->rowCount() - 1), actual.column());
}

void FrmPlanilla::reject() {
    const long pendientes = modelo_.CeldasPendientes();
    if (pendientes > 0 &&
        ElOperador().Mensaje(pendientes == 1 ? QStringLiteral("Hay 1 celda sin grabar. ¿Cerrar y descartarla?")
                                             : QStringLiteral("Hay %1 celdas sin grabar. ¿Cerrar y descartarlas?")
                                                   .arg(pendientes),
                             vbYesNo | vbQuestion | vbDefaultButton2, windowTitle()) != vbYes)
        return;
    QDialog::reject();
}

void FrmPlanilla::keyPressEvent(QKeyEvent* evento) {
    const QModelIndex i = Grilla_->currentIndex();
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier && focusWidget() != TxtBuscar_ &&
        i.isValid() && (modelo_.Pendiente(i.row(), i.column()) || modelo_.EsFilaNueva(i.row()))) {
        const bool nueva = modelo_.EsFilaNueva(i.row());
        modelo_.Descarta(i.row(), i.column());
        if (nueva)
            VaA(std::max(0, tabla_->rowCount() - 1), i.column());
        else
            tabla_->FilaCambiada(i.row());
        ActualizaEstado();
        Grilla_->setFocus();
        return;
    }
    QDialog::keyPressEvent(evento);
}
