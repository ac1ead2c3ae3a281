#pragma once
// The progress sign as the long tasks drive it: open it with a title, show
// up to three lines, close it. The class owns one window at a time, created
// on first use by any operation and released by CartelCerrar.

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

#include "display/Lbf_CtrlDisplay.h"
#include "platform/Espera.h"

class Dll_Display {
public:
    Dll_Display();
    ~Dll_Display();

    // Caption = Titulo; the cancel button only when PermiteCancelar; shown,
    // not modal. Failures are ignored.
    void CartelInicio(const QString& Titulo, bool PermiteCancelar);
    // Each line given replaces its label's text; Cancelado tells whether
    // the cancel button was clicked; then yields once to pending events.
    void CartelMostrar(bool& Cancelado, const std::optional<QVariant>& l1 = std::nullopt,
                       const std::optional<QVariant>& l2 = std::nullopt,
                       const std::optional<QVariant>& l3 = std::nullopt);
    // Hides and releases the window. Failures are ignored.
    void CartelCerrar();
    // "" for a null value, else its text.
    QString ValorTexto(const QVariant& valor) const;
    void SetSiempre_Visible(bool arriba);
    // A long database wait: the third line says what the program waits for
    // and for how long (a sign of its own is opened when none shows); its
    // end puts the line back, or closes the sign it opened.
    void MuestraEspera(const Espera& e);

    // The window, when one is loaded.
    Lbf_CtrlDisplay* Ventana() const { return ventana_.get(); }

private:
    Lbf_CtrlDisplay& Carga();

    std::unique_ptr<Lbf_CtrlDisplay> ventana_;
    bool propioDeEspera_ = false;         // opened by MuestraEspera
    std::optional<QString> lineaAntes_;   // the third line a wait covers
};

// The view each new window gets; none makes the sign window-less.
using FabricaVistaDisplay = std::function<std::unique_ptr<VistaDisplay>()>;
void EstableceVistaDisplay(FabricaVistaDisplay fabrica);

// The process's sign, created on first use.
Dll_Display& ElCartel();
