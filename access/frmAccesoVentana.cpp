#include "access/frmAccesoVentana.h"

#include "platform/Fallo.h"

#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel* Etiqueta(const char* nombre, const QString& texto, QWidget* padre) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QString::fromLatin1(nombre));
    return l;
}

QPushButton* Boton(const char* nombre, const QString& texto, QWidget* padre) {
    auto* b = new QPushButton(texto, padre);
    b->setObjectName(QString::fromLatin1(nombre));
    return b;
}

void Resalta(QLabel* l, qreal escala) {
    QFont f = l->font();
    f.setBold(true);
    if (escala != 1.0 && f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * escala);
    l->setFont(f);
}

}  // namespace

frmAccesoVentana::frmAccesoVentana(frmAcceso& formulario, QWidget* padre) : QDialog(padre), f_(formulario) {
    setObjectName(QStringLiteral("frmAcceso"));
    setWindowTitle(QStringLiteral("Control de Acceso"));
    setModal(true);

    // The three Label1 captions.
    QLabel* titulo = Etiqueta("Label1", QStringLiteral("Control de Acceso"), this);
    Resalta(titulo, 1.4);
    QLabel* autenticacion = Etiqueta("Label1", QStringLiteral("AUTENTICACION"), this);
    Resalta(autenticacion, 1.0);
    QLabel* registradas = Etiqueta("Label1", QStringLiteral("Conexiones registradas"), this);
    Resalta(registradas, 1.0);

    TxtUserId_ = NuevaCaja("TxtUserId", f_.TxtUserId, QStringLiteral("Ingrese el nombre de usuario"));
    TxtUserPassword_ = NuevaCaja("TxtUserPassword", f_.TxtUserPassword, QStringLiteral("Ingrese la contraseña"));
    TxtUserPassword_->setEchoMode(QLineEdit::Password);
    TxtUserPassword_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));  // "*"
    TxtDbName_ = NuevaCaja("TxtDbName", f_.TxtDbName, QStringLiteral("ingrese el nombre de la base de datos"));
    TxtServidor_ =
        NuevaCaja("TxtServidor", f_.TxtServidor, QStringLiteral("ingrese el nombre del servidor e instancia"));
    TxtPuerto_ = NuevaCaja("TxtPuerto", f_.TxtPuerto, QStringLiteral("Ingrese el Puerto "));
    colorTexto_ = TxtUserId_->palette().color(QPalette::Text);

    // Wide enough for the longest prompt; the port box for six digits.
    const QFontMetrics fm(TxtServidor_->font());
    int ancho = 0;
    for (const CajaTexto* c : {&f_.TxtUserId, &f_.TxtDbName, &f_.TxtServidor})
        ancho = std::max(ancho, fm.horizontalAdvance(f_.IndicacionDe(*c)));
    for (QLineEdit* e : {TxtUserId_, TxtUserPassword_, TxtDbName_, TxtServidor_}) e->setMinimumWidth(ancho + 24);
    TxtPuerto_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("0000000")) + 16);
    TxtPuerto_->setMaximumWidth(fm.horizontalAdvance(QStringLiteral("0000000")) + 24);

    CboPlataformaDB_ = new QComboBox(this);
    CboPlataformaDB_->setObjectName(QStringLiteral("CboPlataformaDB"));
    lstBases_ = new QListWidget(this);
    lstBases_->setObjectName(QStringLiteral("lstBases"));
    lstBases_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("SERVIDOR\\INSTANCIA / BASE_DE_DATOS")));
    lstBases_->installEventFilter(this);

    bcAceptar_ = Boton("bcAceptar", QStringLiteral("Conectar"), this);
    QPushButton* bcCancelar = Boton("bcCancelar", QStringLiteral("Cancelar"), this);
    QPushButton* CmdRegistrar = Boton("CmdRegistrar", QStringLiteral("Registrar"), this);
    QPushButton* CmdLineaComando = Boton("CmdLineaComando", QStringLiteral("Crear Acceso Directo"), this);
    // Return moves the focus between the boxes; on a button it presses that button.
    for (QPushButton* b : {bcAceptar_, bcCancelar, CmdRegistrar, CmdLineaComando}) b->setDefault(false);

    Label8_ = Etiqueta("Label8", frmAcceso::kDireccionWeb, this);
    Label8_->setCursor(Qt::PointingHandCursor);
    Label8_->setStyleSheet(QStringLiteral("color: #1a4fa0; text-decoration: underline;"));
    Label8_->installEventFilter(this);
    QLabel* Label7 = Etiqueta("Label7", frmAcceso::TituloAplicacion(), this);
    Resalta(Label7, 1.0);

    // Layout: registered connections on the left, the login on the right.
    auto* datos = new QGridLayout;
    const struct {
        const char* nombre;
        QString texto;
    } rotulos[] = {{"Label2", QStringLiteral("Usuario")},
                   {"Label3", QStringLiteral("Contraseña")},
                   {"Label4", QStringLiteral("Base de datos")},
                   {"Label5", QStringLiteral("Servidor")},
                   {"Label6", QStringLiteral("Plataforma")}};
    QWidget* campos[] = {TxtUserId_, TxtUserPassword_, TxtDbName_, TxtServidor_, CboPlataformaDB_};
    for (int i = 0; i < 5; ++i) {
        QLabel* l = Etiqueta(rotulos[i].nombre, rotulos[i].texto, this);
        l->setBuddy(campos[i]);
        datos->addWidget(l, i, 0);
        if (i == 3) {
            datos->addWidget(TxtServidor_, i, 1);
            datos->addWidget(TxtPuerto_, i, 2);
        } else {
            datos->addWidget(campos[i], i, 1, 1, 2);
        }
    }
    datos->setColumnStretch(1, 1);

    auto* izquierda = new QVBoxLayout;
    izquierda->addWidget(registradas);
    izquierda->addWidget(lstBases_, 1);
    auto* derecha = new QVBoxLayout;
    derecha->addWidget(autenticacion);
    derecha->addLayout(datos);
    derecha->addStretch(1);
    auto* cuerpo = new QHBoxLayout;
    cuerpo->addLayout(izquierda, 2);
    cuerpo->addSpacing(12);
    cuerpo->addLayout(derecha, 3);

    auto* botones = new QHBoxLayout;
    botones->addWidget(CmdRegistrar);
    botones->addWidget(CmdLineaComando);
    botones->addStretch(1);
    botones->addWidget(bcAceptar_);
    botones->addWidget(bcCancelar);

    auto* pie = new QHBoxLayout;
    pie->addWidget(Label7);
    pie->addStretch(1);
    pie->addWidget(Label8_);

    auto* todo = new QVBoxLayout(this);
    todo->addWidget(titulo);
    todo->addLayout(cuerpo, 1);
    todo->addLayout(botones);
    todo->addLayout(pie);
    todo->setSizeConstraint(QLayout::SetMinimumSize);

    // The tab order of the form.
    setTabOrder(TxtUserId_, TxtUserPassword_);
    setTabOrder(TxtUserPassword_, TxtDbName_);
    setTabOrder(TxtDbName_, TxtServidor_);
    setTabOrder(TxtServidor_, TxtPuerto_);
    setTabOrder(TxtPuerto_, CboPlataformaDB_);
    setTabOrder(CboPlataformaDB_, bcAceptar_);
    setTabOrder(bcAceptar_, bcCancelar);
    setTabOrder(bcCancelar, CmdRegistrar);
    setTabOrder(CmdRegistrar, CmdLineaComando);
    setTabOrder(CmdLineaComando, lstBases_);

    // Events to the form.
    connect(bcAceptar_, &QPushButton::clicked, this, [this] {
        f_.bcAceptar_Click();
        Repinta();
    });
    connect(bcCancelar, &QPushButton::clicked, this, [this] {
        f_.bcCancelar_Click();
        Repinta();
    });
    connect(CmdRegistrar, &QPushButton::clicked, this, [this] {
        f_.CmdRegistrar_Click();
        Repinta();
    });
    connect(CmdLineaComando, &QPushButton::clicked, this, [this] {
        f_.CmdLineaComando_Click();
        Repinta();
    });
    connect(lstBases_, &QListWidget::currentRowChanged, this, [this](int fila) {
        if (!repintando_ && fila >= 0) SeleccionLista(fila);
    });
    connect(lstBases_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { SeleccionLista(lstBases_->row(item)); });
    connect(lstBases_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        f_.lstBases.ListIndex = lstBases_->row(item);
        f_.lstBases_DblClick();
        Repinta();
    });
    connect(CboPlataformaDB_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!repintando_) f_.CboPlataformaDB.ListIndex = i;
    });

    f_.EstableceVista(this);
    Repinta();
}

frmAccesoVentana::~frmAccesoVentana() { f_.EstableceVista(nullptr); }

QLineEdit* frmAccesoVentana::NuevaCaja(const char* nombre, CajaTexto& caja, const QString& ayuda) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(nombre));
    e->setToolTip(ayuda);
    e->installEventFilter(this);
    cajas_.push_back({e, &caja});
    connect(e, &QLineEdit::textEdited, this, [this, &caja](const QString& texto) {
        f_.AsignaTexto(caja, texto);
        Repinta();
    });
    return e;
}

void frmAccesoVentana::SeleccionLista(int fila) {
    f_.lstBases.ListIndex = fila;
    f_.lstBases_Click();
    Repinta();
}

bool frmAccesoVentana::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(evento);
        const bool retorno = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (retorno && objeto == TxtUserId_) {
            f_.TxtUserId_KeyPress(13);
        } else if (retorno && objeto == TxtUserPassword_) {
            f_.TxtUserPassword_KeyPress(13);
        } else if (retorno && objeto == TxtDbName_) {
            f_.TxtDbName_KeyPress(13);
        } else if (retorno && objeto == TxtServidor_) {
            f_.TxtServidor_KeyPress(13);
        } else if (objeto == lstBases_ && k->key() != Qt::Key_Tab && k->key() != Qt::Key_Backtab) {
            f_.lstBases_KeyDown(k->key(), static_cast<int>(k->modifiers() >> 25));
            Repinta();
            return false;
        } else {
            return QDialog::eventFilter(objeto, evento);
        }
        Repinta();
        return true;
    }
    if (evento->type() == QEvent::FocusIn) {
        if (objeto == TxtUserId_) f_.TxtUserId_GotFocus();
        for (const Caja& c : cajas_)
            if (objeto == c.edicion) Repinta();
        return false;
    }
    if (evento->type() == QEvent::MouseButtonRelease && objeto == Label8_ &&
        static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton) {
        f_.Label8_Click();
        return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

// ---- the view -------------------------------------------------------------------------

void frmAccesoVentana::Centra() {
    adjustSize();
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect zona = s->availableGeometry();
    move(zona.center() - QPoint(width() / 2, height() / 2));
}

void frmAccesoVentana::Enfoca(ControlAcceso c) {
    QWidget* w = nullptr;
    switch (c) {
        case ControlAcceso::TxtUserId: w = TxtUserId_; break;
        case ControlAcceso::TxtUserPassword: w = TxtUserPassword_; break;
        case ControlAcceso::TxtDbName: w = TxtDbName_; break;
        case ControlAcceso::TxtServidor: w = TxtServidor_; break;
        case ControlAcceso::TxtPuerto: w = TxtPuerto_; break;
        case ControlAcceso::CboPlataformaDB: w = CboPlataformaDB_; break;
        case ControlAcceso::lstBases: w = lstBases_; break;
        case ControlAcceso::bcAceptar: w = bcAceptar_; break;
        case ControlAcceso::Ninguno: break;
    }
    if (w) w->setFocus(Qt::OtherFocusReason);
}

void frmAccesoVentana::Oculta() {
    if (isVisible())
        QDialog::done(f_.Aceptar ? QDialog::Accepted : QDialog::Rejected);
    else
        hide();
}

void frmAccesoVentana::reject() { f_.bcCancelar_Click(); }

void frmAccesoVentana::Repinta() {
    repintando_ = true;
    for (const Caja& c : cajas_) {
        if (c.edicion->text() != c.caja->Text) c.edicion->setText(c.caja->Text);
        QPalette p = c.edicion->palette();
        const QColor color = c.caja->Indicacion ? ColorIndicacion() : colorTexto_;
        if (p.color(QPalette::Text) != color) {
            p.setColor(QPalette::Text, color);
            c.edicion->setPalette(p);
        }
        // The prompt's selection shows in the box that has the focus.
        if (c.caja->Indicacion && c.edicion->hasFocus())
            c.edicion->setSelection(c.caja->SelStart, c.caja->SelLength);
        else if (c.caja->Indicacion)
            c.edicion->deselect();
    }
    QStringList actuales;
    for (int i = 0; i < lstBases_->count(); ++i) actuales.append(lstBases_->item(i)->text());
    if (actuales != f_.lstBases.List) {
        lstBases_->clear();
        lstBases_->addItems(f_.lstBases.List);
    }
    if (lstBases_->currentRow() != f_.lstBases.ListIndex) lstBases_->setCurrentRow(f_.lstBases.ListIndex);
    QStringList plataformas;
    for (int i = 0; i < CboPlataformaDB_->count(); ++i) plataformas.append(CboPlataformaDB_->itemText(i));
    if (plataformas != f_.CboPlataformaDB.List) {
        CboPlataformaDB_->clear();
        CboPlataformaDB_->addItems(f_.CboPlataformaDB.List);
    }
    if (CboPlataformaDB_->currentIndex() != f_.CboPlataformaDB.ListIndex)
        CboPlataformaDB_->setCurrentIndex(f_.CboPlataformaDB.ListIndex);
    repintando_ = false;
}
