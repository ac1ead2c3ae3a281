#include "platform/lib/Lib_Teclado.h"

#include <QLocale>

bool Lib_Teclado::EsTeclaNavegacion(int tecla) const {
    switch (tecla) {
        case vbKeyTab:
        case vbKeyReturn:
        case vbKeyEscape:
        case vbKeyUp:
        case vbKeyDown:
            return true;
        default:
            return false;
    }
}

QString Lib_Teclado::SeparadorDecimal() const {
    return QLocale::system().decimalPoint();
}

Lib_Teclado& LibTeclado() {
    static Lib_Teclado t;
    return t;
}
