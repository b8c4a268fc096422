#include "platform/Terminal.h"

#include "platform/windows/SystemNames.h"

// A console handle is the only kind with a console mode.
bool IsTerminal(int fd) {
    DWORD mode = 0;
    return ::GetConsoleMode(HandleOf(fd), &mode) != 0;
}
