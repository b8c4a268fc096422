// Byte streams: the input the digest engines read and the Base64 decoder writes. The streams
// over files are hashing/FileStream.h's.
//
// Sizes and positions are signed 64-bit. Every failure is an exception derived from
// EStreamError (itself a std::runtime_error) whose what() is the text shown to the user.
#pragma once

#include <cstdint>
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
