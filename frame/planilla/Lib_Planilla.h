#pragma once
// The utility library's spreadsheet editor: one table of a database shown
// and edited in a modal window.

#include <QString>

class Lib_Planilla {
  public:
    // Shows `Tabla` through the connection text `Conexion` (the main
    // session's connection when it is the session's text and the session is
    // open) in a modal window titled `Titulo`. A table that cannot be opened
    // is said to the operator with the server's text, and nothing is shown.
    void MuestraPlanilla(const QString& Tabla, const QString& Conexion, const QString& Titulo);
};

Lib_Planilla& LibPlanilla();
