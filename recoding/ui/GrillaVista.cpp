#include "recoding/ui/GrillaVista.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "frame/controles/UtilKor.h"
#include "recoding/FrmEMRecodifica.h"

GrillaVista::GrillaVista(FrmEMRecodifica& frm, QWidget* padre) : QAbstractScrollArea(padre), frm_(frm) {
    setObjectName(frm.MSFlexGrid1.Name);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    frm.MSFlexGrid1.Geometria = this;
}

int GrillaVista::AltoFila() const { return fontMetrics().height() + 4; }

int GrillaVista::AnchoColumna(int columna) const {
    const Grilla& g = frm_.MSFlexGrid1;
    const int x = fontMetrics().horizontalAdvance(QLatin1Char('X'));
    const int n = columna < g.ColWidth.size() ? g.ColWidth[columna] : 10;
    return n * x;
}

int GrillaVista::Desplazamiento() const { return horizontalScrollBar()->value(); }

int GrillaVista::CellLeft(int, int columna) const {
    int x = 0;
    for (int c = 0; c < columna; ++c) x += AnchoColumna(c);
    return viewport()->x() + x - Desplazamiento();
}

int GrillaVista::CellTop(int fila, int) const {
    const Grilla& g = frm_.MSFlexGrid1;
    const int desde = fila < g.FixedRows ? fila : g.FixedRows + (fila - g.TopRow);
    return viewport()->y() + desde * AltoFila();
}

int GrillaVista::CellWidth(int, int columna) const { return AnchoColumna(columna); }
int GrillaVista::CellHeight(int, int) const { return AltoFila(); }

int GrillaVista::FilasVisibles() const {
    return std::max(1, viewport()->height() / AltoFila() - frm_.MSFlexGrid1.FixedRows);
}

bool GrillaVista::CeldaEn(const QPoint& p, int& fila, int& columna) const {
    const Grilla& g = frm_.MSFlexGrid1;
    const int f = p.y() / AltoFila();
    if (f < g.FixedRows) return false;
    fila = g.TopRow + (f - g.FixedRows);
    if (fila >= g.Rows()) return false;
    int x = p.x() + Desplazamiento();
    for (int c = 0; c < g.Cols(); ++c) {
        if (x < AnchoColumna(c)) {
            columna = c;
            return true;
        }
        x -= AnchoColumna(c);
    }
    return false;
}

void GrillaVista::Sincroniza() {
    const Grilla& g = frm_.MSFlexGrid1;
    sincronizando_ = true;
    QScrollBar* v = verticalScrollBar();
    v->setRange(g.FixedRows, std::max(g.FixedRows, g.Rows() - 1));
    v->setPageStep(FilasVisibles());
    v->setValue(g.TopRow);
    int ancho = 0;
    for (int c = 0; c < g.Cols(); ++c) ancho += AnchoColumna(c);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, ancho - viewport()->width()));
    h->setPageStep(viewport()->width());
    sincronizando_ = false;
    viewport()->update();
}

void GrillaVista::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    Sincroniza();
}

void GrillaVista::scrollContentsBy(int, int) {
    if (sincronizando_) return;
    Grilla& g = frm_.MSFlexGrid1;
    g.TopRow = std::clamp(verticalScrollBar()->value(), g.FixedRows, std::max(g.FixedRows, g.Rows() - 1));
    viewport()->update();
    emit Desplazada();
}

void GrillaVista::paintEvent(QPaintEvent*) {
    const Grilla& g = frm_.MSFlexGrid1;
    QPainter p(viewport());
    const QPalette& pal = palette();
    const int alto = AltoFila();
    const int dx = Desplazamiento();
    const QColor linea = pal.color(QPalette::Mid);
    auto pintaFila = [&](int fila, int y, bool fija) {
        int x = -dx;
        for (int c = 0; c < g.Cols(); ++c) {
            const int w = AnchoColumna(c);
            const QRect r(x, y, w, alto);
            const bool actual = !fija && fila == g.Row && c == g.Col;
            if (fija) p.fillRect(r, pal.color(QPalette::Button));
            else if (actual) p.fillRect(r, pal.color(QPalette::Highlight));
            else if (fila == g.Row) p.fillRect(r, pal.color(QPalette::AlternateBase));
            p.setPen(linea);
            p.drawLine(r.topRight(), r.bottomRight());
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.setPen(actual ? pal.color(QPalette::HighlightedText)
                            : pal.color(fija ? QPalette::ButtonText : QPalette::Text));
            p.drawText(r.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft,
                       fontMetrics().elidedText(g.TextMatrix(fila, c), Qt::ElideRight, w - 6));
            x += w;
        }
    };
    int y = 0;
    for (int f = 0; f < g.FixedRows && f < g.Rows(); ++f, y += alto) pintaFila(f, y, true);
    for (int f = g.TopRow; f < g.Rows() && y < viewport()->height(); ++f, y += alto) pintaFila(f, y, false);
}

void GrillaVista::MuestraFilaActual() {
    Grilla& g = frm_.MSFlexGrid1;
    if (g.Row < g.TopRow) g.TopRow = g.Row;
    else if (g.Row >= g.TopRow + FilasVisibles()) g.TopRow = g.Row - FilasVisibles() + 1;
    g.TopRow = std::max(g.TopRow, g.FixedRows);
    Sincroniza();
    emit Desplazada();
}

void GrillaVista::keyPressEvent(QKeyEvent* e) {
    const int tecla = CodigoTecla(e->key());
    const int shift = (e->modifiers() & Qt::ShiftModifier ? 1 : 0) | (e->modifiers() & Qt::ControlModifier ? 2 : 0) |
                      (e->modifiers() & Qt::AltModifier ? 4 : 0);
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    if (tecla) frm_.MSFlexGrid1_KeyDown(static_cast<int16_t>(tecla), shift);
    // The grid control's own navigation.
    Grilla& g = frm_.MSFlexGrid1;
    int fila = g.Row, columna = g.Col;
    switch (e->key()) {
        case Qt::Key_Up: fila = std::max(g.FixedRows, fila - 1); break;
        case Qt::Key_Down: fila = std::min(g.Rows() - 1, fila + 1); break;
        case Qt::Key_Left: columna = std::max(0, columna - 1); break;
        case Qt::Key_Right: columna = std::min(g.Cols() - 1, columna + 1); break;
        case Qt::Key_PageUp: fila = std::max(g.FixedRows, fila - FilasVisibles()); break;
        case Qt::Key_PageDown: fila = std::min(g.Rows() - 1, fila + FilasVisibles()); break;
        case Qt::Key_Home: columna = 0; break;
        default: break;
    }
    if (fila != g.Row || columna != g.Col) {
        frm_.MueveCelda(fila, columna);
        MuestraFilaActual();
        return;
    }
    // Then the key press: characters, Enter, Backspace.
    const QString texto = e->text();
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        frm_.MSFlexGrid1_KeyPress(13);
    } else if (!texto.isEmpty() && (texto[0].isPrint() || texto[0] == QLatin1Char('\b'))) {
        frm_.MSFlexGrid1_KeyPress(static_cast<int16_t>(texto[0].unicode()));
    }
    viewport()->update();
}

void GrillaVista::mousePressEvent(QMouseEvent* e) {
    int fila = 0, columna = 0;
    const bool enCelda = CeldaEn(e->position().toPoint(), fila, columna);
    // Leaving the editor for another cell validates it first.
    if (enCelda && (fila != frm_.MSFlexGrid1.Row || columna != frm_.MSFlexGrid1.Col)) frm_.EditorDejadoConRaton();
    if (enCelda) frm_.MueveCelda(fila, columna);
    setFocus(Qt::MouseFocusReason);
    frm_.MSFlexGrid1_Click();
    viewport()->update();
    // The editor hidden by the model is hidden on the screen too.
    emit Modificada();
}

void GrillaVista::mouseDoubleClickEvent(QMouseEvent* e) {
    int fila = 0, columna = 0;
    if (!CeldaEn(e->position().toPoint(), fila, columna)) return;
    frm_.MSFlexGrid1_DblClick();
}

void GrillaVista::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    // A click takes the focus before the press arrives: the editor it
    // leaves is validated first.
    if (e->reason() == Qt::MouseFocusReason) frm_.EditorDejadoConRaton();
    frm_.MSFlexGrid1_GotFocus();
    viewport()->update();
    emit Modificada();
}
