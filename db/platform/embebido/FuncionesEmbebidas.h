#pragma once
// The T-SQL functions, the collations and LIKE of the embedded engine,
// registered on each connection (private to the embedded driver).

#include <QDateTime>
#include <QString>

struct sqlite3;

// What the session functions read (@@TRANCOUNT, @@ROWCOUNT, DB_NAME()).
struct EstadoSesion {
    int nivelTransaccion = 0;
    long long filasUltima = 0;
    int ultimoError = 0;
    QString base;
};

void RegistraFuncionesEmbebidas(sqlite3* db, EstadoSesion* estado);

// Dates as stored: "yyyy-MM-dd HH:mm:ss.zzz".
QString TextoFecha(const QDateTime& d);
// Reads ISO forms, yyyymmdd and day/month/year; invalid when not a date.
QDateTime LeeFechaSql(const QString& s);

// Errors raised by the functions carry SQL Server's number: "kv:<n>:<text>".
bool LeeErrorFuncion(const QString& mensaje, int& nativo, QString& texto);

// ADO type, size, precision and scale of a declared column type
// ("varchar(25)", "decimal(18,2)", "int", ...).
struct TipoAdo {
    QString nombre;        // the T-SQL type name, lower case
    int tipo = 0;
    long tamano = 0;
    int precision = 0;
    int escala = 0;
};
TipoAdo TipoDeclarado(const QString& declarado);
