#pragma once
// What keeps a run whole before it starts and after it is killed: one run
// per database at a time, and the triggers a run switches off never left
// off.

#include <QString>
#include <QStringList>

// The run lock of the session's database, held while it lives. Taking it
// never waits; the connection owns it, so a killed run frees it with its
// connection.
class BloqueoCorrida {
public:
    BloqueoCorrida() = default;
    ~BloqueoCorrida();
    BloqueoCorrida(const BloqueoCorrida&) = delete;
    BloqueoCorrida& operator=(const BloqueoCorrida&) = delete;

    // True when taken; otherwise `Motivo()` says who holds it.
    bool Toma();
    void Suelta();
    bool Tomado() const { return tomado_; }
    // The operator's message when the lock was refused.
    const QString& Motivo() const { return motivo_; }

    // "equipo <host>, usuario <user>, desde <dd/MM/yyyy HH:mm:ss>"
    static QString Titular();

private:
    bool tomado_ = false;
    QString motivo_;
};

// The tables whose triggers a run switches off and on.
const QStringList& TablasConDisparadores();

// Finds the triggers of those tables left disabled (a run killed on a
// server that keeps the switch outside its transaction, another program)
// and enables them, telling the operator. Returns the tables enabled again;
// nothing when the server cannot say.
QStringList ReactivaDisparadores();
