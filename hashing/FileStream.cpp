#include "hashing/FileStream.h"

#include <filesystem>
#include <optional>
#include <utility>

namespace {

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
    return "Stream read error: " + SystemErrorText(error);
}

// Reads into buffer until count bytes are there or a read gives 0, and advances position by
// what was read, also when a read fails (EReadError). positioned: read at position, else from
// the descriptor's own place. A short read that reaches knownEnd (when above 0) is taken for
// the end without another read.
std::int64_t ReadFully(int fd, bool positioned, void* buffer, std::int64_t count, std::int64_t& position,
                       std::int64_t knownEnd) {
    if (count < 0)
        throw EStreamError("Invalid stream operation: negative count");
    auto* out = static_cast<unsigned char*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const auto wanted = static_cast<std::size_t>(count - done);
        int error = 0;
        const std::int64_t n = positioned ? ReadDescriptorAt(fd, out + done, wanted, position + done, error)
                                          : ReadDescriptor(fd, out + done, wanted, error);
        if (n < 0) {
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
    m_openSize = file.Info.Size;
    m_openModified = file.Info.Modified;
    m_openChanged = file.Info.Changed;
    // Files are read front to back in large chunks: a larger read-ahead window, worth its
    // system call only for a file that takes more than one read-ahead. A hint; a failure
    // changes nothing.
    if (m_openSize >= ReadAheadThreshold)
        AdviseSequentialRead(m_file.Get());
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
        AdviseReadSoon(m_file.Get(), m_position, count);
    return done;
}

void TFileStream::CheckUnchanged() const {
    int error = 0;
    const std::optional<TFileInfo> info = LookAtDescriptorStatus(m_file.Get(), error);
    if (!info)
        throw EReadError(ReadErrorMessage(error));
    if (info->Size != m_openSize)
        throw EReadError(StreamChangedSizeMessage);
    if (info->Modified != m_openModified || info->Changed != m_openChanged)
        throw EReadError(StreamChangedMessage);
}

std::int64_t TFileStream::Write(const void*, std::int64_t) {
    throw EWriteError("Stream write error: the file is open for reading only");
}

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
