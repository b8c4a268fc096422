#include "platform/windows/SystemNames.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>

std::wstring WideName(const std::string& name) {
    if (name.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), wide.data(), length);
    return wide;
}

std::string Utf8Name(const std::wstring& name) {
    if (name.empty())
        return {};
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), narrow.data(), length, nullptr,
                          nullptr);
    return narrow;
}

namespace {

bool IsAbsoluteDrivePath(const std::wstring& path) {
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
}

bool IsUncPath(const std::wstring& path) {
    return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
}

} // namespace

std::wstring SystemPath(const std::string& path) {
    std::wstring wide = WideName(path);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    // The prefixed form is taken literally by the system, so it is used only where it is
    // needed: a short name keeps the classic parsing (".", "..", trailing dots).
    if (wide.size() < MAX_PATH || wide.starts_with(L"\\\\?\\"))
        return wide;
    if (IsAbsoluteDrivePath(wide))
        return L"\\\\?\\" + wide;
    if (IsUncPath(wide))
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide;
}

int ErrorNumberOf(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        return EPIPE;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    default:
        return EIO;
    }
}

int LastErrorNumber() {
    return ErrorNumberOf(::GetLastError());
}

HANDLE HandleOf(int fd) noexcept {
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

int DescriptorFor(HANDLE handle) noexcept {
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
    if (fd < 0)
        ::CloseHandle(handle);
    return fd;
}
