#include "recoding/FrmEMRecodifica.h"

#include "frame/lib/Lib_Dialogo.h"

FrmEMRecodifica::FrmEMRecodifica() = default;
FrmEMRecodifica::~FrmEMRecodifica() = default;

Lib_Dialogo& FrmEMRecodifica::Dialogo() {
    if (!dialogo_) dialogo_ = std::make_unique<Lib_Dialogo>();
    return *dialogo_;
}
