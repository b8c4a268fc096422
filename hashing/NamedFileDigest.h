// One named file's digests: the file opened without blocking (OpenRegularFile), or any stream
// but a folder for the names a user gives quviro-cli, read to its end by the one reader
// (TStreamDigester), and every failure worded the one way, as coreutils words it. quviro-cli hashes every file it names
// through it: -H, -r and several files, -C's listed files and standard input as a file. The window's file input goes
// through it too, with the stream opened by the window's opener and the failure worded by the pipeline from its kind
// and Message.
#pragma once

#include "crypt/HashAlgorithm.h"
#include "hashing/HashObserver.h"
#include "hashing/ReadGate.h"
#include "hashing/StreamDigest.h"
#include "platform/Files.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TStream;

enum class TNamedFileFailure {
    None,          // Digests holds the digests
    NoRegularFile, // an opener threw ENoRegularFile: nothing regular is at the name, nothing was opened
    Open,          // nothing was read: the name leads to no file, or to one that is not regular or did not open
    Read,          // a read failed, or the file changed while it was read
    OutOfMemory,   // memory ran out on the way
};

struct TNamedFileDigest {
    // Lower-case hexadecimal, one per algorithm in the order asked, when hashing succeeded.
    std::vector<std::string> Digests;
    TNamedFileFailure Failure = TNamedFileFailure::None;
    // The errno of a failed open: ENOENT, EACCES, ELOOP..., and EISDIR for a folder, also one
    // refused without being opened; 0 for other failures.
    int Error = 0;
    // Why it failed, without the name: "No such file or directory", "Permission denied", "Is a
    // directory", "Not a regular file" (a FIFO, socket or device, never opened, so never waited
    // on), "Input/output error", "the file changed size while it was read", "Out of memory".
    std::string Reason;
    // The failure's own text: the exception's what(), "Out of memory" when memory ran out, empty
    // when an opener answered no stream. For callers that word failures their own way.
    std::string Message;

    bool Succeeded() const { return Failure == TNamedFileFailure::None; }
};

// What a name may lead to for DigestNamedFile to read it.
enum class TNamedFileKinds {
    // A regular file only, opened without blocking: a FIFO, socket or device is "Not a regular
    // file", never opened. For names the program found itself (listed, walked) and the window.
    RegularOnly,
    // Anything readable but a folder: a FIFO ("<(...)", /dev/stdin on a pipe), a device
    // (/dev/null) is read as a stream to its end, its open waiting for a writer as a shell's
    // reader does. For names the user gave on quviro-cli's command line.
    AnyButFolder,
};

// The digests of the file name names (bytes as the file system takes them; the folder it lies in
// and its kind when the walk knows them, TFileName of platform/Files.h); "-" is standard input, read to its end from
// where it stands. Reading is told to observer when one is given. A regular file is read through gate when one is given
// (ReadGate.h), and checked for changes while it is read whatever kinds allows. Every failure of the file comes back in
// the result; only EHashCancelled, when observer asks to stop, passes on as an exception.
TNamedFileDigest DigestNamedFile(const TFileName& name, const std::vector<THashAlgorithm>& algorithms,
                                 TStreamDigester& digester, THashObserver* observer = nullptr,
                                 TNamedFileKinds kinds = TNamedFileKinds::RegularOnly, TReadGate* gate = nullptr);

// The small-file read of the file lists, which hash many small files together
// (SmallFileBatch.h), opened and worded as DigestNamedFile: a regular file of 1 to room.size()
// bytes is read whole into the start of room, its length stored in read, checked afterwards as the
// reader checks it (a file changed meanwhile is a Read failure), and comes back succeeded with no
// Digests. Anything else (a larger or empty file, a pseudo-file that claims no size, "-") is
// digested by digester as DigestNamedFile does, and read is 0, as after a failure.
TNamedFileDigest ReadOrDigestNamedFile(const TFileName& name, std::span<std::uint8_t> room, std::size_t& read,
                                       const std::vector<THashAlgorithm>& algorithms, TStreamDigester& digester,
                                       THashObserver* observer = nullptr, TReadGate* gate = nullptr);

// Opens the named file as a stream; throws ENoRegularFile when the name leads to no regular file,
// another exception (EFOpenError) when it cannot be opened, or answers no stream.
using TNamedFileOpener = std::function<std::unique_ptr<TStream>(const std::string& name)>;

// The same with the stream open answers for name: whatever open throws, memory running out
// too, is an Open failure (NoRegularFile for ENoRegularFile), or Open with an empty Message when
// it answers no stream; Error and Reason stay empty and 0 for an opener's failure. The stream is
// read from its start. No algorithm opens the file and reads nothing.
TNamedFileDigest DigestNamedFile(const std::string& name, const TNamedFileOpener& open,
                                 const std::vector<THashAlgorithm>& algorithms, TStreamDigester& digester,
                                 THashObserver* observer = nullptr);
