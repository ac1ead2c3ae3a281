#pragma once
// The work grid as a model: rows and columns of plain text, the current
// cell and the top row, in the manner of the suite's flex grid. The view
// answers the cell geometry; the model never parses display text.

#include <QString>
#include <QVector>

class GeometriaGrilla {
public:
    virtual ~GeometriaGrilla() = default;
    // In the view's units, relative to the grid; the grid's own position.
    virtual int CellLeft(int fila, int columna) const = 0;
    virtual int CellTop(int fila, int columna) const = 0;
    virtual int CellWidth(int fila, int columna) const = 0;
    virtual int CellHeight(int fila, int columna) const = 0;
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Height() const = 0;
};

class Grilla {
public:
    enum Columna { IdArticulo = 0, Descripcion = 1, ArticuloNuevo = 2 };

    QString Name = QStringLiteral("MSFlexGrid1");

    int Rows() const { return static_cast<int>(celdas_.size()); }
    void SetRows(int n);          // keeps existing rows, adds empty ones
    int Cols() const { return cols_; }
    void SetCols(int n);
    int FixedRows = 1;
    int FixedCols = 0;

    int Row = 1;                  // current cell
    int Col = 0;
    int TopRow = 1;

    QString TextMatrix(int fila, int columna) const;   // error 381 out of range
    void SetTextMatrix(int fila, int columna, const QString& texto);
    QString Text() const { return TextMatrix(Row, Col); }
    void SetText(const QString& t) { SetTextMatrix(Row, Col, t); }

    QVector<int> ColWidth;        // in characters of the window's font

    void AddItem(int posicion);   // an empty row inserted at the position
    void RemoveItem(int fila);
    void Clear();                 // every cell empty, sizes kept

    // Cell geometry, answered by the view (zeros without one).
    const GeometriaGrilla* Geometria = nullptr;
    int CellLeft() const { return Geometria ? Geometria->CellLeft(Row, Col) : 0; }
    int CellTop() const { return Geometria ? Geometria->CellTop(Row, Col) : 0; }
    int CellWidth() const { return Geometria ? Geometria->CellWidth(Row, Col) : 0; }
    int CellHeight() const { return Geometria ? Geometria->CellHeight(Row, Col) : 0; }
    int Left() const { return Geometria ? Geometria->Left() : 0; }
    int Top() const { return Geometria ? Geometria->Top() : 0; }
    int Height() const { return Geometria ? Geometria->Height() : 0; }

private:
    int cols_ = 3;
    QVector<QVector<QString>> celdas_ = QVector<QVector<QString>>(2, QVector<QString>(3));
};
