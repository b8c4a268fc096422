#include "platform/Files.h"

#include "platform/SystemFiles.h"
#include "platform/windows/SystemNames.h"

#include <cerrno>

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

// What LookAtDescriptorStatus tells and what the full looks add: the file's identity needs the
// volume's serial number, which Wine fetches from its mount manager, another process, on every ask.
enum class TLook { Status, WithIdentity };

std::optional<TFileInfo> InfoOfHandle(HANDLE handle, bool linkItself, TLook look, int& error) {
    TFileInfo info;
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        info.Kind = TFileKind::Other;
        return info;
    }
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        !::GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard)) {
        error = LastErrorNumber();
        return std::nullopt;
    }
    if (linkItself && (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        info.Kind = TFileKind::Link;
    else if (standard.Directory)
        info.Kind = TFileKind::Folder;
    else
        info.Kind = TFileKind::Regular;
    info.Size = standard.EndOfFile.QuadPart;
    info.Modified = TimeOf(basic.LastWriteTime.QuadPart);
    // The change time moves with every change of the file's data or attributes; where the file
    // system keeps none, the last write stands in for it.
    info.Changed = basic.ChangeTime.QuadPart != 0 ? TimeOf(basic.ChangeTime.QuadPart) : info.Modified;
    if (look == TLook::WithIdentity) {
        BY_HANDLE_FILE_INFORMATION file{};
        if (!::GetFileInformationByHandle(handle, &file)) {
            error = LastErrorNumber();
            return std::nullopt;
        }
        info.Identity = {file.dwVolumeSerialNumber,
                         (static_cast<std::uint64_t>(file.nFileIndexHigh) << 32) | file.nFileIndexLow};
    }
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

std::optional<TFileInfo> InfoOfDescriptor(int fd, TLook look, int& error) {
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE) {
        error = EBADF;
        return std::nullopt;
    }
    return InfoOfHandle(handle, false, look, error);
}

// The descriptor owning what an open answered; none, error set, for a failed open or when the C
// library has no room for it.
TFileHandle Owned(HANDLE handle, int& error) noexcept {
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastErrorNumber();
        return {};
    }
    TFileHandle opened(DescriptorFor(handle));
    error = opened.IsOpen() ? 0 : EMFILE;
    return opened;
}

} // namespace

std::optional<TFileInfo> LookAtPath(const std::string& path, bool followLinks, int& error) {
    const HANDLE handle = OpenForLooking(path, followLinks);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastErrorNumber();
        return std::nullopt;
    }
    std::optional<TFileInfo> info = InfoOfHandle(handle, !followLinks, TLook::WithIdentity, error);
    ::CloseHandle(handle);
    return info;
}

std::optional<TFileInfo> LookAtDescriptor(int fd, int& error) {
    return InfoOfDescriptor(fd, TLook::WithIdentity, error);
}

std::optional<TFileInfo> LookAtDescriptorStatus(int fd, int& error) {
    return InfoOfDescriptor(fd, TLook::Status, error);
}

// The system's opens take whole paths: name.Folder is not used.
TFileHandle OpenFileForReading(const TFileName& name, TOpenOptions options, int& error) noexcept {
    const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (options.FollowLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return Owned(::CreateFileW(SystemPath(name.Path).c_str(), GENERIC_READ, ShareAll, nullptr,
                               options.Create ? OPEN_ALWAYS : OPEN_EXISTING, flags, nullptr),
                 error);
}

TFileHandle OpenForReading(const std::string& path, int& error) noexcept {
    return Owned(::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING, 0, nullptr),
                 error);
}

// Every file is opened with the sequential-scan hint already, which is the system's read-ahead
// for a front-to-back read; it has no call to fetch a range ahead of the reads.
void AdviseSequentialRead(int) noexcept {}

void AdviseReadSoon(int, std::int64_t, std::int64_t) noexcept {}
