#include "platform/Executable.h"

#include <climits>
#include <unistd.h>

std::string RunningExecutableFile() {
    return "/proc/self/exe";
}

std::string RunningExecutablePath() {
    std::string path(PATH_MAX, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size())
        return {};
    path.resize(static_cast<std::size_t>(length));
    return path;
}
