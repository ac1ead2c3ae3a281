// SIGTERM and SIGINT held back from the process's start reach the close
// once it is installed, instead of ending the process on the spot.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <csignal>
#include <pthread.h>

#include "platform/SenalesCierre.h"

namespace {

bool Retenida(int senal) {
    sigset_t s;
    pthread_sigmask(SIG_BLOCK, nullptr, &s);
    return sigismember(&s, senal) == 1;
}

}  // namespace

TEST(SenalesCierre, UnaSenalRetenidaLlegaAlCierreAlInstalarlo) {
    for (const int senal : {SIGTERM, SIGINT}) {
        SenalesCierre::Retiene();
        ::raise(senal);  // held: without Retiene it ends the test process
        EXPECT_TRUE(Retenida(senal));
        int recibida = 0;
        {
            SenalesCierre cierre([&](int s) { recibida = s; });
            EXPECT_FALSE(Retenida(SIGTERM));
            EXPECT_FALSE(Retenida(SIGINT));
            QElapsedTimer t;
            t.start();
            while (recibida == 0 && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            EXPECT_EQ(recibida, senal);
            EXPECT_EQ(cierre.Recibidas(), 1);
        }
        // Gone, the signals are neither held nor handled.
        struct sigaction sa = {};
        sigaction(senal, nullptr, &sa);
        EXPECT_EQ(sa.sa_handler, SIG_DFL);
        EXPECT_FALSE(Retenida(senal));
    }
}
