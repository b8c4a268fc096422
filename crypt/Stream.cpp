#include "crypt/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::string SystemReason(int error) {
    return std::strerror(error);
}

// Reads at least this large are followed by a read-ahead hint for the next range.
constexpr std::int64_t ReadAheadThreshold = 256 * 1024;

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

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

void CheckCount(std::int64_t count) {
    if (count < 0)
        throw EStreamError("Invalid stream operation: negative count");
}

// Reads into buffer until count bytes are there or a read gives 0, retrying interrupted reads,
// and advances position by what was read, also when a read fails (EReadError). positioned: pread
// at position, else read from the descriptor's own place. A short read that reaches knownEnd
// (when above 0) is taken for the end without another read.
std::int64_t ReadFully(int fd, bool positioned, void* buffer, std::int64_t count, std::int64_t& position,
                       std::int64_t knownEnd) {
    CheckCount(count);
    auto* out = static_cast<unsigned char*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const auto wanted = static_cast<std::size_t>(count - done);
        const ssize_t n =
            positioned ? ::pread(fd, out + done, wanted, position + done) : ::read(fd, out + done, wanted);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            position += done;
            throw EReadError(ReadErrorMessage(error));
        }
        if (n == 0)
            break;
        done += n;
        if (done < count && knownEnd > 0 && position + done >= knownEnd)
            break;
    }
    position += done;
    return done;
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
    TRegularFile file = OpenRegularFile(path);
    switch (file.Failure) {
    case TOpenFailure::None:
        break;
    case TOpenFailure::Missing:
    case TOpenFailure::NotRegular:
        throw ENoRegularFile(OpenErrorMessage(path, OpenFailureReason(file)));
    case TOpenFailure::OpenFailed:
        throw EFOpenError(OpenErrorMessage(path, OpenFailureReason(file)));
    }
    Adopt(std::move(file));
}

TFileStream::TFileStream(TRegularFile file) {
    if (!file.IsOpen())
        throw std::invalid_argument("TFileStream: the file is not open");
    Adopt(std::move(file));
}

void TFileStream::Adopt(TRegularFile file) {
    m_file = std::move(file.Handle);
    m_openSize = static_cast<std::int64_t>(file.Info.st_size);
    m_openModified = file.Info.st_mtim;
    m_openChanged = file.Info.st_ctim;
    // Files are read front to back in large chunks: a larger read-ahead window, worth its
    // system call only for a file that takes more than one read-ahead. A hint; a failure
    // changes nothing.
    if (m_openSize >= ReadAheadThreshold)
        ::posix_fadvise(m_file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
}

std::int64_t TFileStream::Size() const {
    return m_openSize;
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
    // Regular files read short only at their end; a pseudo-file claims no size it reaches that
    // way (procfs 0, sysfs more than it holds), so it is read on until a read gives 0.
    const std::int64_t done = ReadFully(m_file.Get(), true, buffer, count, m_position, m_openSize);
    // After a large read, the next range of the same length is asked for at once, so the disk
    // fetches it while the caller works on this one (a hint only: the kernel reads it into the
    // page cache in the background).
    if (done == count && count >= ReadAheadThreshold && m_position < m_openSize)
        ::posix_fadvise(m_file.Get(), m_position, count, POSIX_FADV_WILLNEED);
    return done;
}

void TFileStream::CheckUnchanged() const {
    struct stat info {};
    if (::fstat(m_file.Get(), &info) != 0)
        throw EReadError(ReadErrorMessage(errno));
    if (static_cast<std::int64_t>(info.st_size) != m_openSize)
        throw EReadError(StreamChangedSizeMessage);
    if (!SameTime(info.st_mtim, m_openModified) || !SameTime(info.st_ctim, m_openChanged))
        throw EReadError(StreamChangedMessage);
}

std::int64_t TFileStream::Write(const void*, std::int64_t) {
    throw EWriteError("Stream write error: the file is open for reading only");
}

// ---- TDescriptorStream ----

void TDescriptorStream::Seek(std::int64_t offset) {
    if (offset != m_position)
        throw EStreamError("Invalid stream position");
}

std::int64_t TDescriptorStream::Read(void* buffer, std::int64_t count) {
    return ReadFully(m_fd, false, buffer, count, m_position, 0);
}

std::int64_t TDescriptorStream::Write(const void*, std::int64_t) {
    throw EWriteError("Stream write error: the stream is open for reading only");
}
