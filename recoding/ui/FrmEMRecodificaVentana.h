#pragma once
// The main window on screen: it owns the pixels and forwards its events to
// the window-less FrmEMRecodifica.

#include <QWidget>

#include "recoding/FrmEMRecodifica.h"

class QLabel;

// Twips (1440 an inch) as pixels at the widget's logical resolution.
int Twips(const QWidget& w, int twips);

class FrmEMRecodificaVentana : public QWidget, public VistaRecodifica {
    Q_OBJECT
public:
    explicit FrmEMRecodificaVentana(QWidget* padre = nullptr);
    ~FrmEMRecodificaVentana() override;

    FrmEMRecodifica& Modelo() { return frm_; }

    // Window load: start-up (which may end the process), appearance, grid.
    void Carga();
    // Window unload, once, however the window is closed.
    void Descarga();
    bool Descargada() const { return descargada_; }

    void AplicaApariencia() override;
    void Actualiza() override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    FrmEMRecodifica frm_;
    QLabel* LblCodigo_ = nullptr;
    bool descargada_ = false;
};
