#pragma once
// The scripted operator: records every prompt and answers from a queue.
// A prompt with no answer queued calls the missing-answer hook (tests make
// it a failure) and then throws SinRespuesta, which no step guard catches.

#include "platform/Operador.h"

#include <deque>
#include <functional>
#include <variant>
#include <vector>

struct Aviso {
    enum class Tipo { Mensaje, Entrada, Archivo, Documento, Programa, Eleccion };
    Tipo tipo = Tipo::Mensaje;
    QString texto;       // message, prompt, document or program
    QString titulo;
    int botones = 0;     // message-box encoding (Mensaje)
    PedidoArchivo pedido;  // (Archivo)
    QStringList argumentos;  // (Programa)
    PedidoEleccion eleccion;  // (Eleccion)
};

// Thrown when a prompt has no answer; deliberately not a std::exception.
struct SinRespuesta {
    Aviso aviso;
};

// The button chosen in a choice over a table (by index).
struct RespuestaEleccion {
    int boton = 0;
};

class OperadorGuionado : public Operador {
public:
    using Respuesta = std::variant<int, std::optional<QString>, RespuestaArchivo, RespuestaEleccion>;
    // Answers prompts the queue does not cover: an empty queue, or a first
    // answer of another kind (the batch tool's policy); nothing means "no
    // answer".
    using Respondedor = std::function<std::optional<Respuesta>(const Aviso&)>;

    OperadorGuionado& Responde(int codigo);
    OperadorGuionado& RespondeEntrada(std::optional<QString> texto);
    OperadorGuionado& RespondeArchivo(RespuestaArchivo respuesta);
    OperadorGuionado& RespondeEleccion(int boton);
    void EstableceRespondedor(Respondedor r) { respondedor_ = std::move(r); }
    void AlFaltarRespuesta(std::function<void(const Aviso&)> f) { alFaltar_ = std::move(f); }

    const std::vector<Aviso>& Transcripcion() const { return transcripcion_; }
    // The messages shown (texts only), in order.
    QStringList Mensajes() const;
    std::size_t Pendientes() const { return cola_.size(); }
    int EventosProcesados() const { return eventos_; }
    void Limpia();

    int Mensaje(const QString& texto, int botones, const QString& titulo) override;
    std::optional<QString> Entrada(const QString& texto, const QString& titulo, const QString& defecto) override;
    RespuestaArchivo Archivo(const PedidoArchivo& pedido) override;
    bool AbreDocumento(const QString& documento, int estadoVentana) override;
    int EjecutaPrograma(const QString& programa, const QStringList& argumentos, bool espera,
                        int estadoVentana) override;
    void ProcesaEventos() override {
        ++eventos_;
        if (alProcesar_) alProcesar_();
    }
    // Runs at every yield to the window system (tests act "during" a long task).
    void AlProcesarEventos(std::function<void()> f) { alProcesar_ = std::move(f); }
    // Answered with a queued RespondeEleccion. A disabled button cannot be
    // chosen (error 5).
    int Eleccion(const PedidoEleccion& pedido) override;

    // Programs "started" answer this exit code.
    void EstableceCodigoSalida(int codigo) { codigoSalida_ = codigo; }
    // Documents cannot be opened (no program for them on this machine).
    void SinVisor(bool sin) { sinVisor_ = sin; }

private:
    Respuesta Toma(const Aviso& aviso, std::size_t indice);

    std::deque<Respuesta> cola_;
    std::vector<Aviso> transcripcion_;
    Respondedor respondedor_;
    std::function<void(const Aviso&)> alFaltar_;
    std::function<void()> alProcesar_;
    int eventos_ = 0;
    int codigoSalida_ = 0;
    bool sinVisor_ = false;
};
