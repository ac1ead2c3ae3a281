#pragma once
// The demo databases: the suite's schema filled with realistic data of any
// size, deterministic from a seed, on the embedded engine.

#include <QMap>
#include <QString>
#include <cstdint>

class Conexion;

struct OpcionesDemo {
    QString base = QStringLiteral("DEMO");
    int articulos = 3000;             // rows of the articles master, size variants included
    int movimientosPorArticulo = 10;  // stock movements, on average
    uint64_t semilla = 1;
};

struct ResumenDemo {
    QMap<QString, long> filas;  // rows written per table
    QString usuario;            // the administrator
    QString clave;              // its password in plain text
    QString lineaComandos;      // the suite command line that opens the demo
};

namespace GeneradorDemo {

inline const QString kServidor = QStringLiteral("(embebido)");
inline const QString kAdministrador = QStringLiteral("ADMIN");
inline const QString kClaveAdministrador = QStringLiteral("admin");

// The embedded connection string for a database, with the suite's login
// convention (the database name as user and password).
QString CadenaConexion(const QString& base);
QString LineaComandos(const QString& base, const QString& usuario, const QString& clave);

// The file of an embedded database in the data folder.
QString ArchivoBase(const QString& base);
// Removes the database's files and creates it empty.
void CreaBaseVacia(const QString& base);

// How a password is stored in TA_USUARIOS: enciphered with the suite's Encripta.
QString ClaveGuardada(const QString& clave);

// Builds the company database `base` and KV_ESTADISTICAS in the data folder,
// replacing what is there. Fails with a Fallo naming the step.
ResumenDemo Genera(const OpcionesDemo& opciones);

// Fills an open database that already holds the schema.
void Llena(Conexion& cn, const OpcionesDemo& opciones, ResumenDemo& resumen);
void LlenaEstadisticas(Conexion& cn, ResumenDemo& resumen);

}  // namespace GeneradorDemo
