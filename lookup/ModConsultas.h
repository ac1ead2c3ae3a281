#pragma once
// The suite's knowledge of how each master table is searched: the
// per-table lookup, the column lists of the definitions file, its default
// and cattle-lot records, and the column-widths file.

#include <QString>

// Appends the default records to the engine's definitions file, each at
// (file length div 1202) + 1. Failures go to the frame's error dialog
// ("CreaConsultasDefault"); false when the operator left the routine.
bool CreaConsultasDefault();

// Looks `Tabla` up with a LIKE search for `Texto` over its table-specific
// columns and leaves the chosen key, trimmed, in `Resultado` (empty when
// cancelled). `Texto` goes between quotes with its quotes doubled; its %
// and _ keep their LIKE meaning. `Tabla` is given back as it came.
// `Dato1` to `Dato3` receive the recipients' and cattle lots' extra values.
void SubConsultaLike(QString& Tabla, QString& Texto, QString& Resultado, long Opcion = 0, bool PorCodigo = false,
                     const QString& Filtro = {}, QString* Dato1 = nullptr, QString* Dato2 = nullptr,
                     QString* Dato3 = nullptr);

// The column list of `Tabla`'s definition ready for a SELECT ("*" when it
// has none) and its first column (empty when there is no definition; the
// only column when there is one).
void LeeCamposConsulta(const QString& Tabla, QString& Campos, QString& Primera, const QString& Reservado = {});

// For "V_MV_TROPA" and "V_MV_TROPA_STOCK": appends the definition record
// to CONSULTAS.KVX and the column widths; any other table: nothing.
void AgregaConsultasTropa(const QString& Tabla);

// Stores `Anchos` as the line of `Tabla` in CONSULTASLEN.KVX (application
// folder), one line per table, rewritten through CONSULTASLEN.AUX.
// Failures are raised as Fallo.
void GrabaAnchosConsulta(const QString& Tabla, const QString& Anchos);

// The widths stored for `Tabla`, or empty.
QString LeeAnchosConsulta(const QString& Tabla);
