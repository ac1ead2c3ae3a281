#pragma once
// Start-up pieces of the session: the user check and the command time-out.

#include <QString>

// Accepts the database's own name as a user; otherwise the user's row of
// TA_USUARIOS (of an accepted system) and its deciphered password.
bool ValidaUsuario(const QString& Usuario, const QString& Clave);

// gTimeOut from the statistics database's "TimeOut" setting (90 by default).
void LeeTimeOut();

// The default user and password of the INI file.
inline const QString kUsuarioIniPorDefecto = QStringLiteral("Korvane");
inline const QString kClaveIniPorDefecto = QStringLiteral("ventana");
