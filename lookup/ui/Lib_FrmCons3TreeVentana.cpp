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
#include <QPainter>
#include <QVBoxLayout>

namespace {

// A tree drawn with dotted lines joining the nodes (the root's too) and a
// boxed plus or minus sign on each node with children, whatever the style.
class ArbolConLineas : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    void drawBranches(QPainter* p, const QRect& rect, const QModelIndex& index) const override {
        std::vector<QModelIndex> cadena;   // from the top level down to the node
        for (QModelIndex i = index; i.isValid(); i = i.parent()) cadena.insert(cadena.begin(), i);
        const int niveles = static_cast<int>(cadena.size());
        if (niveles == 0) return;
        const int sangria = indentation();
        const int x0 = rect.right() + 1 - niveles * sangria;
        p->save();
        p->setPen(Lib_FrmCons3TreeVentana::ColorLineas());
        auto vertical = [&](int x, int y1, int y2) {
            for (int y = y1 + ((y1 ^ x) & 1); y <= y2; y += 2) p->drawPoint(x, y);
        };
        auto horizontal = [&](int x1, int x2, int y) {
            for (int x = x1 + ((x1 ^ y) & 1); x <= x2; x += 2) p->drawPoint(x, y);
        };
        for (int k = 0; k < niveles; ++k) {
            const QModelIndex& n = cadena[static_cast<std::size_t>(k)];
            const QRect celda(x0 + k * sangria, rect.top(), sangria, rect.height());
            const int cx = celda.left() + sangria / 2, cy = celda.top() + celda.height() / 2;
            const bool debajo = n.row() + 1 < model()->rowCount(n.parent());
            if (k < niveles - 1) {
                if (debajo) vertical(cx, celda.top(), celda.bottom());
                continue;
            }
            const bool arriba = n.row() > 0 || n.parent().isValid();
            vertical(cx, arriba ? celda.top() : cy, debajo ? celda.bottom() : cy);
            horizontal(cx, celda.right(), cy);
            if (!model()->hasChildren(n)) continue;
            const QRect caja(cx - 4, cy - 4, 8, 8);
            p->fillRect(caja, palette().color(QPalette::Base));
            p->drawRect(caja);
            p->setPen(palette().color(QPalette::Text));
            p->drawLine(cx - 2, cy, cx + 2, cy);
            if (!isExpanded(n)) p->drawLine(cx, cy - 2, cx, cy + 2);
            p->setPen(Lib_FrmCons3TreeVentana::ColorLineas());
        }
        p->restore();
    }
};

}  // namespace

QColor Lib_FrmCons3TreeVentana::ColorLineas() { return QColor(128, 128, 128); }

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
    TreeV = new ArbolConLineas(this);
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
