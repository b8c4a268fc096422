#include "crypt/FileHandle.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

TFileHandle& TFileHandle::operator=(TFileHandle&& other) noexcept {
    if (this != &other) {
        Reset();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool TFileHandle::Close() noexcept {
    const int fd = m_fd;
    m_fd = -1;
    return fd >= 0 && ::close(fd) == 0;
}

void TFileHandle::Reset() noexcept {
    Close();
}

TRegularFile OpenRegularFile(const std::string& path, TOpenOptions options) {
    TRegularFile file;
    const int looked = options.FollowLinks ? ::stat(path.c_str(), &file.Info) : ::lstat(path.c_str(), &file.Info);
    if (looked != 0) {
        // A file that is still to be created has no status yet; the open below makes it.
        if (!(options.Create && errno == ENOENT)) {
            file.Failure = TOpenFailure::Missing;
            file.Error = errno;
            return file;
        }
    } else if (!S_ISREG(file.Info.st_mode)) {
        file.Failure = TOpenFailure::NotRegular;
        return file;
    }

    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (options.FollowLinks ? 0 : O_NOFOLLOW) |
                      (options.Create ? O_CREAT : 0);
    file.Handle = TFileHandle(::open(path.c_str(), flags, S_IRUSR | S_IWUSR));
    if (!file.Handle.IsOpen() || ::fstat(file.Handle.Get(), &file.Info) != 0) {
        file.Error = errno;
    } else if (S_ISREG(file.Info.st_mode)) {
        // O_NONBLOCK stays: it changes nothing for reads, writes and locks of a regular file,
        // and clearing it would cost a system call per file.
        return file;
    }
    file.Failure = TOpenFailure::OpenFailed;
    file.Handle.Reset();
    return file;
}

std::string OpenFailureReason(const TRegularFile& file) {
    if (file.Error != 0)
        return std::strerror(file.Error);
    return S_ISDIR(file.Info.st_mode) ? std::strerror(EISDIR) : "Not a regular file";
}
