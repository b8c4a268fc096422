// What every Windows service here shares: the program's UTF-8 names as the UTF-16 names the
// system's wide calls take, and the system's error codes as the error numbers of the headers.
#pragma once
#include <windows.h>

#include <string>

// name in UTF-16; invalid UTF-8 becomes U+FFFD as the system's conversion makes it.
std::wstring WideName(const std::string& name);
// A wide name back in UTF-8.
std::string Utf8Name(const std::wstring& name);
// The name for a wide file call: '/' turned into '\', and an absolute name too long for the
// system's classic limit (MAX_PATH) given the "\\?\" prefix that lifts it.
std::wstring SystemPath(const std::string& path);
// The error number (ENOENT, EACCES, ...) closest to a system error code.
int ErrorNumberOf(DWORD code);
// The error number of the calling thread's last system error.
int LastErrorNumber();
// The system handle behind a descriptor; INVALID_HANDLE_VALUE for none.
HANDLE HandleOf(int fd) noexcept;
// A descriptor owning handle, or -1 (the handle closed) when the C library has no room for it.
int DescriptorFor(HANDLE handle) noexcept;
