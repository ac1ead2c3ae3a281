#pragma once
// The undo list of a run: a pair file in the import format ("new,old" per
// line) that reverts every copy and in-place recoding the run made, in the
// reverse of the run's order. Merges cannot be reverted: they are listed
// apart.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include "recoding/FrmEMRecodifica.h"

struct ListaDeshacer {
    QStringList lineas;      // "new,old", the last code run first
    QStringList noReversibles;  // "old → new (reason)", in run order
};

// From the codes the run sent, in its order. A code is reverted only when it
// succeeded as a copy or in place, its new code received nothing else later
// in the run, and both codes go back through the import unchanged.
ListaDeshacer ArmaDeshacer(const QVector<ResultadoCodigo>& codigos);

// Beside the witness: "Deshacer-<yyyyMMdd-HHmmss>.txt" in the application folder,
// or "-2", "-3"… before ".txt" when a list of that second is there already.
QString RutaDeshacer(const QDateTime& momento);

// Writes the lines (CR LF ended) in Windows-1252, or as UTF-8 with a
// byte-order mark when a code does not fit that code page. False on failure.
bool EscribeDeshacer(const QString& ruta, const ListaDeshacer& lista);
