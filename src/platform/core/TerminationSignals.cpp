#include "platform/core/TerminationSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t TerminationSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

}  // namespace

void BlockTerminationSignals() {
    const sigset_t set = TerminationSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void InstallTerminationHandler(std::function<void()> onTerminate) {
    static bool installed = false;
    if (installed) return;
    const sigset_t set = TerminationSet();
    const int fd = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd < 0) return;
    installed = true;
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [fd, onTerminate = std::move(onTerminate)] {
        signalfd_siginfo info;
        while (::read(fd, &info, sizeof info) == ssize_t(sizeof info)) {
        }
        onTerminate();
    });
}
