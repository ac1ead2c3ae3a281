#include "display/Dll_Display.h"

#include "platform/Guardia.h"
#include "platform/Operador.h"

namespace {

FabricaVistaDisplay& Fabrica() {
    static FabricaVistaDisplay f;
    return f;
}

// Every failure ignored, the next step run.
Guardia SinFallos() {
    Guardia g(nullptr);
    g.Antes([](const Fallo&) { return Guardia::Decision::Seguir; });
    return g;
}

}  // namespace

Dll_Display::Dll_Display() = default;
Dll_Display::~Dll_Display() = default;

Lbf_CtrlDisplay& Dll_Display::Carga() {
    if (!ventana_) {
        ventana_ = std::make_unique<Lbf_CtrlDisplay>(Fabrica() ? Fabrica()() : nullptr);
        SinFallos().Paso([&] { ventana_->Form_Load(); });
    }
    return *ventana_;
}

void Dll_Display::CartelInicio(const QString& Titulo, bool PermiteCancelar) {
    Guardia g = SinFallos();
    g.Ejecuta({
        [&] { Carga().Caption = Titulo; },
        [&] { Carga().CmdDisplayCancelarVisible = PermiteCancelar; },
        [&] { Carga().Show(); },
    });
}

void Dll_Display::CartelMostrar(bool& Cancelado, const std::optional<QVariant>& l1,
                                const std::optional<QVariant>& l2, const std::optional<QVariant>& l3) {
    Lbf_CtrlDisplay& v = Carga();
    if (l1) v.LblCtrol[0] = ValorTexto(*l1);
    if (l2) v.LblCtrol[1] = ValorTexto(*l2);
    if (l3) v.LblCtrol[2] = ValorTexto(*l3);
    v.Refresh();
    Cancelado = v.CmdDisplayCancelar == QStringLiteral("Abortado");
    ElOperador().ProcesaEventos();
}

void Dll_Display::CartelCerrar() {
    Guardia g = SinFallos();
    g.Ejecuta({
        [&] {
            if (ventana_) ventana_->Hide();
        },
        [&] { ventana_.reset(); },
    });
}

QString Dll_Display::ValorTexto(const QVariant& valor) const {
    if (valor.isNull() || !valor.isValid()) return QString();
    return valor.toString();
}

void Dll_Display::SetSiempre_Visible(bool arriba) {
    Carga().SiempreVisible(arriba);
}

void Dll_Display::MuestraEspera(const Espera& e) {
    Guardia g = SinFallos();
    g.Paso([&] {
        if (e.termino) {
            if (propioDeEspera_) {
                propioDeEspera_ = false;
                CartelCerrar();
            } else if (ventana_ && lineaAntes_) {
                ventana_->LblCtrol[2] = *lineaAntes_;
                ventana_->Refresh();
            }
            lineaAntes_.reset();
            return;
        }
        if (!ventana_ || !ventana_->Visible) {
            CartelInicio(QStringLiteral("Espere por favor"), false);
            propioDeEspera_ = true;
        } else if (!propioDeEspera_ && !lineaAntes_) {
            lineaAntes_ = ventana_->LblCtrol[2];
        }
        QString t = e.motivo + QStringLiteral(" (%1 s").arg(e.transcurridoMs / 1000);
        if (e.limiteMs > 0) t += QStringLiteral(" de %1").arg((e.limiteMs + 999) / 1000);
        ventana_->LblCtrol[2] = t + QLatin1Char(')');
        ventana_->Refresh();
    });
}

void EstableceVistaDisplay(FabricaVistaDisplay fabrica) {
    Fabrica() = std::move(fabrica);
}

Dll_Display& ElCartel() {
    static Dll_Display d;
    return d;
}
