#pragma once
// The access dialog of the process on the real window: install it with
// UsaDialogoAccesoVentana() (or EstableceDialogoAcceso with a factory of
// DialogoAccesoVentana) once the QApplication exists.

#include "platform/DialogoAcceso.h"

#include <memory>

class frmAcceso;
class frmAccesoVentana;

class DialogoAccesoVentana : public DialogoAcceso {
public:
    DialogoAccesoVentana();
    ~DialogoAccesoVentana() override;

    // Loading creates the form and its window and runs Form_Load; the fill
    // goes through the boxes as typing does. While the dialog is shown, the
    // calls of code that runs inside it (a connection opened by "Registrar"
    // asking again) leave it alone: loading, filling, hiding and unloading
    // do nothing and a nested show is answered as cancelled.
    void Carga() override;
    void Llena(const DatosAcceso& datos) override;
    void MuestraModal() override;
    bool Aceptado() const override;
    DatosAcceso Datos() const override;
    void Oculta() override;
    void Descarga() override;

    // The loaded form and window; nothing when unloaded.
    frmAcceso* Formulario() const { return formulario_.get(); }
    frmAccesoVentana* Ventana() const { return ventana_.get(); }

private:
    std::unique_ptr<frmAcceso> formulario_;
    std::unique_ptr<frmAccesoVentana> ventana_;  // destroyed before its form
    int mostrando_ = 0;
};

// Makes DialogoAccesoVentana the process's access dialog.
void UsaDialogoAccesoVentana();
