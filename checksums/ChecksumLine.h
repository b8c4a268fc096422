// Lines of checksum lists as sha256sum, md5sum, b2sum, xxhsum and their kin write and check them:
//
//   GNU form   DIGEST  NAME     (two spaces: text mode) or   DIGEST *NAME   (binary mode)
//   BSD form   SHA256 (NAME) = DIGEST      with the tag of any row of the algorithm table
//   SFV form   NAME CRC32                  in a CRC32 list (-a crc32, a list named *.sfv): the
//                                          digest after the last blank; ";" starts a comment;
//                                          no escapes: "\" separates folders, as on Windows
//
// A GNU or BSD line starting with "\" holds an escaped name (checksums/ChecksumFormat.h): "\\" is a backslash,
// "\n" a line feed and "\r" a carriage return; any other escape, or a NUL, makes the line
// malformed. Lines are bytes; names
// are byte strings as the file system takes them. Standard C++ only, so both fronts, the
// sidecar lookup and the fuzzers share it.
#pragma once

#include "crypt/HashAlgorithm.h"

#include <optional>
#include <string>
#include <string_view>

struct TChecksumEntry {
    THashAlgorithm Algorithm = DefaultAlgorithm;
    // The hexadecimal digest as written, in either case.
    std::string Digest;
    // The name, unescaped.
    std::string Name;
    // A GNU line whose algorithm only the digest's length told: no -a, tag or list name did.
    bool ByLength = false;
};

enum class TChecksumLineKind {
    Entry,     // a checksum line; the entry is filled
    Ignored,   // a comment ("#" as the first byte) or a blank line
    Malformed, // anything else
};

// Reads the lines of one list in order. The checkers keep one piece of state across lines:
// once a list used the reversed form "DIGEST NAME" (one space), later lines are read that way
// too, and a list that began with GNU lines never accepts it; so one parser serves one list.
class TChecksumListParser {
public:
    // algorithm: the one every line must use (as sha256sum only knows SHA256 lines);
    // without it, a BSD line's tag or the GNU digest's length decides, line by line: a length
    // several algorithms share means the first of them in the table (SHA256 for 64 digits).
    // bareAlgorithm: without algorithm, what a GNU line's digest of bareAlgorithm's length means
    // (the list's own name, SHA3-256SUMS, says so) instead of that length's common meaning.
    explicit TChecksumListParser(std::optional<THashAlgorithm> algorithm = std::nullopt,
                                 std::optional<THashAlgorithm> bareAlgorithm = std::nullopt);

    // line: one line without its line feed, possibly holding NUL bytes; a final carriage
    // return is removed. listIsStandardInput: the name "-" (standard input) is then malformed,
    // since the list itself is read from there.
    TChecksumLineKind Parse(std::string_view line, TChecksumEntry& entry, bool listIsStandardInput = false);

    // From the next line on, a bare digest of algorithm's length means algorithm, as when the
    // list's name said so: the checker found that the list's digests are of it.
    void ReadBareDigestsAs(THashAlgorithm algorithm) { m_bareAlgorithm = algorithm; }

private:
    bool SplitLine(std::string_view line, TChecksumEntry& entry);
    bool SplitGnu(std::string_view line, std::size_t i, bool escaped, TChecksumEntry& entry);
    bool SplitSfv(std::string_view line, TChecksumEntry& entry);
    bool ReadsSfv() const;

    std::optional<THashAlgorithm> m_algorithm;
    std::optional<THashAlgorithm> m_bareAlgorithm;
    // -1 not known yet, 0 GNU lines seen, 1 reversed lines seen.
    int m_reversed = -1;
};

// True when a name must be written escaped in a --check report line ("NAME: OK"): the checkers
// escape there only a name holding a line feed, unlike in the checksum lines they write.
bool ReportNameNeedsEscape(std::string_view name);
