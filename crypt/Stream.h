// Byte streams: the input the digest engines read and the Base64 decoder writes.
//
// Sizes and positions are signed 64-bit. Every failure is an exception derived from
// EStreamError (itself a std::runtime_error) whose what() is the text shown to the user.
#pragma once

#include "crypt/FileHandle.h"

#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Opening a file failed: "Cannot open file "<full path>". <system reason>".
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// The path names no regular file: nothing is there (a dangling link included), or it is a
// folder, FIFO, socket or device. Nothing was opened.
class ENoRegularFile : public EFOpenError {
public:
    using EFOpenError::EFOpenError;
};

// A read failed ("Stream read error: <reason>"), or delivered fewer bytes than the stream's
// size promised.
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// The EReadError messages of data that was changed by someone else while it was read.
inline constexpr char StreamChangedSizeMessage[] = "Stream read error: the file changed size while it was read";
inline constexpr char StreamChangedMessage[] = "Stream read error: the file changed while it was read";
// What a failure that ran out of memory says, in words rather than by the exception's type name.
inline constexpr char OutOfMemoryMessage[] = "Out of memory";

class TStream {
public:
    virtual ~TStream() = default;

    virtual std::int64_t Size() const = 0;
    virtual std::int64_t Position() const = 0;
    // Moves to an absolute offset from the beginning. Offsets past the end are allowed;
    // a negative offset throws EStreamError.
    virtual void Seek(std::int64_t offset) = 0;
    // Reads up to count bytes at the position and advances it by the number read, which
    // is returned; fewer than count only at the end of the data. Throws EReadError. The end of
    // a file is where reading ends, which for pseudo-files is not the size they report.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    // Writes count bytes at the position, growing the stream as needed; throws EWriteError.
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Throws EReadError when the data was changed by someone else since the stream was opened,
    // so that what was read may mix old and new bytes. A reader calls it after reading to the
    // end. Streams whose data only their owner changes never throw.
    virtual void CheckUnchanged() const {}

protected:
    TStream() = default;
    TStream(const TStream&) = default;
    TStream& operator=(const TStream&) = default;
};

// A stream over bytes held in memory.
class TMemoryStream final : public TStream {
public:
    std::int64_t Size() const override;
    std::int64_t Position() const override;
    void Seek(std::int64_t offset) override;
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    void Clear();

private:
    std::vector<std::uint8_t> m_bytes;
    std::int64_t m_position = 0;
};

// A read-only stream over an existing file.
class TFileStream final : public TStream {
public:
    // Opens the file for reading only, without blocking (OpenRegularFile). A link is followed;
    // anything that is not then a regular file (a folder, FIFO, socket or device) is refused
    // without being opened. Throws EFOpenError "Cannot open file "<full path>". <reason>", the
    // full path being the name made absolute with "." and ".." resolved, the reason the
    // system's error text, "Not a regular file" for a FIFO, socket or device; ENoRegularFile
    // when the path names no regular file at all, so that callers may tell it from a file that
    // is there but cannot be opened.
    explicit TFileStream(const std::string& path);
    // Reads a file that OpenRegularFile opened, for callers that tell its failures apart by
    // errno themselves. Throws std::invalid_argument when the file is not open.
    explicit TFileStream(TRegularFile file);
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    // The size the file had at the open, known without another system call; CheckUnchanged
    // tells whether it still has it.
    std::int64_t Size() const override;
    std::int64_t Position() const override;
    void Seek(std::int64_t offset) override;
    // Reads until count bytes or the end of the file. A short read that reaches the size known
    // at the open is taken as the end without asking again: a file grown meanwhile has another
    // size, which CheckUnchanged reports.
    std::int64_t Read(void* buffer, std::int64_t count) override;
    // Always throws EWriteError: the stream is read-only.
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    // Throws StreamChangedSizeMessage when the file's size, StreamChangedMessage when its
    // modification or status-change time differs from what it was at the open: a file
    // written, truncated or grown meanwhile, also by a writer that sets the modification time
    // back (the status-change time cannot be set). A pseudo-file (procfs, sysfs) keeps all
    // three while its content is generated, whatever size it reports.
    void CheckUnchanged() const override;

private:
    void Adopt(TRegularFile file);

    TFileHandle m_file;
    std::int64_t m_position = 0;
    std::int64_t m_openSize = 0;
    struct timespec m_openModified {};
    struct timespec m_openChanged {};
};

// A read-only stream over a descriptor read front to back, such as standard input. The
// descriptor stays the caller's. Its size is unknown (0), so readers read it to its end.
class TDescriptorStream final : public TStream {
public:
    explicit TDescriptorStream(int fd) : m_fd(fd) {}

    std::int64_t Size() const override { return 0; }
    std::int64_t Position() const override { return m_position; }
    // Throws EStreamError for any offset but the position: the data goes by once.
    void Seek(std::int64_t offset) override;
    // Reads until count bytes or the end of the data; throws EReadError.
    std::int64_t Read(void* buffer, std::int64_t count) override;
    // Always throws EWriteError: the stream is read-only.
    std::int64_t Write(const void* buffer, std::int64_t count) override;

private:
    int m_fd;
    std::int64_t m_position = 0;
};
