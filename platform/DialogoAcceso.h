#pragma once
// The access dialog as the database layer and start-up use it: load, fill
// the fields, show modally, read the accepted flag and the fields, hide,
// unload. The window implements it; tests use DialogoAccesoGuionado.

#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

struct DatosAcceso {
    QString baseDatos;
    QString servidor;
    QString usuario;
    QString clave;
    int plataforma = 0;   // 0 = SQL Server, any later entry Oracle
};

class DialogoAcceso {
public:
    virtual ~DialogoAcceso() = default;
    virtual void Carga() = 0;
    virtual void Llena(const DatosAcceso& datos) = 0;
    virtual void MuestraModal() = 0;
    virtual bool Aceptado() const = 0;
    virtual DatosAcceso Datos() const = 0;
    virtual void Oculta() = 0;
    virtual void Descarga() = 0;
};

// The process's access dialog (created by the factory set by the program;
// none until then).
DialogoAcceso* ElDialogoAcceso();
void EstableceDialogoAcceso(std::function<std::unique_ptr<DialogoAcceso>()> fabrica);
void DescargaDialogoAcceso();

// Scripted: every MuestraModal takes the next answer (accept with data, or
// cancel) and records what the dialog was filled with.
class DialogoAccesoGuionado : public DialogoAcceso {
public:
    struct Respuesta {
        bool aceptar = false;
        DatosAcceso datos;
    };
    void Acepta(DatosAcceso datos) { cola_.push_back({true, std::move(datos)}); }
    void Cancela() { cola_.push_back({false, {}}); }

    const std::vector<DatosAcceso>& Mostrados() const { return mostrados_; }
    int Cargas() const { return cargas_; }
    int Descargas() const { return descargas_; }
    std::size_t Pendientes() const { return cola_.size(); }

    void Carga() override { ++cargas_; }
    void Llena(const DatosAcceso& datos) override { actual_ = datos; }
    void MuestraModal() override;
    bool Aceptado() const override { return aceptado_; }
    DatosAcceso Datos() const override { return actual_; }
    void Oculta() override {}
    void Descarga() override { ++descargas_; }

private:
    std::deque<Respuesta> cola_;
    std::vector<DatosAcceso> mostrados_;
    DatosAcceso actual_;
    bool aceptado_ = false;
    int cargas_ = 0;
    int descargas_ = 0;
};
