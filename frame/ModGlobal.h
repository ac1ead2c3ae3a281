#pragma once
// The frame's statement helpers: column-value pairs into INSERT and UPDATE
// texts, a table's column list, the transaction runner for statement lists,
// the table-based error record, and Oracle's row limit.

#include "platform/sesion/Sesion.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

void AgregaCampoValor(const QString& Campo, QString& Valor, const QString& Tipo, bool Nueva);
void ArmaSentencia(std::vector<CampoValor>& Pares, QStringList& Lineas, const QString& Tabla, bool EsActualizacion,
                   QString& Condicion, bool Conservar);
void CompletaInsert(QString& Sentencia, std::vector<CampoValor>& Pares, bool Limpiar);

// The columns of a table in catalogue order, without the three excluded
// names; `Tipos` receives their type codes.
QString VerificaCampos(const QString& Tabla, const QString& Excluido1, const QString& Excluido2,
                       const QString& Excluido3, bool Corchetes, QString& Tipos);

struct ResultadoScript {
    bool HayError = false;
    int32_t CodError = 0;
    QString Script;
    QString MensajeError;
};
// Runs the lines in one transaction on the main session; commits, or rolls
// back and records the failure.
ResultadoScript GActualizarDatoScript(const QStringList& Lineas, bool IgnoraDuplicado, bool IgnoraRestriccion,
                                      bool MostrarMensaje);

// One row in AUX_ERR; failures are ignored.
void GrabaErrorAux(const QString& sql, QString Proceso, int32_t Error, const QString& Descripcion);

// TOP n with Oracle's row limit when the main session is on Oracle.
QString TopOracle(const QString& Sentencia);
