#include "lookup/ui/Lib_FrmCons3TreeVentana.h"

#include "frame/ui/AparienciaVentana.h"
#include "lookup/Lib_FrmCons3Tree.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

Lib_FrmCons3TreeVentana::Lib_FrmCons3TreeVentana(Lib_FrmCons3Tree& modelo, QWidget* padre)
    : QDialog(padre), m_(modelo) {
    setWindowTitle(QStringLiteral("Consulta..."));
    auto* v = new QVBoxLayout(this);
    CmbSearch = new QComboBox(this);
    CmbSearch->setObjectName(QStringLiteral("CmbSearch0"));
    CmbSearch->setEditable(true);
    CmbSearch->setInsertPolicy(QComboBox::NoInsert);
    CmbSearch->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
    CmbSearch->installEventFilter(this);
    CmbSearch->lineEdit()->installEventFilter(this);
    v->addWidget(CmbSearch);
    TreeV = new QTreeWidget(this);
    TreeV->setObjectName(QStringLiteral("TreeV"));
    TreeV->setHeaderHidden(true);
    TreeV->setRootIsDecorated(true);
    v->addWidget(TreeV, 1);
    auto* botones = new QHBoxLayout;
    CmdNueva = new QPushButton(QStringLiteral("&Nueva Busqueda"), this);
    CmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    for (QPushButton* b : {CmdNueva, CmdCancelar, CmdAceptar}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    CmdAceptar->setDefault(true);
    v->addLayout(botones);

    connect(CmdAceptar, &QPushButton::clicked, this, &Lib_FrmCons3TreeVentana::Aceptar);
    connect(CmdCancelar, &QPushButton::clicked, this, [this] {
        m_.CmdCancelar();
        reject();
    });
    connect(CmdNueva, &QPushButton::clicked, this, [this] {
        m_.CmdNueva();
        Sincroniza();
    });
    connect(TreeV, &QTreeWidget::itemDoubleClicked, this, [this] { Aceptar(); });
    connect(TreeV, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* actual) {
        if (sincronizando_ || !actual) return;
        m_.SeleccionaNodo(actual->data(0, Qt::UserRole).toInt());
    });
    connect(TreeV, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (sincronizando_) return;
        m_.MarcaNodo(item->data(0, Qt::UserRole).toInt(), item->checkState(0) == Qt::Checked);
        CopiaMarcas();
    });
    connect(CmbSearch, &QComboBox::editTextChanged, this, [this](const QString& t) {
        if (sincronizando_) return;
        m_.Busqueda(t);
        MuestraSeleccion();
    });
    Sincroniza();
    AplicaSkin(*this);
    AsignaIcono(*this);
    resize(520, 520);
}

void Lib_FrmCons3TreeVentana::Sincroniza() {
    sincronizando_ = true;
    TreeV->clear();
    items_.clear();
    const auto& nodos = m_.Nodos();
    items_.reserve(nodos.size());
    for (std::size_t i = 0; i < nodos.size(); ++i) {
        const auto& n = nodos[i];
        QTreeWidgetItem* it = n.Padre < 0 ? new QTreeWidgetItem(TreeV) : new QTreeWidgetItem(items_[static_cast<std::size_t>(n.Padre)]);
        it->setText(0, n.Texto);
        it->setData(0, Qt::UserRole, static_cast<int>(i));
        if (m_.CheckBoxes) it->setCheckState(0, n.Marcada ? Qt::Checked : Qt::Unchecked);
        items_.push_back(it);
    }
    if (!items_.empty()) items_[0]->setExpanded(true);
    sincronizando_ = false;
    MuestraSeleccion();
}

void Lib_FrmCons3TreeVentana::CopiaMarcas() {
    sincronizando_ = true;
    const auto& nodos = m_.Nodos();
    for (std::size_t i = 0; i < nodos.size() && i < items_.size(); ++i)
        items_[i]->setCheckState(0, nodos[i].Marcada ? Qt::Checked : Qt::Unchecked);
    sincronizando_ = false;
}

void Lib_FrmCons3TreeVentana::MuestraSeleccion() {
    const int n = m_.NodoActual();
    if (n < 0 || n >= static_cast<int>(items_.size())) return;
    sincronizando_ = true;
    TreeV->setCurrentItem(items_[static_cast<std::size_t>(n)]);
    TreeV->scrollToItem(items_[static_cast<std::size_t>(n)]);
    sincronizando_ = false;
}

void Lib_FrmCons3TreeVentana::Aceptar() {
    if (QTreeWidgetItem* it = TreeV->currentItem()) m_.SeleccionaNodo(it->data(0, Qt::UserRole).toInt());
    m_.CmdAceptar();
    accept();
}

bool Lib_FrmCons3TreeVentana::eventFilter(QObject* o, QEvent* e) {
    // Keys arrive at the combo box, which would take the arrows and pages
    // itself; the line edit only sees what the box passes on.
    if ((o == CmbSearch || o == CmbSearch->lineEdit()) && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        switch (k->key()) {
        case Qt::Key_F5: {
            const QString texto = CmbSearch->currentText();
            m_.RefinaEnServidor(texto);
            sincronizando_ = true;
            CmbSearch->setEditText(QString());
            sincronizando_ = false;
            Sincroniza();
            return true;
        }
        case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown:
            TreeV->setFocus();
            return true;
        default: break;
        }
    }
    return QDialog::eventFilter(o, e);
}
