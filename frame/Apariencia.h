#pragma once
// Launching services of the application frame: opening a document with its
// associated program and asking whether a file can be opened.

#include <QString>

// Opens a file or web address with its associated program. A name with a
// blank and no double quote is wrapped in double quotes first; `mostrar`
// asks for the program's window to show (6 when true, 0 otherwise).
bool AbreDocumento(const QString& documento, bool mostrar);

// The same opening with the display code given as it is (0 hides, 6 shows).
bool AbreConPrograma(const QString& documento, int mostrar);

// True when the file can be opened for reading (double quotes ignored).
bool ExisteArchivo(const QString& archivo);
