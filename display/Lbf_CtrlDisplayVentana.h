#pragma once
// The progress sign's window: frameless, white and translucent, on top of
// the other windows while shown, centred on the screen. Three bold centred
// lines, a twelve-frame animation driven by a 100 ms timer, and the cancel
// button. Everything it shows comes from the state (Lbf_CtrlDisplay); the
// timer and the button are forwarded to it.

#include <QLabel>
#include <QWidget>

#include <array>

#include "display/Lbf_CtrlDisplay.h"

class QPushButton;
class QTimer;

// The animation: a ring of twelve dots; the dot of the frame shown is lit
// and the three before it fade out behind it.
class AnimacionDisplay : public QWidget {
public:
    explicit AnimacionDisplay(QWidget* padre = nullptr);
    void EstableceCuadro(int cuadro);  // 1..12
    int Cuadro() const { return cuadro_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int cuadro_ = 1;
};

// A line of the sign: centred, bold; a text wider than the window is shown
// shortened in the middle, and whole as a tooltip.
class LineaDisplay : public QLabel {
public:
    explicit LineaDisplay(QWidget* padre = nullptr);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
};

class Lbf_CtrlDisplayVentana : public QWidget, public VistaDisplay {
    Q_OBJECT
public:
    static constexpr double kOpacidad = 200.0 / 255.0;

    Lbf_CtrlDisplayVentana();
    ~Lbf_CtrlDisplayVentana() override;

    void Enlaza(Lbf_CtrlDisplay& estado) override;
    void Muestra(const Lbf_CtrlDisplay& estado) override;
    void Repinta(const Lbf_CtrlDisplay& estado) override;
    void Oculta() override;
    void SiempreVisible(bool arriba) override;

    // The controls, for whoever needs to look at them.
    LineaDisplay* LblCtrol(int i) const { return lineas_.at(i); }
    AnimacionDisplay* Image1() const { return animacion_; }
    QPushButton* CmdDisplayCancelar() const { return boton_; }
    QTimer* Timer1() const { return timer_; }

    // Stepped aside while a dialog waits for the operator.
    bool Apartado() const { return apartado_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void closeEvent(QCloseEvent* e) override;
    // A modal dialog shown (a question, the access dialog) hides the sign,
    // which says "wait" while the program waits for the operator; it comes
    // back when the dialog goes.
    bool eventFilter(QObject* objeto, QEvent* e) override;

private:
    void Centra();
    static bool EsPregunta(QObject* objeto);

    bool apartado_ = false;

    Lbf_CtrlDisplay* estado_ = nullptr;
    std::array<LineaDisplay*, 3> lineas_{};
    AnimacionDisplay* animacion_ = nullptr;
    QPushButton* boton_ = nullptr;
    QTimer* timer_ = nullptr;
};

// Makes every sign of the process (ElCartel() included) show this window,
// and the process's sign tell the long database waits while the windows
// keep painting.
void InstalaVentanaDisplay();
