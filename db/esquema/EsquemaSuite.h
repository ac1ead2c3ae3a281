#pragma once
// The suite's schema: every table, view, key and trigger the system reads or
// writes, as T-SQL statement texts, for the company database and for the
// statistics database KV_ESTADISTICAS.

#include <QString>
#include <QStringList>
#include <vector>

class Conexion;

namespace EsquemaSuite {

inline const QString kBaseEstadisticas = QStringLiteral("KV_ESTADISTICAS");

// Width of the article code columns.
constexpr int kAnchoArticulo = 25;

// Triggers are written in the engine's own language: T-SQL for SQL Server,
// SQLite's trigger syntax for the embedded engine.
enum class Motor { SqlServer, Embebido };

struct Sentencia {
    QString objeto;  // the table, view, index or trigger it creates
    QString texto;
};

// In creation order: tables, indexes, views, triggers.
std::vector<Sentencia> SentenciasPrincipal(Motor motor);
// The same in two parts, for a bulk load between them: the tables, then the
// indexes, views and triggers on them.
std::vector<Sentencia> SentenciasTablasPrincipal(Motor motor);
std::vector<Sentencia> SentenciasSobreTablasPrincipal(Motor motor);
std::vector<Sentencia> SentenciasEstadisticas(Motor motor);

// The names of the tables and views each database holds.
QStringList TablasPrincipal();
QStringList VistasPrincipal();

// The engine behind an open connection.
Motor MotorDe(const Conexion& cn);

// Runs every statement on the open connection. The first that fails raises
// a Fallo with the server's number and message and the object it was
// creating; nothing after it runs.
void CreaEsquemaPrincipal(Conexion& cn);
void CreaEsquemaEstadisticas(Conexion& cn);
void Ejecuta(Conexion& cn, const std::vector<Sentencia>& sentencias);

}  // namespace EsquemaSuite
