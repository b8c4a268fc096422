// A console sends its programs events instead of signals: Ctrl+C, Ctrl+Break and the console's
// closing (or the user's logoff, the system's shutdown). Each is given to the handler as the
// signal that means the same on Linux.
#include "platform/Signals.h"

#include "platform/Descriptors.h"
#include "platform/windows/SystemNames.h"

#include <array>
#include <atomic>
#include <csignal>

namespace {

std::atomic<TEndingSignalHandler> endingHandler{nullptr};

int SignalOf(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
        return SIGINT;
    case CTRL_BREAK_EVENT:
        return SIGBREAK;
    default:
        return SIGTERM;
    }
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    const TEndingSignalHandler handler = endingHandler.load();
    if (handler == nullptr)
        return FALSE;
    handler(SignalOf(event));
    // The system ends the process as soon as a close, logoff or shutdown event's handler
    // returns; this thread waits instead, so that the program ends on a whole line itself.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        ::Sleep(INFINITE);
    return TRUE;
}

} // namespace

// The window closes on the system's own messages (WM_CLOSE, WM_ENDSESSION), which the toolkit
// turns into closing the window; there is no signal to pass on.
int CatchTerminationSignalsInPipe() {
    return -1;
}

void DrainTerminationSignalPipe(int fd) {
    std::array<char, 16> drain{};
    int error = 0;
    while (ReadDescriptor(fd, drain.data(), drain.size(), error) > 0) {
    }
}

void HandleEndingSignals(TEndingSignalHandler handler) {
    endingHandler.store(handler);
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

// What the system's default handler does for every console event.
void EndProcessBySignal(int) {
    ::ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}
