#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

std::int64_t CurrentProcessId() {
    return ::getpid();
}

bool ProcessIsGone(std::int64_t id) {
    // Signal 0 only asks whether the process exists.
    return id > 0 && ::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
}

std::uint64_t CurrentUserId() {
    return ::geteuid();
}
