#include "frame/controles/UtilKor.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

UtilKor::UtilKor(QWidget* padre) : QWidget(padre) {
    fila_ = new QHBoxLayout(this);
    fila_->setContentsMargins(2, 2, 2, 2);
    fila_->setSpacing(1);
    fila_->addStretch(1);
}

void UtilKor::AgregaBoton(const Boton& boton) {
    auto* b = new QToolButton(this);
    b->setObjectName(boton.clave);
    b->setText(boton.texto);
    b->setIcon(boton.icono);
    b->setIconSize(QSize(20, 20));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QString tip = boton.tip;
    if (boton.tecla >= 112 && boton.tecla <= 123) tip += QStringLiteral(" (F%1)").arg(boton.tecla - 111);
    b->setToolTip(tip);
    b->setAutoRaise(styleBar_ != 0);
    b->setFocusPolicy(Qt::NoFocus);
    const QString clave = boton.clave;
    connect(b, &QToolButton::clicked, this, [this, clave] { emit Click(clave); });
    fila_->insertWidget(static_cast<int>(widgets_.size()), b);
    botones_.push_back(boton);
    widgets_.push_back(b);
}

QToolButton* UtilKor::BotonDe(const QString& clave) const {
    for (std::size_t i = 0; i < botones_.size(); ++i)
        if (botones_[i].clave.compare(clave, Qt::CaseInsensitive) == 0) return widgets_[i];
    return nullptr;
}

void UtilKor::SetStyleBar(int estilo) {
    styleBar_ = estilo;
    for (QToolButton* b : widgets_) b->setAutoRaise(estilo != 0);
}

void UtilKor::ManejaTecla(int& tecla, int shift) {
    if (shift != 0 || tecla == 0) return;
    for (std::size_t i = 0; i < botones_.size(); ++i) {
        if (botones_[i].tecla != tecla || !widgets_[i]->isEnabled()) continue;
        tecla = 0;
        emit Click(botones_[i].clave);
        return;
    }
}

QIcon UtilKor::Icono(const QColor& color, const QString& simbolo) {
    QIcon icono;
    for (int lado : {20, 40}) {
        QPixmap p(lado, lado);
        p.fill(Qt::transparent);
        QPainter g(&p);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(Qt::NoPen);
        g.setBrush(color);
        g.drawEllipse(QRectF(1, 1, lado - 2, lado - 2));
        QFont f = g.font();
        f.setBold(true);
        f.setPixelSize(lado * 11 / 20);
        g.setFont(f);
        g.setPen(Qt::white);
        g.drawText(QRect(0, 0, lado, lado), Qt::AlignCenter, simbolo);
        icono.addPixmap(p);
    }
    return icono;
}

int CodigoTecla(int k) {
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return k;
    switch (k) {
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
        case Qt::Key_Return: case Qt::Key_Enter: return 13;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Space: return 32;
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Insert: return 45;
        case Qt::Key_Delete: return 46;
        default: return 0;
    }
}
