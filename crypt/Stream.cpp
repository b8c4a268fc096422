#include "Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SystemReason(int error) { return std::strerror(error); }

void CheckCount(std::int64_t count) {
    if (count < 0)
        throw EStreamError("Invalid stream operation: negative count");
}

} // namespace

// ---- TMemoryStream ----

std::int64_t TMemoryStream::Size() const { return static_cast<std::int64_t>(m_bytes.size()); }

std::int64_t TMemoryStream::Position() const { return m_position; }

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
    // O_NONBLOCK keeps a FIFO or device from stalling the open; such files are refused below.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int error = errno;
    if (m_fd >= 0) {
        struct stat info {};
        if (::fstat(m_fd, &info) != 0) {
            error = errno;
        } else if (!S_ISREG(info.st_mode)) {
            error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        } else {
            return;
        }
        ::close(m_fd);
        m_fd = -1;
    }
    char* full = ::realpath(path.c_str(), nullptr);
    const std::string shown = full ? full : path;
    std::free(full);
    throw EFOpenError("Cannot open file \"" + shown + "\". " + SystemReason(error));
}

TFileStream::~TFileStream() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::int64_t TFileStream::Size() const {
    struct stat info {};
    if (::fstat(m_fd, &info) != 0)
        throw EReadError(SystemReason(errno));
    return static_cast<std::int64_t>(info.st_size);
}

std::int64_t TFileStream::Position() const { return m_position; }

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
            m_position += done;
            throw EReadError(SystemReason(errno));
        }
        if (n == 0)
            break;
        done += n;
    }
    m_position += done;
    return done;
}

std::int64_t TFileStream::Write(const void*, std::int64_t) {
    throw EWriteError("Stream write error: the file is open for reading only");
}
