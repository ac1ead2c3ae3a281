#pragma once
// Keyboard helpers for the cell editors. Key codes are the suite's
// (Windows virtual-key codes).

#include <QString>

constexpr int vbKeyTab = 9;
constexpr int vbKeyReturn = 13;
constexpr int vbKeyEscape = 27;
constexpr int vbKeySpace = 32;
constexpr int vbKeyEnd = 35;
constexpr int vbKeyLeft = 37;
constexpr int vbKeyUp = 38;
constexpr int vbKeyRight = 39;
constexpr int vbKeyDown = 40;
constexpr int vbKeyInsert = 45;
constexpr int vbKeyDelete = 46;

class Lib_Teclado {
  public:
    // Keys that end or move a cell edit: Tab, Enter, Escape, Up, Down.
    bool EsTeclaNavegacion(int tecla) const;
    // The decimal separator of the regional settings.
    QString SeparadorDecimal() const;
};

Lib_Teclado& LibTeclado();
