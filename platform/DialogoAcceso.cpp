#include "platform/DialogoAcceso.h"

#include "platform/OperadorGuionado.h"

namespace {
struct Registro {
    std::function<std::unique_ptr<DialogoAcceso>()> fabrica;
    std::unique_ptr<DialogoAcceso> dialogo;
};
Registro& registro() {
    static Registro r;
    return r;
}
}  // namespace

DialogoAcceso* ElDialogoAcceso() {
    Registro& r = registro();
    if (!r.dialogo && r.fabrica) r.dialogo = r.fabrica();
    return r.dialogo.get();
}

void EstableceDialogoAcceso(std::function<std::unique_ptr<DialogoAcceso>()> fabrica) {
    registro().dialogo.reset();
    registro().fabrica = std::move(fabrica);
}

void DescargaDialogoAcceso() { registro().dialogo.reset(); }

void DialogoAccesoGuionado::MuestraModal() {
    mostrados_.push_back(actual_);
    if (cola_.empty()) {
        Aviso a;
        a.texto = QStringLiteral("Diálogo de acceso sin respuesta");
        throw SinRespuesta{a};
    }
    Respuesta r = cola_.front();
    cola_.pop_front();
    aceptado_ = r.aceptar;
    if (r.aceptar) actual_ = r.datos;
}
