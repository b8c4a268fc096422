#include "crypt/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SystemReason(int error) {
    return std::strerror(error);
}

// Reads at least this large are followed by a read-ahead hint for the next range.
constexpr std::int64_t ReadAheadThreshold = 256 * 1024;

constexpr const char* NotRegularReason = "Not a regular file";

// The name made absolute against the current folder, with "." and ".." resolved by the text
// alone (links are not followed), so the user sees the file that was asked for.
std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

std::string OpenErrorMessage(const std::string& path, const std::string& reason) {
    return "Cannot open file \"" + FullPath(path) + "\". " + reason;
}

std::string ReadErrorMessage(int error) {
    return "Stream read error: " + SystemReason(error);
}

void CheckCount(std::int64_t count) {
    if (count < 0)
        throw EStreamError("Invalid stream operation: negative count");
}

} // namespace

// ---- TMemoryStream ----

std::int64_t TMemoryStream::Size() const {
    return static_cast<std::int64_t>(m_bytes.size());
}

std::int64_t TMemoryStream::Position() const {
    return m_position;
}

void TMemoryStream::Seek(std::int64_t offset) {
    if (offset < 0)
        throw EStreamError("Invalid stream position");
    m_position = offset;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    CheckCount(count);
    const std::int64_t available = std::max<std::int64_t>(0, Size() - m_position);
    const std::int64_t n = std::min(count, available);
    if (n > 0)
        std::memcpy(buffer, m_bytes.data() + m_position, static_cast<std::size_t>(n));
    m_position += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    CheckCount(count);
    if (count == 0)
        return 0;
    if (count > std::numeric_limits<std::int64_t>::max() - m_position)
        throw EWriteError("Stream write error: the stream would grow past its largest size");
    const auto end = static_cast<std::size_t>(m_position + count);
    if (end > m_bytes.size())
        m_bytes.resize(end);
    std::memcpy(m_bytes.data() + m_position, buffer, static_cast<std::size_t>(count));
    m_position += count;
    return count;
}

void TMemoryStream::Clear() {
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_position = 0;
}

// ---- TFileStream ----

TFileStream::TFileStream(const std::string& path) {
    // A folder, FIFO, socket or device is refused before it is opened: opening a FIFO could
    // block and opening a device may have effects of its own.
    struct stat info {};
    int error = 0;
    if (::stat(path.c_str(), &info) != 0) {
        error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        throw EFOpenError(OpenErrorMessage(path, S_ISDIR(info.st_mode) ? SystemReason(EISDIR) : NotRegularReason));
    } else {
        // O_NONBLOCK guards the open against the name being replaced by a FIFO meanwhile;
        // the type is checked again on the opened file.
        m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        error = errno;
    }
    if (m_fd < 0)
        throw EFOpenError(OpenErrorMessage(path, SystemReason(error)));
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const std::string reason = S_ISREG(info.st_mode) ? SystemReason(errno) : std::string(NotRegularReason);
        ::close(m_fd);
        m_fd = -1;
        throw EFOpenError(OpenErrorMessage(path, reason));
    }
    m_openSize = static_cast<std::int64_t>(info.st_size);
    m_openModified = info.st_mtim;
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
    // Files are read front to back in large chunks: a larger read-ahead window. Only a hint;
    // a failure changes nothing.
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

TFileStream::~TFileStream() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::int64_t TFileStream::Size() const {
    struct stat info {};
    if (::fstat(m_fd, &info) != 0)
        throw EReadError(ReadErrorMessage(errno));
    return static_cast<std::int64_t>(info.st_size);
}

std::int64_t TFileStream::Position() const {
    return m_position;
}

void TFileStream::Seek(std::int64_t offset) {
    if (offset < 0)
        throw EStreamError("Invalid stream position");
    m_position = offset;
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    CheckCount(count);
    auto* out = static_cast<unsigned char*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(m_fd, out + done, static_cast<std::size_t>(count - done), m_position + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            m_position += done;
            throw EReadError(ReadErrorMessage(error));
        }
        if (n == 0)
            break;
        done += n;
    }
    m_position += done;
    // After a large read, the next range of the same length is asked for at once, so the disk
    // fetches it while the caller works on this one (a hint only: the kernel reads it into the
    // page cache in the background).
    if (done == count && count >= ReadAheadThreshold)
        ::posix_fadvise(m_fd, m_position, count, POSIX_FADV_WILLNEED);
    return done;
}

void TFileStream::CheckUnchanged() const {
    struct stat info {};
    if (::fstat(m_fd, &info) != 0)
        throw EReadError(ReadErrorMessage(errno));
    if (static_cast<std::int64_t>(info.st_size) != m_openSize)
        throw EReadError(StreamChangedSizeMessage);
    if (info.st_mtim.tv_sec != m_openModified.tv_sec || info.st_mtim.tv_nsec != m_openModified.tv_nsec)
        throw EReadError(StreamChangedMessage);
}

std::int64_t TFileStream::Write(const void*, std::int64_t) {
    throw EWriteError("Stream write error: the file is open for reading only");
}
