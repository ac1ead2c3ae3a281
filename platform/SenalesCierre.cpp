#include "platform/SenalesCierre.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <atomic>

namespace {

#ifdef Q_OS_UNIX
sigset_t SenalesDeCierre() {
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGTERM);
    sigaddset(&s, SIGINT);
    return s;
}
#endif

int tuberia[2] = {-1, -1};
std::atomic<int> recibidas{0};

#ifdef Q_OS_UNIX
void AlRecibir(int senal) {
    // Only async-signal-safe calls here.
    if (recibidas.fetch_add(1) > 0) _exit(128 + senal);
    const char c = static_cast<char>(senal);
    [[maybe_unused]] const ssize_t n = ::write(tuberia[1], &c, 1);
}
#endif

}  // namespace

SenalesCierre::SenalesCierre(std::function<void(int)> cierra, QObject* padre)
    : QObject(padre), cierra_(std::move(cierra)) {
#ifdef Q_OS_UNIX
    recibidas = 0;
    const sigset_t retenidas = SenalesDeCierre();
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, tuberia) != 0) {
        // Without a way to the event loop they keep their default action.
        pthread_sigmask(SIG_UNBLOCK, &retenidas, nullptr);
        return;
    }
    notificador_ = new QSocketNotifier(tuberia[0], QSocketNotifier::Read, this);
    connect(notificador_, &QSocketNotifier::activated, this, [this] { Lee(); });
    struct sigaction sa = {};
    sa.sa_handler = AlRecibir;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    // Any held back since Retiene arrives now, through the handler.
    pthread_sigmask(SIG_UNBLOCK, &retenidas, nullptr);
#endif
}

void SenalesCierre::Retiene() {
#ifdef Q_OS_UNIX
    const sigset_t s = SenalesDeCierre();
    pthread_sigmask(SIG_BLOCK, &s, nullptr);
#endif
}

SenalesCierre::~SenalesCierre() {
#ifdef Q_OS_UNIX
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    ::close(tuberia[0]);
    ::close(tuberia[1]);
    tuberia[0] = tuberia[1] = -1;
#endif
}

int SenalesCierre::Recibidas() const { return recibidas; }

void SenalesCierre::Lee() {
#ifdef Q_OS_UNIX
    char c = 0;
    if (::read(tuberia[0], &c, 1) == 1 && cierra_) cierra_(c);
#endif
}
