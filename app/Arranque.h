#pragma once
// Start-up and shut-down of the application frame: the command line (or
// the INI file), the main session, the settings, the user check with its
// login loop, the access log.

#include <QString>

#include <cstdint>

// Accepts the database's own name as a user; otherwise the user's row of
// TA_USUARIOS (of an accepted system) and its deciphered password.
bool ValidaUsuario(const QString& Usuario, const QString& Clave);

// gTimeOut from the statistics database's "TimeOut" setting (90 by default).
void LeeTimeOut();

// The default user and password of the INI file.
inline const QString kUsuarioIniPorDefecto = QStringLiteral("Korvane");
inline const QString kClaveIniPorDefecto = QStringLiteral("ventana");

// The INI file of the per-machine connection data.
inline const QString kArchivoIni = QStringLiteral("TQ400xr.INI");

// The exit status of a process that start-up ends.
namespace SalidaArranque {
constexpr int SinConexion = 3;         // the main session did not open
constexpr int AccesoCancelado = 4;     // the access dialog was cancelled
constexpr int DemasiadosIntentos = 5;  // three wrong logins
constexpr int Fallo = 6;               // any other failure of start-up
}  // namespace SalidaArranque

// gSeccionIni of this computer and operating-system user.
QString SeccionIni();
// The command line built from the INI file's connection data.
QString LineaComandosIni();

// Start-up. Ends the process (TerminaProceso) when it cannot go on.
// `CadenaConexion` is handed to the opening and receives the Oracle text
// when one is built.
void IniciaAplicacion(bool UsaIni, const QString& LineaComando, QString& CadenaConexion, int32_t TipoCursor);

// Shut-down: the exit time in the access log, the global objects released
// (the statistics session is kept).
void FinalizaAplicacion();
