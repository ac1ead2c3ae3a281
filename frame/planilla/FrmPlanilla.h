#pragma once
// The spreadsheet editor's window: the table over TablaPlanilla, a search
// box and the buttons. It owns the pixels; ModeloPlanilla does the work.

#include <QDialog>

class ModeloPlanilla;
class TablaPlanilla;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

class FrmPlanilla : public QDialog {
    Q_OBJECT
public:
    explicit FrmPlanilla(ModeloPlanilla& modelo, QWidget* padre = nullptr);
    ~FrmPlanilla() override;

    QTableView* Grilla() const { return Grilla_; }
    QLineEdit* TxtBuscar() const { return TxtBuscar_; }
    QPushButton* CmdBuscar() const { return CmdBuscar_; }
    QPushButton* CmdAgregar() const { return CmdAgregar_; }
    QPushButton* CmdBorrar() const { return CmdBorrar_; }
    QPushButton* CmdCerrar() const { return CmdCerrar_; }
    QLabel* LblEstado() const { return LblEstado_; }
    TablaPlanilla& Tabla() { return *tabla_; }

    void Busca();
    void Agrega();
    void Borra();
    void Refresca();
    // Makes the cell current and shows it.
    void VaA(int fila, int columna);

    // Closing with texts not written asks first.
    void reject() override;

protected:
    // Escape drops the current cell's pending text (or the new row) before
    // it closes the window.
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void AnchoColumnas();
    void ActualizaEstado();

    ModeloPlanilla& modelo_;
    TablaPlanilla* tabla_ = nullptr;
    QTableView* Grilla_ = nullptr;
    QLineEdit* TxtBuscar_ = nullptr;
    QPushButton* CmdBuscar_ = nullptr;
    QPushButton* CmdAgregar_ = nullptr;
    QPushButton* CmdBorrar_ = nullptr;
    QPushButton* CmdCerrar_ = nullptr;
    QLabel* LblFilas_ = nullptr;
    QLabel* LblEstado_ = nullptr;
};
