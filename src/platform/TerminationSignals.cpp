#include "platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: wake the event loop.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &byte, 1);
}

}  // namespace

void InstallTerminationHandler(std::function<void()> onTerminate) {
    if (g_pipe[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) return;
    auto *notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onTerminate = std::move(onTerminate)] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(g_pipe[1], &byte, 1);
        onTerminate();
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}
