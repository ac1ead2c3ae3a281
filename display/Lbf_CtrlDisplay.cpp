#include "display/Lbf_CtrlDisplay.h"

Lbf_CtrlDisplay::Lbf_CtrlDisplay(std::unique_ptr<VistaDisplay> vista) : vista_(std::move(vista)) {
    if (vista_) vista_->Enlaza(*this);
}

void Lbf_CtrlDisplay::Form_Load() {
    // Centring, the translucent layered style and the geometry belong to the view.
    CmdDisplayCancelar = QStringLiteral("&Cancelar");
    Image1 = 1;
    Cargado = true;
}

void Lbf_CtrlDisplay::Timer1_Timer() {
    ++Cuadro;
    Image1 = Cuadro;
    if (Cuadro >= kCuadros) Cuadro = 0;
    if (vista_ && Visible) vista_->Repinta(*this);
}

void Lbf_CtrlDisplay::CmdDisplayCancelar_Click() {
    CmdDisplayCancelar = QStringLiteral("Abortado");
    if (vista_) vista_->Repinta(*this);
}

void Lbf_CtrlDisplay::Show() {
    Visible = true;
    if (vista_) vista_->Muestra(*this);
}

void Lbf_CtrlDisplay::Hide() {
    Visible = false;
    if (vista_) vista_->Oculta();
}

void Lbf_CtrlDisplay::Refresh() {
    if (vista_) vista_->Repinta(*this);
}

void Lbf_CtrlDisplay::SiempreVisible(bool arriba) {
    if (vista_) vista_->SiempreVisible(arriba);
}
