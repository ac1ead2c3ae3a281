#pragma once
// Splits a T-SQL batch into statements and translates each one into the
// embedded engine's SQL, keeping SQL Server's meaning.

#include "db/platform/embebido/LexicoTsql.h"

#include <QString>
#include <QStringList>

#include <vector>

struct Restriccion {
    QString nombre;
    QString tipo;          // PK, UQ, CK
    QStringList columnas;  // lower case
};

struct ColumnaNueva {
    QString nombre;
    QString definicion;    // the column's definition in the engine's SQL
    bool noNula = false;
    bool conDefecto = false;
};

struct Sentencia {
    enum Tipo {
        Sql,             // one statement of the engine (verbo SELECT/INSERT/UPDATE/DELETE or DDL)
        Nada,            // accepted and without effect (PRINT, GRANT, SET options)
        IniciaTran, ConfirmaTran, DeshaceTran, GuardaTran,
        NoCount, XactAbort, IdentityInsert,
        Disparadores,    // ALTER TABLE t ENABLE|DISABLE TRIGGER ALL|name
        CreaTabla, CreaObjeto, SelectInto, AgregaColumna, Borra,
        Si, Bloque, Usa,
        NoAdmitida,      // understood but not offered by the engine
    };
    Tipo tipo = Sql;
    QString original;    // the statement's own text
    QString sql;         // the engine's text
    QString verbo;       // SELECT, INSERT, UPDATE, DELETE, CREATE, ...
    QString tabla;       // the table written (INSERT/UPDATE/DELETE, DDL)
    QString nombre;      // object, savepoint, database, trigger
    QString clase;       // Borra / CreaObjeto: TABLE, VIEW, INDEX, TRIGGER
    bool activar = false;
    bool siExiste = false;
    // INSERT without a column list: the engine's text is antes + columns + despues.
    bool insertSinColumnas = false;
    QString insertAntes, insertDespues;
    QStringList insertColumnas;     // lower case, when the INSERT names them
    // CREATE TABLE
    std::vector<Restriccion> restricciones;
    QString identidad;
    long long semilla = 1;
    std::vector<ColumnaNueva> columnasNuevas;
    // IF cond body [ELSE body]; BEGIN ... END
    QString condicion;
    std::vector<Sentencia> cuerpo, sino;
    QStringList basesAdjuntas;      // other databases the text names
};

struct ErrorTraduccion {
    int nativo = 102;
    QString texto;       // the message
};

// `base` is the current database, whose name as a qualifier is dropped.
bool TraduceLote(const QString& lote, const QString& base, std::vector<Sentencia>& salida, ErrorTraduccion& error);

// The engine's name of an index of a table (index names are per table in T-SQL).
QString NombreIndiceMotor(const QString& tabla, const QString& indice);
QString CitaNombre(const QString& nombre);   // "name"
QString CitaCadena(const QString& texto);    // 'text'
