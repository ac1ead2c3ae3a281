#pragma once
// The access dialog's window ("Control de Acceso"): the controls of
// frmAcceso under their own names (objectName), every event forwarded to
// the form and every change repainted from it.

#include "access/frmAcceso.h"

#include <QColor>
#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmAccesoVentana : public QDialog, public VistaAcceso {
    Q_OBJECT
public:
    explicit frmAccesoVentana(frmAcceso& formulario, QWidget* padre = nullptr);
    ~frmAccesoVentana() override;

    // The colour of a box that shows its prompt.
    static QColor ColorIndicacion() { return QColor(0x46, 0x6e, 0xa8); }

    void Centra() override;
    void Enfoca(ControlAcceso c) override;
    void Oculta() override;
    void Repinta() override;

public slots:
    // Escape and closing the window cancel.
    void reject() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    struct Caja {
        QLineEdit* edicion;
        CajaTexto* caja;
    };
    QLineEdit* NuevaCaja(const char* nombre, CajaTexto& caja, const QString& ayuda);
    void SeleccionLista(int fila);

    frmAcceso& f_;
    std::vector<Caja> cajas_;
    QLineEdit* TxtUserId_ = nullptr;
    QLineEdit* TxtUserPassword_ = nullptr;
    QLineEdit* TxtDbName_ = nullptr;
    QLineEdit* TxtServidor_ = nullptr;
    QLineEdit* TxtPuerto_ = nullptr;
    QComboBox* CboPlataformaDB_ = nullptr;
    QListWidget* lstBases_ = nullptr;
    QPushButton* bcAceptar_ = nullptr;
    QLabel* Label8_ = nullptr;
    QColor colorTexto_;
    bool repintando_ = false;
};
