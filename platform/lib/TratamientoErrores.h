#pragma once
// The frame's error dialog and log, and the pieces it shares with the
// database session's twin: message, title, log line and answer text.
//
// Log line (ended by CR LF):
//   mm-dd-yyyy hh:mm:ss Rutina: <routine part, trimmed> Mensaje <message,
//   trimmed> Respondió : <answer text>

#include <QDateTime>
#include <QString>
#include <optional>

#include "platform/Fallo.h"
#include "platform/Guardia.h"

// Abort, Retry and Ignore with a critical icon.
constexpr int BotonesErrorPorDefecto = 18;

inline const QString FinTituloGlobal = QStringLiteral(" Aviso al operador!!! - 2 ");
inline const QString FinTituloSesion = QStringLiteral(" Aviso al operador!!! - 5 ");
inline const QString NombreLogErrores = QStringLiteral("KVERR.LOG");

struct PartesError {
    QString mensaje;  // "Ha ocurrido el Siguiente Error (n) description"
    QString titulo;   // source + routine part + the title's ending
    QString rutina;   // " - " + routine name, or empty (untrimmed)
};

PartesError ArmaPartesError(const Fallo& error, const QString& rutina, const QString& finTitulo);
// The whole log line, CR LF included.
QString LineaLogError(const QDateTime& momento, const QString& parteRutina, const QString& mensaje,
                      int respuesta);
// "Reintentar", "Ignorar", "Abortar", "Cancelar", "Sí", "No"; empty for
// any other answer.
QString TextoRespuesta(int respuesta);

// The frame's temporary folder, with a trailing separator: "tmp" when
// "temp" is set, else the environment's temporary folder.
QString CarpetaTemporalGlobal();
// The frame's log: KVERR.LOG in that folder.
QString RutaLogErroresGlobal();

// Shows the error and appends its line to the frame's log; returns the
// answer code. Error 0: the log is created when missing, nothing is shown
// and 0 is returned. A log that cannot be written loses the line only.
int TratamientoErroresGlobal(const Fallo& error, std::optional<int> botones = std::nullopt,
                             const QString& rutina = {});
// The dialog of a routine for the step guard.
Guardia::Dialogo TratamientoGlobalDe(const QString& rutina);

// A date as text in the short-date format (file names, macros, logs).
QString TextoFechaCorta(const QDateTime& momento);

// Date and time patterns of the frame (for Texto::FormatoFecha).
QString FechaHoraCorta();  // "dd/mm/yy hh:mm"
QString FechaCorta();      // "dd/mm/yy"
QString HoraCorta();       // "hh:mm"
