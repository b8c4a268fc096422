#include "platform/Terminal.h"

#include "platform/windows/Console.h"
#include "platform/windows/SystemNames.h"

bool IsTerminal(int fd) {
    return IsConsole(HandleOf(fd));
}
