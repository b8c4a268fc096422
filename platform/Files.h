// Files by name: what a path names, and the one way the program opens an existing regular file.
//
// Every regular file the program reads (a file to hash, a data set, a module's version record,
// the instance marker) is opened by OpenRegularFile, so they all share one rule: nothing that
// is not a regular file is opened, and no open ever blocks.
#pragma once

#include "platform/Descriptors.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

enum class TFileKind {
    Regular,
    Folder,
    Link,  // only when links are not followed
    Other, // a FIFO, socket or device
};

// A time stamp of a file, to the nanosecond where the file system keeps it.
struct TFileTime {
    std::int64_t Seconds = 0;
    std::int64_t Nanoseconds = 0;
    friend bool operator==(const TFileTime&, const TFileTime&) = default;
};

// A file by its device and inode number.
struct TFileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    friend bool operator==(const TFileIdentity&, const TFileIdentity&) = default;
};

// What the system tells of a file.
struct TFileInfo {
    TFileKind Kind = TFileKind::Other;
    std::int64_t Size = 0;
    TFileTime Modified;
    // The status-change time: it moves with every change of the file and cannot be set back.
    TFileTime Changed;
    TFileIdentity Identity;
};

// What path names, links followed unless followLinks is false; nothing when it cannot be looked
// at (missing, no permission to search a folder on the way), error then holding the reason.
std::optional<TFileInfo> LookAtPath(const std::string& path, bool followLinks, int& error);
std::optional<TFileInfo> LookAtPath(const std::string& path, bool followLinks = true);
// What the open descriptor fd refers to; nothing, error set, when the system cannot say.
std::optional<TFileInfo> LookAtDescriptor(int fd, int& error);
// The kind, size and times of the open descriptor fd, for a reader's change check: as
// LookAtDescriptor, but Identity only where the system tells it with the rest (POSIX); on Windows
// it is left empty, as it costs a query of the volume there.
std::optional<TFileInfo> LookAtDescriptorStatus(int fd, int& error);

// A folder held open so that its entries open without their whole path being looked up again;
// shared by the names found in it, as they are opened later and on other threads.
using TFolderHold = std::shared_ptr<const TFileHandle>;

// A file's name for OpenRegularFile, with what the caller already knows of it.
struct TFileName {
    TFileName(std::string path) : Path(std::move(path)) {}
    TFileName(const char* path) : Path(path) {}

    // The name as the user and the messages see it.
    std::string Path;
    // The folder of Path's last component when the caller holds it open (HoldFolder), which the
    // component is then opened relative to; none, or a system without such opens: Path is opened.
    TFolderHold Folder;
    // The caller's folder listing (or its own look) says a regular file: opened without a look
    // first. The opened file's type is checked all the same.
    bool KnownRegular = false;
};

// What became of opening a regular file.
enum class TOpenFailure {
    None,       // opened: the handle is open and Info describes the file
    Missing,    // the name leads to no file (Error holds the reason; a dangling link too)
    NotRegular, // a folder, FIFO, socket, device or, without following links, a link; not opened
    OpenFailed, // the file is there but open or its status failed (Error holds the reason), or
                // what was opened was no regular file (Error 0, Info describes it)
};

struct TOpenOptions {
    // false: a link at the path itself is refused (O_NOFOLLOW) as NotRegular or OpenFailed.
    bool FollowLinks = true;
    // true: a missing file is created, owner-only (0600); an existing one is kept untruncated.
    bool Create = false;
};

struct TRegularFile {
    TFileHandle Handle;
    // The opened file's status (Identity as LookAtDescriptorStatus gives it); after NotRegular the
    // status of what the path names.
    TFileInfo Info;
    TOpenFailure Failure = TOpenFailure::None;
    // The system's error number of the failing step; 0 when none failed.
    int Error = 0;

    bool IsOpen() const noexcept { return Failure == TOpenFailure::None; }
};

// Opens path read-only, without blocking and close-on-exec, as a regular file.
//
// The path is looked at first and anything that is not a regular file is refused without being
// opened: opening a FIFO could wait for a writer and opening a device may have effects of its own.
// A name the caller's listing already knows as a regular file (KnownRegular) is opened without
// that look. The open itself (O_NONBLOCK, O_NOCTTY) cannot block either, and the opened file's
// type is checked again, so a name swapped meanwhile is refused too (as OpenFailed with Error 0).
// On success Info holds the descriptor's status; O_NONBLOCK stays set, which a regular file's
// reads, writes and locks ignore. Never throws.
TRegularFile OpenRegularFile(const TFileName& name, TOpenOptions options = {});

// Opens path read-only whatever it names, close-on-exec: a pipe's name too, whose open waits for
// its writer. For a file the user named to be read as a stream (a checksum list); an input to
// hash is opened by OpenRegularFile. A handle that is not open on failure, error its reason.
TFileHandle OpenForReading(const std::string& path, int& error) noexcept;

// The reason a failed open gives the user: "Is a directory" for a folder, "Not a regular file"
// for another non-regular file, else the system's error text for Error.
std::string OpenFailureReason(const TRegularFile& file);

// The system's text for an error number ("No such file or directory").
std::string SystemErrorText(int error);

// Hints for a file read front to back: a larger read-ahead window from now on, and the range
// from offset for count bytes fetched in the background now. A failure changes nothing.
void AdviseSequentialRead(int fd) noexcept;
void AdviseReadSoon(int fd, std::int64_t offset, std::int64_t count) noexcept;
