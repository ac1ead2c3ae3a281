#pragma once
// The work grid on screen: drawn from the Grilla model (caption row fixed,
// the model's column widths in the font's "X", the current cell, scrolled
// by TopRow) and display-only; keys, clicks and focus go to the window's
// model as the grid control's events.

#include <QAbstractScrollArea>

#include "recoding/Grilla.h"

class FrmEMRecodifica;

class GrillaVista : public QAbstractScrollArea, public GeometriaGrilla {
    Q_OBJECT
public:
    GrillaVista(FrmEMRecodifica& frm, QWidget* padre = nullptr);

    // Geometry in pixels, relative to the grid widget; the grid's own
    // position in the window.
    int CellLeft(int fila, int columna) const override;
    int CellTop(int fila, int columna) const override;
    int CellWidth(int fila, int columna) const override;
    int CellHeight(int fila, int columna) const override;
    int Left() const override { return x(); }
    int Top() const override { return y(); }
    int Height() const override { return height(); }

    int AltoFila() const;
    int AnchoColumna(int columna) const;
    // The cell under a point of the viewport; false on the caption row or outside.
    bool CeldaEn(const QPoint& p, int& fila, int& columna) const;

    // After a model change: scroll bars and repaint.
    void Sincroniza();
    // The data rows the viewport shows whole.
    int FilasVisibles() const;

signals:
    // The visible part moved (the floating editor follows its cell).
    void Desplazada();
    // A click changed the model (the current cell, the editor).
    void Modificada();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool) override { return QWidget::focusNextPrevChild(true); }

private:
    // Makes the current row visible by moving TopRow.
    void MuestraFilaActual();
    int Desplazamiento() const;  // horizontal, in pixels

    FrmEMRecodifica& frm_;
    bool sincronizando_ = false;
};
