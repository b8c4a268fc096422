// Descriptors are the C library's: each one owns a system handle (_open_osfhandle), so the
// standard descriptors and every header's int keep their meaning, and _close closes both.
#include "platform/Descriptors.h"

#include "platform/windows/Console.h"
#include "platform/windows/SystemNames.h"

#include <io.h>
#include <winternl.h>

#include <algorithm>
#include <climits>

// The native read, which winternl.h leaves out (ntdll).
extern "C" NTSTATUS NTAPI NtReadFile(HANDLE file, HANDLE event, PIO_APC_ROUTINE routine, PVOID context,
                                     PIO_STATUS_BLOCK done, PVOID buffer, ULONG count, PLARGE_INTEGER offset,
                                     PULONG key);

namespace {

DWORD OneCallCount(std::size_t count) {
    return static_cast<DWORD>(std::min<std::size_t>(count, INT_MAX));
}

// A read's end: the end of a file, or a pipe whose writer closed.
bool IsEndOfData(DWORD code) {
    return code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE;
}

} // namespace

std::int64_t ReadDescriptor(int fd, void* buffer, std::size_t count, int& error) noexcept {
    DWORD read = 0;
    if (::ReadFile(HandleOf(fd), buffer, OneCallCount(count), &read, nullptr))
        return read;
    const DWORD code = ::GetLastError();
    if (IsEndOfData(code))
        return 0;
    error = ErrorNumberOf(code);
    return -1;
}

// ReadFile takes an offset only in an OVERLAPPED, whose completion Wine then posts through its
// server on every read; the native read names no completion. The file is opened for
// synchronous reads, which also move the handle's position; the program reads a file either
// front to back or by offsets, never both.
std::int64_t ReadDescriptorAt(int fd, void* buffer, std::size_t count, std::int64_t offset, int& error) noexcept {
    IO_STATUS_BLOCK done{};
    LARGE_INTEGER at{};
    at.QuadPart = offset;
    const NTSTATUS status =
        ::NtReadFile(HandleOf(fd), nullptr, nullptr, nullptr, &done, buffer, OneCallCount(count), &at, nullptr);
    if (status >= 0)
        return static_cast<std::int64_t>(done.Information);
    const DWORD code = ::RtlNtStatusToDosError(status);
    if (IsEndOfData(code))
        return 0;
    error = ErrorNumberOf(code);
    return -1;
}

std::int64_t WriteDescriptor(int fd, const void* bytes, std::size_t count, int& error) noexcept {
    if (IsStandardConsole(fd))
        return WriteConsoleText(fd, bytes, count, error);
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
