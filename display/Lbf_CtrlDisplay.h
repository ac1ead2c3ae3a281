#pragma once
// The progress sign's window as state: caption, three text lines, the
// animation frame and the cancel button. A view (none for the window-less
// sign) owns the pixels and is told when the state changes.

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class Lbf_CtrlDisplay;

class VistaDisplay {
public:
    virtual ~VistaDisplay() = default;
    // The state the view belongs to, given once when the state is built:
    // the view forwards its timer and its button to it.
    virtual void Enlaza(Lbf_CtrlDisplay&) {}
    virtual void Muestra(const Lbf_CtrlDisplay&) {}
    virtual void Repinta(const Lbf_CtrlDisplay&) {}
    virtual void Oculta() {}
    virtual void SiempreVisible(bool /*arriba*/) {}
};

class Lbf_CtrlDisplay {
public:
    static constexpr int kCuadros = 12;
    static constexpr int kIntervaloMs = 100;

    explicit Lbf_CtrlDisplay(std::unique_ptr<VistaDisplay> vista = nullptr);

    QString Caption = QStringLiteral("Procesando Datos");
    std::array<QString, 3> LblCtrol;
    QString CmdDisplayCancelar = QStringLiteral("&Cancelar");  // the button's caption
    bool CmdDisplayCancelarVisible = true;
    bool Visible = false;
    bool Cargado = false;
    int Image1 = 0;          // the frame of the animation shown (1..12)
    int16_t Cuadro = 0;      // the frame counter

    // Start-up, run when the window is first loaded.
    void Form_Load();
    void Timer1_Timer();
    void CmdDisplayCancelar_Click();

    void Show();
    void Hide();
    void Refresh();
    void SiempreVisible(bool arriba);

private:
    std::unique_ptr<VistaDisplay> vista_;
};
