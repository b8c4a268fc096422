// Descriptors are the C library's: each one owns a system handle (_open_osfhandle), so the
// standard descriptors and every header's int keep their meaning, and _close closes both.
#include "platform/Descriptors.h"

#include "platform/windows/SystemNames.h"

#include <io.h>

#include <algorithm>
#include <climits>

namespace {

DWORD OneCallCount(std::size_t count) {
    return static_cast<DWORD>(std::min<std::size_t>(count, INT_MAX));
}

// A read's end: the end of a file, or a pipe whose writer closed.
bool IsEndOfData(DWORD code) {
    return code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE;
}

// One read, at the handle's position or at an offset: the number read, 0 at the end, or -1.
std::int64_t ReadHandle(int fd, void* buffer, std::size_t count, OVERLAPPED* at, int& error) noexcept {
    DWORD read = 0;
    if (::ReadFile(HandleOf(fd), buffer, OneCallCount(count), &read, at))
        return read;
    const DWORD code = ::GetLastError();
    if (IsEndOfData(code))
        return 0;
    error = ErrorNumberOf(code);
    return -1;
}

} // namespace

std::int64_t ReadDescriptor(int fd, void* buffer, std::size_t count, int& error) noexcept {
    return ReadHandle(fd, buffer, count, nullptr, error);
}

// The file is opened for synchronous reads, where a read at an offset also moves the handle's
// position; the program reads a file either front to back or by offsets, never both.
std::int64_t ReadDescriptorAt(int fd, void* buffer, std::size_t count, std::int64_t offset, int& error) noexcept {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return ReadHandle(fd, buffer, count, &at, error);
}

std::int64_t WriteDescriptor(int fd, const void* bytes, std::size_t count, int& error) noexcept {
    DWORD written = 0;
    if (::WriteFile(HandleOf(fd), bytes, OneCallCount(count), &written, nullptr))
        return written;
    error = LastErrorNumber();
    return -1;
}

bool CloseDescriptor(int fd, int& error) noexcept {
    if (::_close(fd) == 0)
        return true;
    error = errno;
    return false;
}
