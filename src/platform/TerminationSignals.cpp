#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The handler may only write: the signal's number goes through a pipe to the event loop.
int signalPipe[2] = {-1, -1};

void noteSignal(int signal)
{
    const auto number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
}
} // namespace

void TerminationSignals::endEventLoopOnTermination()
{
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        unsigned char number = 0;
        if (::read(signalPipe[0], &number, 1) == 1)
            QCoreApplication::exit(128 + number);
    });
    struct sigaction action
    {
    };
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : std::array {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}
