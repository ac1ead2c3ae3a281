#include "platform/Guardia.h"

Guardia::Guardia(Dialogo dialogo) : dialogo_(std::move(dialogo)) {}

Guardia& Guardia::Silencia(int32_t numero) {
    silenciados_.insert(numero);
    return *this;
}

Guardia& Guardia::Antes(Manejador manejador) {
    antes_ = std::move(manejador);
    return *this;
}

Guardia::Decision Guardia::Decide(const Fallo& f) {
    if (silenciados_.count(f.Numero())) return Decision::Seguir;
    if (antes_) {
        Decision d = antes_(f);
        if (d != Decision::Dialogo) return d;
    }
    if (!dialogo_) return Decision::Salir;
    switch (dialogo_(f)) {
        case Reintentar: return Decision::Reintentar;
        case Ignorar: return Decision::Seguir;
        default: return Decision::Salir;
    }
}

bool Guardia::Paso(const std::function<void()>& paso) {
    if (abandonado_) return false;
    for (;;) {
        Decision d;
        try {
            paso();
            return true;
        } catch (...) {
            Fallo f = FalloActual();  // anything not a failure of ours passes through
            ultimo_ = f;
            d = Decide(f);
        }
        switch (d) {
            case Decision::Reintentar: continue;
            case Decision::Seguir: return true;
            default: abandonado_ = true; return false;
        }
    }
}

bool Guardia::Ejecuta(std::initializer_list<std::function<void()>> pasos) {
    for (const auto& paso : pasos)
        if (!Paso(paso)) return false;
    return true;
}
