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

// The undo list of a run in progress. Each code is appended to a journal
// beside the list ("<list>.diario") before it commits, and a retraction
// when the commit fails; the list itself is written once, when the run
// ends. A journal left by a process that ended without writing its list is
// turned into the list by CompletaListasInterrumpidas: it reverts every
// code committed, plus at most the code whose commit was cut short (running
// its line finds nothing to move).
class DiarioDeshacer {
public:
    DiarioDeshacer() = default;
    DiarioDeshacer(const DiarioDeshacer&) = delete;
    DiarioDeshacer& operator=(const DiarioDeshacer&) = delete;
    // Writes the list when Termina was not called.
    ~DiarioDeshacer();

    // Creates the journal, checking that the folder takes data. False with
    // the reason in `error`.
    bool Crea(const QString& ruta, QString& error);
    // One code of the run, in order, about to commit (failed and skipped
    // codes change nothing). False with the reason when the journal could
    // not be written.
    bool Agrega(const ResultadoCodigo& r, QString& error);
    // The last code did not commit after all.
    bool QuitaUltimo(QString& error);
    // The run is over: the list is written and the journal removed. A list
    // with no line leaves no file. The path, or empty when there is none;
    // when the list cannot be written the reason is in `error` and the
    // journal stays for CompletaListasInterrumpidas.
    QString Termina(QString* error = nullptr);
    // The codes so far: the lines to revert them, last first, and those
    // that cannot be reverted, with why.
    ListaDeshacer Lista() const;
    const QString& Ruta() const { return ruta_; }

    // The journal's path for a list's path.
    static QString RutaDiario(const QString& ruta);
    // The list a journal holds (a torn last record is left out). False when
    // it cannot be read or is not a journal.
    static bool LeeDiario(const QString& diario, ListaDeshacer& lista);

private:
    // Records a code; true when lines already listed stop being reversible.
    bool Anota(const ResultadoCodigo& r);
    void Reinicia();
    bool Registra(const QByteArray& registro, QString& error);
    void Cierra();

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
    int fd_ = -1;  // the journal, open and locked while the run lasts
    qint64 largo_ = 0;
    bool terminado_ = true;
};

// Writes the list of every journal in `carpeta` that no running process
// holds (a run ended by a kill or a power cut) and removes the journal.
// The lists written; a journal whose list cannot be written stays, with
// the reason in `fallos`.
QStringList CompletaListasInterrumpidas(const QString& carpeta, QStringList* fallos = nullptr);

// The rows a stopped run left, as a pair file in the import format ("old,new"
// per line): "Pendientes-<yyyyMMdd-HHmmss>.txt" beside the undo list.
QString RutaPendientes(const QDateTime& momento);
bool EscribePendientes(const QString& ruta, const QVector<QStringList>& filas);

// Beside the witness: "Deshacer-<yyyyMMdd-HHmmss>.txt" in the application folder,
// or "-2", "-3"… before ".txt" when a list of that second is there already.
QString RutaDeshacer(const QDateTime& momento);

