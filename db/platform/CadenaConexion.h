#pragma once
// Reading the suite's OLE DB connection strings ("KEY=value;" items; keys
// compared without regard to case or surrounding blanks, so "Database =X"
// names the database).

#include "db/platform/Controlador.h"

#include <QMap>
#include <QString>

namespace CadenaConexion {

// Key (upper case, trimmed) -> value (as written, trimmed of blanks).
QMap<QString, QString> Items(const QString& cadena);

// The parameters a driver needs: provider, server, database, user, password
// (UId/User Id, Pwd/Password), data source.
ParametrosConexion Lee(const QString& cadena);

inline const QString kServidorEmbebido = QStringLiteral("(embebido)");

}  // namespace CadenaConexion
