// The byte streams over files: a regular file opened by name, and a descriptor read front to
// back (standard input). Their reads and the file's status go through platform/; their failures
// are crypt/Stream.h's exceptions.
#pragma once

#include "crypt/Stream.h"
#include "platform/Files.h"

#include <cstdint>
#include <string>

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
    TFileTime m_openModified;
    TFileTime m_openChanged;
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
