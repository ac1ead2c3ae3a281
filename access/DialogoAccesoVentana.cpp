#include "access/DialogoAccesoVentana.h"

#include "platform/qt/OperadorQt.h"

#include "access/frmAcceso.h"
#include "access/frmAccesoVentana.h"

DialogoAccesoVentana::DialogoAccesoVentana() = default;
DialogoAccesoVentana::~DialogoAccesoVentana() {
    ventana_.reset();
    formulario_.reset();
}

void DialogoAccesoVentana::Carga() {
    if (formulario_) return;
    formulario_ = std::make_unique<frmAcceso>();
    ventana_ = std::make_unique<frmAccesoVentana>(*formulario_);
    formulario_->Form_Load();
}

void DialogoAccesoVentana::Llena(const DatosAcceso& datos) {
    if (mostrando_) return;
    Carga();
    frmAcceso& f = *formulario_;
    f.AsignaTexto(f.TxtDbName, datos.baseDatos);
    f.AsignaTexto(f.TxtServidor, datos.servidor);
    f.AsignaTexto(f.TxtUserId, datos.usuario);
    f.AsignaTexto(f.TxtUserPassword, datos.clave);
    f.CboPlataformaDB.ListIndex = datos.plataforma > 0 ? 1 : 0;
    ventana_->Repinta();
}

void DialogoAccesoVentana::MuestraModal() {
    if (mostrando_) return;
    Carga();
    formulario_->Visible = true;
    ++mostrando_;
    PorEncimaDelCartel(*ventana_);
    ventana_->exec();
    --mostrando_;
    formulario_->Visible = false;
}

bool DialogoAccesoVentana::Aceptado() const { return !mostrando_ && formulario_ && formulario_->Aceptar; }

DatosAcceso DialogoAccesoVentana::Datos() const {
    if (!formulario_) return {};
    const frmAcceso& f = *formulario_;
    return {f.Valor(f.TxtDbName), f.ServidorConPuerto(), f.Valor(f.TxtUserId), f.Valor(f.TxtUserPassword),
            f.CboPlataformaDB.ListIndex};
}

void DialogoAccesoVentana::Oculta() {
    if (mostrando_ || !ventana_) return;
    ventana_->hide();
}

void DialogoAccesoVentana::Descarga() {
    if (mostrando_) return;
    ventana_.reset();
    formulario_.reset();
}

void UsaDialogoAccesoVentana() {
    EstableceDialogoAcceso([] { return std::make_unique<DialogoAccesoVentana>(); });
}
