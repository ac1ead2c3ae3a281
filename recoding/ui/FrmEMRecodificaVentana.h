#pragma once
// The main window on screen: it owns the pixels and forwards its events to
// the window-less FrmEMRecodifica, which holds every behaviour.

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <utility>
#include <vector>

#include "recoding/FrmEMRecodifica.h"

class QCheckBox;
class QLabel;
class QPushButton;
class GrillaVista;
class UtilKor;

// Twips (1440 an inch) as pixels at the widget's logical resolution.
int Twips(const QWidget& w, int twips);

// The floating cell editor: keys and key presses go to the model.
class EditorCeldaVista : public QLineEdit {
    Q_OBJECT
public:
    EditorCeldaVista(FrmEMRecodifica& frm, QWidget* padre);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    FrmEMRecodifica& frm_;
};

class FrmEMRecodificaVentana : public QWidget, public VistaRecodifica {
    Q_OBJECT
public:
    explicit FrmEMRecodificaVentana(QWidget* padre = nullptr);
    ~FrmEMRecodificaVentana() override;

    FrmEMRecodifica& Modelo() { return frm_; }
    UtilKor* Barra() const { return UtilKor1_; }
    GrillaVista* Grilla_() const { return grilla_; }
    EditorCeldaVista* Editor() const { return txtedit_; }

    // Window load: start-up (which may end the process), appearance, grid.
    void Carga();
    // Window unload, once, however the window is closed.
    void Descarga();
    bool Descargada() const { return descargada_; }

    // ---- the model's requests -------------------------------------------------------
    void FocoGrilla() override;
    void FocoEditor() override;
    void EnviaTeclas(const QString& teclas) override;
    void FocoControl(const QString& control) override;
    void Actualiza() override;
    void Progreso(int fila, int total) override;
    void Recodificado(const ResultadoCodigo& resultado) override;
    void AplicaApariencia() override;
    void Cierra() override;
    void MuestraPlanilla(const QString& tabla, const QString& conexion, const QString& titulo) override;
    void MuestraVistaPrevia(const InformeVistaPrevia& informe) override;
    // The last preview window shown, while it is open.
    QWidget* VentanaVistaPrevia() const { return vistaPrevia_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* e) override;
    // Larger than drawn (resized, maximised): the grid grows, the controls
    // below it follow its bottom edge.
    void resizeEvent(QResizeEvent* e) override;

private:
    void ArmaControles();
    QSize tamanoBase_;
    QRect grillaBase_;
    std::vector<std::pair<QWidget*, QRect>> debajo_;  // controls under the grid, where drawn
    void AjustaTextos();
    void ArmaBarra();
    void ColocaEditor();
    template <class W>
    W* Control(W* w, const char* nombre, int izq, int arriba, int ancho, int alto, const QString& texto = {});

    FrmEMRecodifica frm_;
    QPointer<QWidget> vistaPrevia_;
    bool cierrePendiente_ = false;  // asked to close during a run
    UtilKor* UtilKor1_ = nullptr;
    GrillaVista* grilla_ = nullptr;
    EditorCeldaVista* txtedit_ = nullptr;
    QLineEdit *TxtPrefijoAnt_ = nullptr, *TxtPrefijoNvo_ = nullptr, *TxtRubro_ = nullptr, *TxtDelimitador_ = nullptr;
    QCheckBox *chkBlancos_ = nullptr, *ChkPermiteExistente_ = nullptr, *chkCargarBlancos_ = nullptr,
              *ChkEstadisticas_ = nullptr, *ChkSoloMaestro_ = nullptr;
    QPushButton *CmdPrefijo_ = nullptr, *CmdBuscar_ = nullptr, *CmdControlar_ = nullptr;
    QLabel* LblCodigo_ = nullptr;
    void PonEstado();
    bool descargada_ = false;
    bool actualizando_ = false;
    QElapsedTimer progreso_;
    bool progresoPendiente_ = false;  // a progress text waits for the pause to end
};
