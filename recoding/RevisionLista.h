#pragma once
// The whole-list check before a run: the grid's pairs read together and
// against the master, and the columns holding article codes that no plan
// touches. It only reads; nothing it finds changes a statement of the run.

#include <QString>
#include <QStringList>
#include <QVector>

#include "recoding/Planes.h"

class FrmEMRecodifica;
class Grilla;

enum class Gravedad {
    Rechazo,  // the run must not go on with the list as it stands
    Aviso,    // the run may go on once the operator accepts it
    Nota      // for the record
};
QString NombreGravedad(Gravedad g);  // "Rechazo", "Aviso", "Nota"

enum class TipoHallazgo {
    ViejoRepetido,   // the same old code twice (case and blanks ignored)
    Cadena,          // A→B and B→C
    Ciclo,           // A→B, B→A; A→B, B→C, C→A
    VariosEnUno,     // several old codes onto one new code
    NuevoExistente,  // the new code is an article already: a merge
    Largo,           // the new code does not fit the code column
    Formato,         // the plans would change the new code's form (leading blanks, case)
    Cobertura,       // a column holding article codes that no plan touches
};
QString NombreTipoHallazgo(TipoHallazgo t);

// One pair of the list, as the grid holds it (trimmed).
struct ParLista {
    int fila = 0;
    QString viejo;
    QString nuevo;
    // The new code as typed, blanks kept (empty: the same as `nuevo`); the
    // run trims it, which the check reports.
    QString nuevoEscrito;
};

struct Hallazgo {
    Gravedad gravedad = Gravedad::Nota;
    TipoHallazgo tipo = TipoHallazgo::Formato;
    QVector<int> filas;     // the grid rows involved, in list order
    QString pares;          // the pairs involved, e.g. "A → B; B → C"
    QString efecto;         // what the run would do, in the operator's words
    // A cycle's way through a free temporary code: the pairs to run instead, in order.
    QVector<ParLista> propuesta;
};

struct RevisionLista {
    QVector<Hallazgo> hallazgos;
    // The grid rows in an order that gives every pair its own meaning
    // (B→C before A→B); empty when the list's order already does or a
    // cycle makes it impossible.
    QVector<int> ordenSeguro;

    bool HayRechazos() const;
    bool HayAvisos() const;
    int Cuenta(Gravedad g) const;
};

// The pairs the run would send: rows with both codes and a description
// (validated rows), in grid order.
QVector<ParLista> ParesDeGrilla(const Grilla& g);

// The check of the pairs against the master read through the main session
// (existence of the new codes, the code column's width). Findings: rechazos,
// then avisos, then notas, each in list order. A failed read is raised to
// the caller (an unreadable width counts as 25).
RevisionLista RevisaLista(const QVector<ParLista>& pares, const OpcionesPlan& op);

// The columns of every table that hold article codes by name (IDARTICULO,
// IdArticulo…, CodigoArticulo, and the code columns of V_MA_INSUMOS) that no
// plan touches, read from the schema rowsets, with the rows referencing the
// old codes.
struct ColumnaSinCubrir {
    QString tabla;
    QString columna;
    qint64 filas = 0;  // -1 when the rows could not be counted
};
QVector<ColumnaSinCubrir> RevisaCobertura(const QStringList& codigosViejos);

// The columns the plans of Planes.cpp look the old code up in (and so move
// or delete), read from the plans' own statements: "TABLA.COLUMNA" in upper
// case, sorted. The coverage check's one list of what the plans touch.
QStringList ColumnasDeLosPlanes();

// Both checks over the window's list and options: the list's findings (and
// a VariosEnUno finding per old code whose size variants the run sends onto
// the same new code, and one for each later row whose old code is such a
// variant: that row finds it gone) and one Cobertura finding per uncovered
// column, ordered by severity; within a severity the list's findings come
// first.
RevisionLista RevisaLista(const FrmEMRecodifica& frm);

// The grid's data rows put in the given order (rows not named keep their
// relative order after them); the empty last row stays last.
void ReordenaGrilla(Grilla& g, const QVector<int>& orden);
