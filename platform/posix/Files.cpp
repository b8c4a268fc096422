#include "platform/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TFileTime TimeOf(const timespec& time) {
    return {static_cast<std::int64_t>(time.tv_sec), static_cast<std::int64_t>(time.tv_nsec)};
}

TFileKind KindOf(mode_t mode) {
    if (S_ISREG(mode))
        return TFileKind::Regular;
    if (S_ISDIR(mode))
        return TFileKind::Folder;
    if (S_ISLNK(mode))
        return TFileKind::Link;
    return TFileKind::Other;
}

TFileInfo InfoOf(const struct stat& status) {
    TFileInfo info;
    info.Kind = KindOf(status.st_mode);
    info.Size = static_cast<std::int64_t>(status.st_size);
    info.Modified = TimeOf(status.st_mtim);
    info.Changed = TimeOf(status.st_ctim);
    info.Identity = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
    return info;
}

} // namespace

std::optional<TFileInfo> LookAtPath(const std::string& path, bool followLinks, int& error) {
    struct stat status {};
    if ((followLinks ? ::stat(path.c_str(), &status) : ::lstat(path.c_str(), &status)) != 0) {
        error = errno;
        return std::nullopt;
    }
    return InfoOf(status);
}

std::optional<TFileInfo> LookAtPath(const std::string& path, bool followLinks) {
    int error = 0;
    return LookAtPath(path, followLinks, error);
}

std::optional<TFileInfo> LookAtDescriptor(int fd, int& error) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = errno;
        return std::nullopt;
    }
    return InfoOf(status);
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
        // A file that is still to be created has no status yet; the open below makes it.
        file.Failure = TOpenFailure::Missing;
        file.Error = error;
        return file;
    }

    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (options.FollowLinks ? 0 : O_NOFOLLOW) |
                      (options.Create ? O_CREAT : 0);
    file.Handle = TFileHandle(::open(path.c_str(), flags, S_IRUSR | S_IWUSR));
    std::optional<TFileInfo> opened;
    if (!file.Handle.IsOpen())
        file.Error = errno;
    else
        opened = LookAtDescriptor(file.Handle.Get(), file.Error);
    if (opened) {
        file.Info = *opened;
        // O_NONBLOCK stays: it changes nothing for reads, writes and locks of a regular file,
        // and clearing it would cost a system call per file.
        if (opened->Kind == TFileKind::Regular)
            return file;
    }
    file.Failure = TOpenFailure::OpenFailed;
    file.Handle.Reset();
    return file;
}

TFileHandle OpenForReading(const std::string& path, int& error) noexcept {
    TFileHandle handle(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    error = handle.IsOpen() ? 0 : errno;
    return handle;
}

std::string OpenFailureReason(const TRegularFile& file) {
    if (file.Error != 0)
        return SystemErrorText(file.Error);
    return file.Info.Kind == TFileKind::Folder ? SystemErrorText(EISDIR) : "Not a regular file";
}

std::string SystemErrorText(int error) {
    return std::strerror(error);
}

void AdviseSequentialRead(int fd) noexcept {
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

void AdviseReadSoon(int fd, std::int64_t offset, std::int64_t count) noexcept {
    ::posix_fadvise(fd, static_cast<off_t>(offset), static_cast<off_t>(count), POSIX_FADV_WILLNEED);
}
