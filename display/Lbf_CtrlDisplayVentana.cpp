#include "display/Lbf_CtrlDisplayVentana.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "display/Dll_Display.h"

namespace {

// The form's layout in pixels (15 twips each): 7845 x 2790 twips, lines
// 290 twips high and 360 apart, the animation 1095 x 975, the button 1695 x 375.
constexpr int kAncho = 523;
constexpr int kSeparacionLineas = 5;
constexpr QSize kAnimacion(73, 65);
constexpr QSize kBoton(113, 25);

const QColor kBorde(0x9A, 0xA5, 0xB1);
const QColor kPuntoEncendido(0x1F, 0x5F, 0xA8);
const QColor kPuntoApagado(0xD3, 0xD8, 0xDE);

}  // namespace

// ---- animation ---------------------------------------------------------------

AnimacionDisplay::AnimacionDisplay(QWidget* padre) : QWidget(padre) {
    setObjectName(QStringLiteral("Image1"));
    setFixedSize(kAnimacion);
}

QSize AnimacionDisplay::sizeHint() const { return kAnimacion; }

void AnimacionDisplay::EstableceCuadro(int cuadro) {
    if (cuadro < 1 || cuadro > Lbf_CtrlDisplay::kCuadros) cuadro = 1;
    if (cuadro == cuadro_) return;
    cuadro_ = cuadro;
    update();
}

void AnimacionDisplay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QPointF centro = QRectF(rect()).center();
    const double lado = std::min(width(), height());
    const double radioAnillo = lado * 0.36;
    const double radioPunto = lado * 0.075;
    const int n = Lbf_CtrlDisplay::kCuadros;
    for (int k = 0; k < n; ++k) {
        // Dot k is the one lit on frame k + 1; the ring turns clockwise from the top.
        const double angulo = (k * 360.0 / n - 90.0) * M_PI / 180.0;
        const QPointF punto = centro + QPointF(std::cos(angulo), std::sin(angulo)) * radioAnillo;
        const int atras = ((cuadro_ - 1) - k + n) % n;  // 0 = lit, 1..3 = fading tail
        QColor c = kPuntoApagado;
        double r = radioPunto;
        if (atras <= 3) {
            const double peso = 1.0 - atras * 0.25;
            c = QColor::fromRgbF(kPuntoApagado.redF() + (kPuntoEncendido.redF() - kPuntoApagado.redF()) * peso,
                                 kPuntoApagado.greenF() + (kPuntoEncendido.greenF() - kPuntoApagado.greenF()) * peso,
                                 kPuntoApagado.blueF() + (kPuntoEncendido.blueF() - kPuntoApagado.blueF()) * peso);
            r = radioPunto * (1.0 + 0.35 * peso);
        }
        p.setBrush(c);
        p.drawEllipse(punto, r, r);
    }
}

// ---- lines ---------------------------------------------------------------------

LineaDisplay::LineaDisplay(QWidget* padre) : QLabel(padre) {
    QFont f = font();
    f.setPointSize(12);
    f.setBold(true);
    setFont(f);
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QSize LineaDisplay::minimumSizeHint() const {
    return {0, fontMetrics().height() + 2};
}

void LineaDisplay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    const QRect r = contentsRect().adjusted(4, 0, -4, 0);
    p.drawText(r, Qt::AlignCenter, fontMetrics().elidedText(text(), Qt::ElideMiddle, r.width()));
}

// ---- window --------------------------------------------------------------------

Lbf_CtrlDisplayVentana::Lbf_CtrlDisplayVentana()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Lbf_CtrlDisplay"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowOpacity(kOpacidad);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(1, 8, 1, 8);
    capa->setSpacing(0);
    for (int i = 0; i < 3; ++i) {
        lineas_[i] = new LineaDisplay(this);
        lineas_[i]->setObjectName(QStringLiteral("LblCtrol_%1").arg(i));
        if (i > 0) capa->addSpacing(kSeparacionLineas);
        capa->addWidget(lineas_[i]);
    }
    capa->addSpacing(13);
    animacion_ = new AnimacionDisplay(this);
    capa->addWidget(animacion_, 0, Qt::AlignHCenter);
    capa->addSpacing(7);
    boton_ = new QPushButton(QStringLiteral("&Cancelar"), this);
    boton_->setObjectName(QStringLiteral("CmdDisplayCancelar"));
    boton_->setMinimumSize(kBoton);
    boton_->setFocusPolicy(Qt::NoFocus);
    // A hidden button keeps its room, so the window does not change size.
    QSizePolicy sp = boton_->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    boton_->setSizePolicy(sp);
    capa->addWidget(boton_, 0, Qt::AlignHCenter);

    setFixedSize(kAncho, std::max(186, capa->sizeHint().height()));

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(Lbf_CtrlDisplay::kIntervaloMs);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (estado_) estado_->Timer1_Timer();
    });
    connect(boton_, &QPushButton::clicked, this, [this] {
        if (estado_) estado_->CmdDisplayCancelar_Click();
    });
    qApp->installEventFilter(this);
}

bool Lbf_CtrlDisplayVentana::EsPregunta(QObject* objeto) {
    auto* w = qobject_cast<QWidget*>(objeto);
    return w && w->isWindow() && (w->isModal() || w->windowModality() != Qt::NonModal);
}

bool Lbf_CtrlDisplayVentana::eventFilter(QObject* objeto, QEvent* e) {
    if (objeto != this && (e->type() == QEvent::Show || e->type() == QEvent::Hide) && EsPregunta(objeto)) {
        if (e->type() == QEvent::Show && isVisible()) {
            apartado_ = true;
            hide();
        } else if (e->type() == QEvent::Hide && apartado_) {
            QWidget* otra = QApplication::activeModalWidget();
            if (!otra || otra == objeto) {
                apartado_ = false;
                show();
                raise();
            }
        }
    }
    return QWidget::eventFilter(objeto, e);
}

Lbf_CtrlDisplayVentana::~Lbf_CtrlDisplayVentana() = default;

void Lbf_CtrlDisplayVentana::Enlaza(Lbf_CtrlDisplay& estado) { estado_ = &estado; }

void Lbf_CtrlDisplayVentana::Repinta(const Lbf_CtrlDisplay& e) {
    setWindowTitle(e.Caption);
    for (int i = 0; i < 3; ++i) {
        lineas_[i]->setText(e.LblCtrol[i]);
        lineas_[i]->setToolTip(e.LblCtrol[i]);
    }
    animacion_->EstableceCuadro(e.Image1);
    boton_->setText(e.CmdDisplayCancelar);
    boton_->setVisible(e.CmdDisplayCancelarVisible);
    update();
}

void Lbf_CtrlDisplayVentana::Muestra(const Lbf_CtrlDisplay& e) {
    Repinta(e);
    Centra();
    timer_->start();
    // Shown once the dialog that waits for the operator is gone.
    QWidget* pregunta = QApplication::activeModalWidget();
    if (pregunta && pregunta != this) {
        apartado_ = true;
        return;
    }
    show();
    raise();
}

void Lbf_CtrlDisplayVentana::Oculta() {
    timer_->stop();
    apartado_ = false;
    hide();
}

void Lbf_CtrlDisplayVentana::SiempreVisible(bool arriba) {
    // Changing the flags hides the window: shown again where it was.
    const bool visible = isVisible();
    const QPoint donde = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, arriba);
    if (visible) {
        move(donde);
        show();
    }
}

void Lbf_CtrlDisplayVentana::Centra() {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect g = s->geometry();
    move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
}

void Lbf_CtrlDisplayVentana::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(kBorde);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Lbf_CtrlDisplayVentana::closeEvent(QCloseEvent* e) {
    // The operator cannot close it (the task does); the application's own
    // closing, when it quits, is not refused.
    if (e->spontaneous())
        e->ignore();
    else
        e->accept();
}

void InstalaVentanaDisplay() {
    EstableceVistaDisplay([] { return std::make_unique<Lbf_CtrlDisplayVentana>(); });
    // While a request waits, the sign says so and the windows keep painting;
    // the operator's keys and clicks wait for the request to end.
    FijaOyenteEspera([](const Espera& e) {
        ElCartel().MuestraEspera(e);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
}
