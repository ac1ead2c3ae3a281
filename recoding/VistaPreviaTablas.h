#pragma once
// The per-table preview of a run: for every code the run would send, the
// rows each table of its plan would receive, counted with read-only queries
// on the server. It follows the plans' own statements in the run's order, so
// a later pair sees what the earlier ones would have moved.

#include <QString>
#include <QVector>

#include <functional>

#include "recoding/Planes.h"

class FrmEMRecodifica;

enum class EfectoFilas {
    Copia,    // rows inserted from the old code's (the master)
    Mueve,    // rows whose code changes to a new article
    Fusiona,  // rows whose code changes to an article that exists
    Borra,    // rows deleted
};
QString NombreEfecto(EfectoFilas e);  // "copia", "mueve", "fusiona", "borra"

struct ConteoTabla {
    QString tabla;     // as the plan names it
    QString columna;   // the code column
    EfectoFilas efecto = EfectoFilas::Mueve;
    qint64 filas = 0;
    // Of `filas`, the rows an earlier code of the list already moved in the
    // same table and column (they arrived here along a chain): left out of
    // the totals.
    qint64 yaMovidas = 0;
};

struct PreviaCodigo {
    int fila = 0;        // grid row
    QString viejo;       // the code sent (a size variant's own code)
    QString nuevo;
    TipoPlan tipo = TipoPlan::Copia;
    // In plan order, one per table, column and effect that affects rows
    // (counts of 0 left out).
    QVector<ConteoTabla> conteos;
};

struct VistaPreviaTablas {
    QVector<PreviaCodigo> codigos;
    bool interrumpida = false;  // stopped by the caller before the end of the list

    // Per table, column and effect, in first-seen order: the rows affected
    // over the whole list, not the moves. A row that several codes move
    // along a chain (A→B, then B→C) counts once, in the line of its first
    // move (a line left with no rows is left out); copies and deletions count
    // every row inserted or deleted. The per-code counts keep every move.
    // `yaMovidas` is 0 in the totals.
    QVector<ConteoTabla> Totales() const;
    // "fila;viejo;nuevo;plan;tabla;columna;efecto;filas" and one line per
    // code and count (a code without counts: one line, empty table, column
    // and effect, 0 rows), CR LF ended; codes without trailing blanks;
    // fields with ';', '"' or line breaks quoted, '"' doubled.
    QString Csv() const;
};

// The preview of the window's list with its options (reads only).
// `avance`, when given, is told the grid row of each code and the list's
// last row; false stops the preview there (`interrumpida`).
VistaPreviaTablas CalculaVistaPrevia(FrmEMRecodifica& frm,
                                     const std::function<bool(int fila, int ultima)>& avance = {});
