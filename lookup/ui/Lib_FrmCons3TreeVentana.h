#pragma once
// The tree lookup window: the search box, the tree and the buttons, drawn
// from Lib_FrmCons3Tree's nodes; everything it does is asked of the model.

#include <QColor>
#include <QDialog>

#include <vector>

class Lib_FrmCons3Tree;
class QComboBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class Lib_FrmCons3TreeVentana : public QDialog {
    Q_OBJECT
public:
    explicit Lib_FrmCons3TreeVentana(Lib_FrmCons3Tree& modelo, QWidget* padre = nullptr);

    QComboBox* CmbSearch = nullptr;
    QTreeWidget* TreeV = nullptr;
    QPushButton* CmdNueva = nullptr;
    QPushButton* CmdCancelar = nullptr;
    QPushButton* CmdAceptar = nullptr;

    // The colour of the lines joining the nodes.
    static QColor ColorLineas();

    // Rebuilds the items from the model's nodes.
    void Sincroniza();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void MuestraSeleccion();
    void Aceptar();
    void CopiaMarcas();

    Lib_FrmCons3Tree& m_;
    std::vector<QTreeWidgetItem*> items_;   // by node index
    bool sincronizando_ = false;
};
