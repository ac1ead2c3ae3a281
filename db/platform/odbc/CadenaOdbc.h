#pragma once
// The ODBC connection string for the suite's OLE DB connection strings.
//   SQLOLEDB                 SQL Server driver: $QUENVAR_ODBC_SQLSERVER, default "FreeTDS";
//                            Server=SRV, SRV\INST, SRV,port or SRV:port; a Port item
//   OraOLEDB.Oracle.*        the Oracle driver named by $QUENVAR_ODBC_ORACLE (DBQ = Data Source)
//   Microsoft.Jet.OLEDB.*    MDB Tools' driver "MDBTools" (DBQ = Data Source)
//   a Driver= or DSN= item   passed through as written, without the OLE DB Provider item
//   MSDASQL                  passed through likewise (it needs a Driver= or DSN= item)
// The driver must be registered with the driver manager (or named by the
// path of its library); otherwise there is no string and `motivo` says why.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "db/platform/Controlador.h"

namespace CadenaOdbc {

// The "KEY=value" items of a connection string in order, keys and values
// trimmed of blanks; keys keep their spelling.
QList<QPair<QString, QString>> Items(const QString& cadena);

// A value as an ODBC connection string needs it: in braces (with "}"
// doubled) when it holds ";", braces, "=" or surrounding blanks.
QString Valor(const QString& v);

struct Destino {
    QString cadena;       // for SQLDriverConnect; empty when none
    QString controlador;  // the driver named, or the DSN
    QString motivo;       // why there is no string
    bool sqlServer = false;
};

// `instalados` lists the drivers registered with the driver manager.
Destino Construye(const ParametrosConexion& p, const QStringList& instalados);

}  // namespace CadenaOdbc
