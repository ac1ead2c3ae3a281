#pragma once
// What the operator reads before a run: the whole-list check's findings as
// table rows, and the per-table preview as the report window shows it (one
// row per code and count, the totals) with its CSV export.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "recoding/RevisionLista.h"
#include "recoding/VistaPreviaTablas.h"

// Captions and rows of the findings: severity, rows, pairs, what will happen.
QStringList ColumnasRevision();
QVector<QStringList> FilasRevision(const RevisionLista& r);

class InformeVistaPrevia {
public:
    InformeVistaPrevia(VistaPreviaTablas vista, RevisionLista revision);

    // "Fila", "Código actual", "Código nuevo", "Plan", "Tabla", "Columna", "Efecto", "Filas".
    static QStringList Columnas();
    int Filas() const { return static_cast<int>(filas_.size()); }
    // Texts, and numbers (grid row, count) as numbers so that they sort as such.
    QVariant Valor(int fila, int columna) const;

    static QStringList ColumnasTotales();  // "Tabla", "Columna", "Efecto", "Filas"
    QVector<ConteoTabla> Totales() const { return totales_; }

    // "N códigos, M filas afectadas; R rechazos, A avisos, N notas".
    QString Resumen() const;

    const VistaPreviaTablas& Vista() const { return vista_; }
    const RevisionLista& Revision() const { return revision_; }

    // Asks for a file through the operator and writes the CSV there. False
    // when cancelled or when the file cannot be written (the operator is told).
    bool Exporta() const;

private:
    struct Fila {
        int codigo;
        int conteo;  // -1 for a code that moves nothing
    };
    VistaPreviaTablas vista_;
    RevisionLista revision_;
    QVector<Fila> filas_;
    QVector<ConteoTabla> totales_;
};
