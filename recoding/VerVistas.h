#pragma once
// The view-script runner: a SQL Server script split at its "GO" lines into
// batches, date macros filled in, run whole again and again while some batch
// misses an object created further down (at most 20 cycles). Errors other
// than "already exists" and "missing object" go to a log file in the
// temporary folder.

#include <QDateTime>
#include <QString>
#include <QStringList>

class FrmEMRecodifica;

// Runs the script on the main session's connection.
void VerVistas(const QString& Archivo, FrmEMRecodifica* frm = nullptr);

namespace VerVistasDetalle {
// The batches of a script text: one more than its "GO" lines, each line
// followed by CR LF.
QStringList Lotes(const QString& texto);
// The batch with its date macros filled in, at the given moment.
QString ReemplazaMacros(const QString& lote, const QDateTime& ahora);
// "Script" + hour + minute + second + ".TXT" in the temporary folder.
QString NombreLog(const QDateTime& ahora);
constexpr int kCiclosMaximos = 20;
}  // namespace VerVistasDetalle
