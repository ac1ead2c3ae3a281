#pragma once
// SIGTERM and SIGINT (a desktop session logging out, Ctrl+C) close the
// program as its own close command does: the first one is delivered to
// the event loop, which runs `cierra`; a second one ends the process at
// once with 128 + the signal's number.

#include <QObject>

#include <functional>

class QSocketNotifier;

class SenalesCierre : public QObject {
public:
    explicit SenalesCierre(std::function<void(int senal)> cierra, QObject* padre = nullptr);
    ~SenalesCierre() override;

    // Holds SIGTERM and SIGINT back, from the start of the process, until
    // a SenalesCierre takes them: one sent meanwhile reaches it then,
    // instead of ending the process by the signal's default action.
    static void Retiene();

    // The signals received so far.
    int Recibidas() const;

private:
    void Lee();

    std::function<void(int)> cierra_;
    QSocketNotifier* notificador_ = nullptr;
};
