// Checking a checksum list: every file a list names is hashed and compared with the digest
// the list gives, and each is reported as md5sum/sha1sum/sha256sum --check report it:
//
//   stdout  "NAME: OK", "NAME: FAILED", "NAME: FAILED open or read" (a name holding a line
//           feed is written escaped, after a "\")
//   stderr  "<program>: NAME: <reason>" for a file that could not be read,
//           "<program>: LIST: N: improperly formatted <ALGORITHM> checksum line" (--warn),
//           the WARNING summary lines, and "LIST: no properly formatted checksum lines found"
//           or "LIST: no file was verified" (--ignore-missing)
//
// The list is read line by line by the one list reader (checksums/ChecksumListReader.h) and
// never held whole; a line longer than MaxListLineLength is an improperly formatted line, and a
// read failure is "LIST: read error", never the end of the list. Relative names are found from the
// current folder, as sha256sum finds them; a name that is absent there is found beside the list
// (not for standard input, a pipe or a descriptor's name such as /dev/stdin or /dev/fd/N), and
// then the lines name the path checked; "-" names standard input. A list read by line feeds that holds a NUL byte
// fails, reported once. A file is hashed by DigestNamedFile (hashing/NamedFileDigest.h), opened without blocking: a
// folder, FIFO, socket or device is a file that could not be read, never waited on.
#pragma once

#include "cli/CliOutput.h"
#include "crypt/HashAlgorithm.h"
#include "hashing/HashProgress.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TVerifyOptions {
    // The list's name as given; "-" reads it from standard input.
    std::string ListName;
    // The algorithm every line must use; without it, the BSD tag or the digest's length.
    std::optional<THashAlgorithm> Algorithm;
    bool Quiet = false;         // no "NAME: OK" lines
    bool Status = false;        // nothing on stdout, no summary: the exit status tells
    bool IgnoreMissing = false; // a file that does not exist is neither reported nor counted
    bool Strict = false;        // a malformed line fails the check
    bool Warn = false;          // report every malformed line
    bool Zero = false;          // lines end with NUL (lists made with -z); else a NUL fails the list
    // Told of every listed file read and done, when given.
    TListProgress* Progress = nullptr;
};

// Checks the list; answers true when every listed file was read and matched, at least one line
// was a checksum line, no file was verified with --ignore-missing only when none was missing,
// and with --strict no line was malformed. False also when the list itself cannot be read.
bool VerifyChecksumList(const TVerifyOptions& options, TCliOutput& output);

// What checking the lists will read, for the progress line: the checksum lines of every list
// and the bytes of the regular files they name. False, the totals unknown, when a list is
// standard input or no regular file (it can be read only once), cannot be opened, or stopping
// turned true meanwhile.
bool CountListedFiles(const std::vector<std::string>& listNames, const TVerifyOptions& options, std::int64_t& files,
                      std::int64_t& bytes, const std::atomic<bool>& stopping);
