#include "recoding/FrmEMRecodifica.h"

#include "frame/Arranque.h"
#include "frame/lib/Lib_Dialogo.h"

FrmEMRecodifica::FrmEMRecodifica() = default;
FrmEMRecodifica::~FrmEMRecodifica() = default;

void FrmEMRecodifica::Form_Load() {
    QString cadena;
    IniciaAplicacion(false, QString(), cadena, 3);
    if (Vista) Vista->AplicaApariencia();
    InicializaGrid2();
}

void FrmEMRecodifica::Form_Unload() { FinalizaAplicacion(); }

Lib_Dialogo& FrmEMRecodifica::Dialogo() {
    if (!dialogo_) dialogo_ = std::make_unique<Lib_Dialogo>();
    return *dialogo_;
}
