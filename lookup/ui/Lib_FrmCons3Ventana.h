#pragma once
// The list lookup window: the heading, one search box above each column, the
// list and the buttons. Everything it does is asked of Lib_FrmCons3.

#include <QDialog>

#include <vector>

class Lib_FrmCons3;
class TablaConsulta;
class QComboBox;
class QHeaderView;
class QLabel;
class QPushButton;
class QTableView;
class QWidget;

class Lib_FrmCons3Ventana : public QDialog {
    Q_OBJECT
public:
    explicit Lib_FrmCons3Ventana(Lib_FrmCons3& modelo, QWidget* padre = nullptr);
    ~Lib_FrmCons3Ventana() override;

    // Pixels a header section needs to show `texto` whole.
    static int AnchoEncabezado(const QHeaderView& encabezado, const QString& texto);

    QTableView* ListView1 = nullptr;
    std::vector<QComboBox*> CmbSearch;
    QLabel* Label1 = nullptr;
    QPushButton* CmdTodos = nullptr;
    QPushButton* CmdNuevo = nullptr;
    QPushButton* CmdNueva = nullptr;
    QPushButton* CmdCancelar = nullptr;
    QPushButton* CmdAceptar = nullptr;

    // Rebuilds boxes, widths and selection from the model.
    void Sincroniza();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* e) override;
    void done(int resultado) override;

private:
    void CreaCajas();
    void UbicaCajas();
    void MuestraSeleccion();
    void Aceptar();
    bool TeclaCaja(int caja, QKeyEvent* e);
    bool TeclaLista(QKeyEvent* e);

    Lib_FrmCons3& m_;
    TablaConsulta* tabla_ = nullptr;
    QWidget* panelCajas_ = nullptr;
    bool sincronizando_ = false;
};
