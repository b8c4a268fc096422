#include "platform/Signals.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void WriteToSignalPipe(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

int CatchTerminationSignalsInPipe() {
    if (signalPipe[0] >= 0)
        return signalPipe[0];
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return -1;
    }
    struct sigaction action {};
    action.sa_handler = WriteToSignalPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    return signalPipe[0];
}

void DrainTerminationSignalPipe(int fd) {
    std::array<char, 16> drain{};
    while (::read(fd, drain.data(), drain.size()) > 0) {
    }
}

void HandleEndingSignals(TEndingSignalHandler handler) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

void EndProcessBySignal(int signal) {
    std::signal(signal, SIG_DFL);
    ::kill(::getpid(), signal);
}
