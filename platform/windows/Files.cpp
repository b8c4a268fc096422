#include "platform/Files.h"

#include "platform/windows/SystemNames.h"

#include <cerrno>
#include <cstring>

namespace {

// The system counts 100 ns ticks from 1601; the program's times count from 1970.
constexpr std::int64_t TicksPerSecond = 10'000'000;
constexpr std::int64_t TicksFrom1601To1970 = 116'444'736'000'000'000;

TFileTime TimeOf(std::int64_t ticks) {
    const std::int64_t since1970 = ticks - TicksFrom1601To1970;
    std::int64_t seconds = since1970 / TicksPerSecond;
    std::int64_t rest = since1970 % TicksPerSecond;
    if (rest < 0) {
        rest += TicksPerSecond;
        --seconds;
    }
    return {seconds, rest * 100};
}

TFileTime TimeOf(const FILETIME& time) {
    return TimeOf(
        static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime));
}

std::optional<TFileInfo> InfoOfHandle(HANDLE handle, bool linkItself, int& error) {
    TFileInfo info;
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        info.Kind = TFileKind::Other;
        return info;
    }
    BY_HANDLE_FILE_INFORMATION file{};
    if (!::GetFileInformationByHandle(handle, &file)) {
        error = LastErrorNumber();
        return std::nullopt;
    }
    if (linkItself && (file.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        info.Kind = TFileKind::Link;
    else if ((file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        info.Kind = TFileKind::Folder;
    else
        info.Kind = TFileKind::Regular;
    info.Size = static_cast<std::int64_t>((static_cast<std::uint64_t>(file.nFileSizeHigh) << 32) | file.nFileSizeLow);
    info.Modified = TimeOf(file.ftLastWriteTime);
    // The change time moves with every change of the file's data or attributes; where the file
    // system keeps none, the last write stands in for it.
    FILE_BASIC_INFO basic{};
    info.Changed =
        ::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) && basic.ChangeTime.QuadPart != 0
            ? TimeOf(basic.ChangeTime.QuadPart)
            : info.Modified;
    info.Identity = {file.dwVolumeSerialNumber,
                     (static_cast<std::uint64_t>(file.nFileIndexHigh) << 32) | file.nFileIndexLow};
    return info;
}

// Every open shares reading, writing and deleting, so that a file another program has open,
// even for writing, is still read, and the program never stands in another's way.
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE OpenForLooking(const std::string& path, bool followLinks) {
    // Backup semantics open folders too; no access right is asked beyond reading attributes.
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return ::CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING, flags,
                         nullptr);
}

} // namespace

std::optional<TFileInfo> LookAtPath(const std::string& path, bool followLinks, int& error) {
    const HANDLE handle = OpenForLooking(path, followLinks);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastErrorNumber();
        return std::nullopt;
    }
    std::optional<TFileInfo> info = InfoOfHandle(handle, !followLinks, error);
    ::CloseHandle(handle);
    return info;
}

std::optional<TFileInfo> LookAtPath(const std::string& path, bool followLinks) {
    int error = 0;
    return LookAtPath(path, followLinks, error);
}

std::optional<TFileInfo> LookAtDescriptor(int fd, int& error) {
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE) {
        error = EBADF;
        return std::nullopt;
    }
    return InfoOfHandle(handle, false, error);
}

TRegularFile OpenRegularFile(const std::string& path, TOpenOptions options) {
    TRegularFile file;
    int error = 0;
    if (const std::optional<TFileInfo> looked = LookAtPath(path, options.FollowLinks, error)) {
        file.Info = *looked;
        if (looked->Kind != TFileKind::Regular) {
            file.Failure = TOpenFailure::NotRegular;
            return file;
        }
    } else if (!(options.Create && error == ENOENT)) {
        file.Failure = TOpenFailure::Missing;
        file.Error = error;
        return file;
    }

    const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (options.FollowLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle = ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, ShareAll, nullptr,
                                        options.Create ? OPEN_ALWAYS : OPEN_EXISTING, flags, nullptr);
    std::optional<TFileInfo> opened;
    if (handle == INVALID_HANDLE_VALUE) {
        file.Error = LastErrorNumber();
    } else {
        file.Handle = TFileHandle(DescriptorFor(handle));
        if (!file.Handle.IsOpen())
            file.Error = EMFILE;
        else
            opened = LookAtDescriptor(file.Handle.Get(), file.Error);
    }
    if (opened) {
        file.Info = *opened;
        if (opened->Kind == TFileKind::Regular)
            return file;
    }
    file.Failure = TOpenFailure::OpenFailed;
    file.Handle.Reset();
    return file;
}

TFileHandle OpenForReading(const std::string& path, int& error) noexcept {
    const HANDLE handle =
        ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastErrorNumber();
        return {};
    }
    TFileHandle opened(DescriptorFor(handle));
    error = opened.IsOpen() ? 0 : EMFILE;
    return opened;
}

std::string OpenFailureReason(const TRegularFile& file) {
    if (file.Error != 0)
        return SystemErrorText(file.Error);
    return file.Info.Kind == TFileKind::Folder ? SystemErrorText(EISDIR) : "Not a regular file";
}

std::string SystemErrorText(int error) {
    return std::strerror(error);
}

// Every file is opened with the sequential-scan hint already, which is the system's read-ahead
// for a front-to-back read; it has no call to fetch a range ahead of the reads.
void AdviseSequentialRead(int) noexcept {}

void AdviseReadSoon(int, std::int64_t, std::int64_t) noexcept {}
