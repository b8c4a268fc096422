#include "platform/Process.h"

#include "platform/windows/SystemNames.h"

#include <vector>

std::int64_t CurrentProcessId() {
    return ::GetCurrentProcessId();
}

bool ProcessIsGone(std::int64_t id) {
    if (id <= 0)
        return false;
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (process == nullptr)
        return ::GetLastError() == ERROR_INVALID_PARAMETER;
    // A process that ended stays open while someone holds a handle to it.
    DWORD status = 0;
    const bool ended = ::GetExitCodeProcess(process, &status) && status != STILL_ACTIVE;
    ::CloseHandle(process);
    return ended;
}

// The last part of the user's security id: the number the machine or domain knows the user by.
std::uint64_t CurrentUserId() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return 0;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    std::uint64_t id = 0;
    if (size != 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
        const UCHAR parts = *::GetSidSubAuthorityCount(sid);
        if (parts > 0)
            id = *::GetSidSubAuthority(sid, parts - 1u);
    }
    ::CloseHandle(token);
    return id;
}
