#include "recoding/ui/FrmEMRecodificaVentana.h"

#include <QCloseEvent>
#include <QLabel>

#include "frame/lib/Lib_Util.h"

int Twips(const QWidget& w, int twips) { return qRound(twips * w.logicalDpiX() / 1440.0); }

FrmEMRecodificaVentana::FrmEMRecodificaVentana(QWidget* padre) : QWidget(padre) {
    setObjectName(QStringLiteral("FrmEMRecodifica"));
    setWindowTitle(frm_.Caption);
    frm_.Vista = this;
    LblCodigo_ = new QLabel(this);
    LblCodigo_->setObjectName(QStringLiteral("LblCodigo"));
    LblCodigo_->setGeometry(Twips(*this, 120), Twips(*this, 6000), Twips(*this, 8055), Twips(*this, 255));
    setFixedSize(Twips(*this, 8280), Twips(*this, 7815));
}

FrmEMRecodificaVentana::~FrmEMRecodificaVentana() { frm_.Vista = nullptr; }

void FrmEMRecodificaVentana::Carga() {
    frm_.Form_Load();
    Actualiza();
}

void FrmEMRecodificaVentana::Descarga() {
    if (descargada_) return;
    descargada_ = true;
    frm_.Form_Unload();
}

void FrmEMRecodificaVentana::AplicaApariencia() { LibUtil().AjustaFormulario(this, 0); }

void FrmEMRecodificaVentana::Actualiza() {
    setWindowTitle(frm_.Caption);
    LblCodigo_->setText(frm_.LblCodigo);
}

void FrmEMRecodificaVentana::closeEvent(QCloseEvent* e) {
    Descarga();
    e->accept();
}
