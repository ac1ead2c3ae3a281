#include "recoding/Grilla.h"

#include "platform/Fallo.h"

namespace {
[[noreturn]] void FueraDeRango() { throw Fallo(381, QStringLiteral("Subíndice no válido")); }
}  // namespace

void Grilla::SetRows(int n) {
    if (n < 0) FueraDeRango();
    celdas_.resize(n, QVector<QString>(cols_));
    if (Row >= n) Row = n > 0 ? n - 1 : 0;
}

void Grilla::SetCols(int n) {
    if (n < 0) FueraDeRango();
    cols_ = n;
    for (auto& f : celdas_) f.resize(n);
    ColWidth.resize(n);
    if (Col >= n) Col = n > 0 ? n - 1 : 0;
}

QString Grilla::TextMatrix(int fila, int columna) const {
    if (fila < 0 || fila >= Rows() || columna < 0 || columna >= cols_) FueraDeRango();
    return celdas_[fila][columna];
}

void Grilla::SetTextMatrix(int fila, int columna, const QString& texto) {
    if (fila < 0 || fila >= Rows() || columna < 0 || columna >= cols_) FueraDeRango();
    celdas_[fila][columna] = texto;
}

void Grilla::AddItem(int posicion) {
    if (posicion < 0 || posicion > Rows()) FueraDeRango();
    celdas_.insert(posicion, QVector<QString>(cols_));
}

void Grilla::RemoveItem(int fila) {
    if (fila < FixedRows || fila >= Rows()) FueraDeRango();
    celdas_.remove(fila);
    if (Row >= Rows()) Row = Rows() - 1;
}

void Grilla::Clear() {
    for (auto& f : celdas_)
        for (auto& c : f) c.clear();
}
