#include "platform/Executable.h"

#include "platform/windows/SystemNames.h"

// The system keeps a running executable's file from being replaced, so its path opens it.
std::string RunningExecutableFile() {
    return RunningExecutablePath();
}

std::string RunningExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return Utf8Name(path);
        }
        path.resize(path.size() * 2);
    }
}
