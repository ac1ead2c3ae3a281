#pragma once
// The suite's toolbar control: command buttons identified by a key text,
// each with a caption, an icon, a tool tip and a function key. A click (or
// its key, through ManejaTecla) emits Click with the button's key. StyleBar
// chooses the look: 0 raised buttons, any other value flat ones.

#include <QIcon>
#include <QWidget>

#include <vector>

class QToolButton;
class QHBoxLayout;

class UtilKor : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int StyleBar READ StyleBar WRITE SetStyleBar)
public:
    struct Boton {
        QString clave;    // "NUEVO", "GRABAR", ...
        QString texto;    // caption
        QString tip;      // tool tip
        int tecla = 0;    // the suite's key code of its function key (F1 = 112); 0 for none
        QIcon icono;
    };

    explicit UtilKor(QWidget* padre = nullptr);

    void AgregaBoton(const Boton& boton);
    QToolButton* BotonDe(const QString& clave) const;
    const std::vector<Boton>& Botones() const { return botones_; }

    int StyleBar() const { return styleBar_; }
    void SetStyleBar(int estilo);

    // The window's key down, passed on: a button's function key clicks it
    // and the key is consumed (set to 0).
    void ManejaTecla(int& tecla, int shift);

    // A simple icon of our own: a coloured disc with a symbol.
    static QIcon Icono(const QColor& color, const QString& simbolo);

signals:
    void Click(const QString& clave);

private:
    QHBoxLayout* fila_ = nullptr;
    std::vector<Boton> botones_;
    std::vector<QToolButton*> widgets_;
    int styleBar_ = 1;
};

// The suite's key code of a Qt key (function keys, navigation keys, Return,
// Escape, letters and digits); 0 for keys without one.
int CodigoTecla(int teclaQt);
