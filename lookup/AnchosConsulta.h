#pragma once
// The column-widths file CONSULTASLEN.KVX beside the program: one line per
// table, "table","w1|w2|...|" with the widths in twips.
//
// The list window's own writer, to be replaced by the engine's
// GrabaAnchosConsulta when that exists (same rule).

#include <QString>

// The widths text of the table (ignoring case); empty when it has none.
QString LeeAnchosConsulta(const QString& Tabla);
// Rewrites the file keeping every other table's line and writing this one
// last, through CONSULTASLEN.AUX. False when the file cannot be written.
bool GrabaAnchosConsultaVentana(const QString& Tabla, const QString& Anchos);
