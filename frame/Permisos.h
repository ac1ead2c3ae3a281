#pragma once
// The audit trail of a run: its entry in the access log (with the user's
// task), the exit time stamped at shut-down, and voucher-action rows.
// Nothing here stops the program: failures are ignored.

#include <QString>

// The name of the program family an executable belongs to (the name
// itself when it belongs to none).
QString FamiliaPrograma(const QString& ejecutable);
// Programs that are logged without a task lookup.
bool SinTarea(const QString& ejecutable);
// The suite's backup program, which writes no access row.
bool EsRespaldo(const QString& ejecutable);

// Finds the user's menu task for the process (empty: this executable) and
// writes the run's row into Control_Acceso; gIdAcceso becomes that row's ID.
void VerificaPermisos(const QString& Proceso = {});
// True from the moment the run's access row may be in the table (its
// insertion and the reading of its ID let pending events run): a close
// asked for from then on must wait for the window, whose shut-down stamps
// the exit; before it, ending at once loses nothing.
bool IngresoRegistrado();

// One row of V_MV_CPTEACCIONES. An empty IdComplemento becomes "0".
void RegistraAccion(const QString& TipoComprobante, const QString& IdComprobante, QString& IdComplemento, bool Alta,
                    bool Modificacion, bool Reservado, const QString& Descripcion, const QString& Cuenta,
                    bool EsError);

// Stamps the exit time on this run's access row (only while it has none).
void RegistraEgreso();

// The batch-process name written into every action row (nothing sets it).
inline QString gProcesoLote;
