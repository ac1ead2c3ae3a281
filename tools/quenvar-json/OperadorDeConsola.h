#pragma once
// The operator on a console: messages go to standard error, input boxes
// read a line from standard input (the default when input is closed).

#include "platform/Operador.h"

class OperadorDeConsola : public Operador {
public:
    int Mensaje(const QString& texto, int botones, const QString& titulo) override;
    std::optional<QString> Entrada(const QString& texto, const QString& titulo, const QString& defecto) override;
    RespuestaArchivo Archivo(const PedidoArchivo& pedido) override { return {}; }
    bool AbreDocumento(const QString& documento, int estadoVentana) override { return false; }
    int EjecutaPrograma(const QString& programa, const QStringList& argumentos, bool espera,
                        int estadoVentana) override {
        return -1;
    }
    void ProcesaEventos() override {}
};
