#pragma once
// The undo list of a run: a pair file in the import format ("new,old" per
// line) that reverts every copy and in-place recoding the run made, in the
// reverse of the run's order. Merges cannot be reverted: they are listed
// apart.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include "recoding/FrmEMRecodifica.h"

struct ListaDeshacer {
    QStringList lineas;      // "new,old", the last code run first
    QStringList noReversibles;  // "old → new (reason)", in run order
};

// From the codes the run sent, in its order (the journal's reckoning). A code is reverted only when it
// succeeded as a copy or in place, its new code received nothing else later
// in the run, both codes go back through the import unchanged, and a prefix
// load left its rubro as it was.
ListaDeshacer ArmaDeshacer(const QVector<ResultadoCodigo>& codigos);

// Why a committed code cannot be reverted by itself (empty when it can),
// leaving aside what later codes of the run do to its new code.
QString MotivoNoReversible(const ResultadoCodigo& r);

// The undo list of a run in progress, on disk around every commit: the file
// is replaced (a temporary file renamed over it) with the code's line before
// the code commits, and without it when the commit fails. Whatever ends the
// process, it reverts every code committed; at most the code whose commit
// was cut short is listed too, and running its line finds nothing to move.
class DiarioDeshacer {
public:
    // Creates the empty list, checking that the folder takes data. False
    // with the reason in `error`.
    bool Crea(const QString& ruta, QString& error);
    // One code of the run, in order, about to commit (failed and skipped
    // codes change nothing). False with the reason when the file could not
    // be written.
    bool Agrega(const ResultadoCodigo& r, QString& error);
    // The last code did not commit after all.
    bool QuitaUltimo(QString& error);
    // The run is over: a list with no line leaves no file. The path, or
    // empty when there is none.
    QString Termina();
    // The codes so far: the lines to revert them, last first, and those
    // that cannot be reverted, with why.
    ListaDeshacer Lista() const;
    const QString& Ruta() const { return ruta_; }

private:
    // Records a code; true when lines already listed stop being reversible.
    bool Anota(const ResultadoCodigo& r);
    bool Escribe(QString& error);
    void Rehace();

    struct Entrada {
        QString clave;  // the new code as the server compares it
        QString linea;
        QString par;     // "old → new"
        QString motivo;  // why it cannot be reverted; empty when it can
        bool Reversible() const { return motivo.isEmpty(); }
    };
    QString ruta_;
    QVector<ResultadoCodigo> codigos_;
    QVector<Entrada> entradas_;
    QHash<QString, int> recibidos_;
    QByteArray contenido_;  // the lines, last first, encoded
    bool utf8_ = false;
};

// The rows a stopped run left, as a pair file in the import format ("old,new"
// per line): "Pendientes-<yyyyMMdd-HHmmss>.txt" beside the undo list.
QString RutaPendientes(const QDateTime& momento);
bool EscribePendientes(const QString& ruta, const QVector<QStringList>& filas);

// Beside the witness: "Deshacer-<yyyyMMdd-HHmmss>.txt" in the application folder,
// or "-2", "-3"… before ".txt" when a list of that second is there already.
QString RutaDeshacer(const QDateTime& momento);

