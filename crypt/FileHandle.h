// Owned file descriptors and the one way the program opens an existing regular file.
//
// Every regular file the program reads (a file to hash, a data set, a module's version record,
// the instance marker) is opened by OpenRegularFile, so they all share one rule: nothing that
// is not a regular file is opened, and no open ever blocks.
#pragma once

#include <string>
#include <sys/stat.h>
#include <utility>

// Owns one open file descriptor and closes it exactly once: on Close, Reset or destruction.
// Move-only; a moved-from handle owns nothing.
class TFileHandle {
public:
    TFileHandle() = default;
    // Takes ownership of fd; a negative fd is no descriptor.
    explicit TFileHandle(int fd) noexcept : m_fd(fd < 0 ? -1 : fd) {}
    ~TFileHandle() { Reset(); }
    TFileHandle(TFileHandle&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    TFileHandle& operator=(TFileHandle&& other) noexcept;
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    // The descriptor, or -1.
    int Get() const noexcept { return m_fd; }
    bool IsOpen() const noexcept { return m_fd >= 0; }

    // Closes now and answers whether the close succeeded (a failing close may mean that written
    // data did not reach the disk); false when nothing was open. The descriptor is given up
    // either way: a close interrupted by a signal is not retried, as Linux has released the
    // descriptor already and it may by then belong to another thread's open.
    bool Close() noexcept;
    // Closes whatever is owned, ignoring the result, and owns nothing afterwards.
    void Reset() noexcept;
    // Gives the descriptor (or -1) to the caller, who closes it; owns nothing afterwards.
    int Release() noexcept { return std::exchange(m_fd, -1); }

private:
    int m_fd = -1;
};

// What became of opening a regular file.
enum class TOpenFailure {
    None,       // opened: the handle is open and Info describes the file
    Missing,    // the name leads to no file (Error holds the reason; a dangling link too)
    NotRegular, // a folder, FIFO, socket, device or, without following links, a link; not opened
    OpenFailed, // the file is there but open or fstat failed (Error holds the reason), or what
                // was opened was no regular file (Error 0, Info describes it)
};

struct TOpenOptions {
    // false: a link at the path itself is refused (O_NOFOLLOW) as NotRegular or OpenFailed.
    bool FollowLinks = true;
    // true: a missing file is created, owner-only (0600); an existing one is kept untruncated.
    bool Create = false;
};

struct TRegularFile {
    TFileHandle Handle;
    // The opened file's status; after NotRegular the status of what the path names.
    struct stat Info {};
    TOpenFailure Failure = TOpenFailure::None;
    // The errno of the failing step; 0 when none failed.
    int Error = 0;

    bool IsOpen() const noexcept { return Failure == TOpenFailure::None; }
};

// Opens path read-only, without blocking and close-on-exec, as a regular file.
//
// The path is looked at first and anything that is not a regular file is refused without being
// opened: opening a FIFO could wait for a writer and opening a device may have effects of its own.
// The open itself (O_NONBLOCK, O_NOCTTY) cannot block either, and the opened file's type is
// checked again, so a name swapped meanwhile is refused too. On success Info holds the
// descriptor's fstat; O_NONBLOCK stays set, which a regular file's reads, writes and locks
// ignore. Never throws.
TRegularFile OpenRegularFile(const std::string& path, TOpenOptions options = {});

// The reason a failed open gives the user: "Is a directory" for a folder, "Not a regular file"
// for another non-regular file, else the system's error text for Error.
std::string OpenFailureReason(const TRegularFile& file);
