#include "platform/Files.h"

#include "platform/SystemFiles.h"

#include <cerrno>
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

std::optional<TFileInfo> LookAtDescriptor(int fd, int& error) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = errno;
        return std::nullopt;
    }
    return InfoOf(status);
}

// fstat tells the identity with the rest.
std::optional<TFileInfo> LookAtDescriptorStatus(int fd, int& error) {
    return LookAtDescriptor(fd, error);
}

TFileHandle OpenFileForReading(const TFileName& name, TOpenOptions options, int& error) noexcept {
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (options.FollowLinks ? 0 : O_NOFOLLOW) |
                      (options.Create ? O_CREAT : 0);
    // Within a folder held open only the last component is looked up; a name's last component
    // follows its last '/', as no name in a folder holds one.
    const bool inFolder = name.Folder && name.Folder->IsOpen();
    const std::size_t slash = inFolder ? name.Path.rfind('/') : std::string::npos;
    const char* const opened = slash == std::string::npos ? name.Path.c_str() : name.Path.c_str() + slash + 1;
    // O_NONBLOCK stays: it changes nothing for reads, writes and locks of a regular file, and
    // clearing it would cost a system call per file.
    TFileHandle handle(::openat(inFolder ? name.Folder->Get() : AT_FDCWD, opened, flags, S_IRUSR | S_IWUSR));
    error = handle.IsOpen() ? 0 : errno;
    return handle;
}

TFileHandle OpenForReading(const std::string& path, int& error) noexcept {
    TFileHandle handle(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    error = handle.IsOpen() ? 0 : errno;
    return handle;
}

void AdviseSequentialRead(int fd) noexcept {
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

void AdviseReadSoon(int fd, std::int64_t offset, std::int64_t count) noexcept {
    ::posix_fadvise(fd, static_cast<off_t>(offset), static_cast<off_t>(count), POSIX_FADV_WILLNEED);
}
