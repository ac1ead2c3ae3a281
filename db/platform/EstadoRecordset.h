#pragma once
// The state shared by a record set and its fields (private to db/platform).

#include "db/platform/Controlador.h"
#include "db/platform/Errores.h"

#include <QString>

#include <memory>
#include <vector>

struct EstadoRecordset {
    bool abierto = false;
    std::vector<ColumnaResultado> columnas;
    std::vector<Fila> filas;
    long pos = 0;          // current row; == filas.size() at EOF
    bool bof = true;
    bool eof = true;
    int cursorType = 0;
    int lockType = 1;
    QString source;
    int tiempoEspera = 30;

    // Pending edit.
    int editMode = 0;      // adEditNone / adEditInProgress / adEditAdd
    Fila buffer;
    std::vector<bool> cambiados;

    // The further row sets of the same request (NextRecordset).
    std::vector<ResultadoSentencia> siguientes;

    std::weak_ptr<Controlador> controlador;
    std::weak_ptr<Errores> errores;

    void CargaResultado(ResultadoSentencia r);
    bool EnFila() const { return !bof && !eof && pos >= 0 && pos < static_cast<long>(filas.size()); }
};
