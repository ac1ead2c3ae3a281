#pragma once
// The step guard: a guarded routine is a sequence of steps. When a step
// fails, the routine's error dialog is shown and its answer obeyed:
// 4 (retry) runs the failed step again, 5 (ignore) goes on with the next
// step, any other answer leaves the routine, which returns its default.
//
//     Guardia g(DialogoDeLaRutina);
//     if (!g.Ejecuta({[&] { ... }, [&] { ... }})) return valorPorDefecto;
//
// Per-routine rules ("error 5 is ignored silently", known provider errors
// handled before the dialog) are options of the guard.

#include "platform/Fallo.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <set>

// A step whose failure is ignored: the routine goes on with the next one.
// (Anything not a failure of ours passes through.)
template <class F>
void IgnoraFallo(F&& paso) {
    try {
        paso();
    } catch (...) {
        (void)FalloActual();
    }
}

class Guardia {
public:
    // What to do with a failed step.
    enum class Decision { Reintentar, Seguir, Salir, Dialogo };

    // Shows the failure to the operator and returns the answer code.
    using Dialogo = std::function<int(const Fallo&)>;
    // A routine's own handling, consulted before the dialog.
    using Manejador = std::function<Decision(const Fallo&)>;

    explicit Guardia(Dialogo dialogo);

    // Failures with this number go on with the next step without a dialog.
    Guardia& Silencia(int32_t numero);
    // Consulted first for every failure; Decision::Dialogo passes it on.
    Guardia& Antes(Manejador manejador);

    // Runs one step under the guard. False when the routine is to be left.
    bool Paso(const std::function<void()>& paso);
    // Runs the steps in order. False when the routine is to be left.
    bool Ejecuta(std::initializer_list<std::function<void()>> pasos);

    bool Abandonado() const { return abandonado_; }
    // The last failure met, if any.
    const std::optional<Fallo>& UltimoFallo() const { return ultimo_; }

    static constexpr int Reintentar = 4;
    static constexpr int Ignorar = 5;

private:
    Decision Decide(const Fallo& f);

    Dialogo dialogo_;
    Manejador antes_;
    std::set<int32_t> silenciados_;
    std::optional<Fallo> ultimo_;
    bool abandonado_ = false;
};
