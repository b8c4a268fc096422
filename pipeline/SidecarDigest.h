// Finding a file's published digest beside it: NAME.sha256, NAME.sha256sum, NAME.sha1,
// NAME.sha1sum, NAME.md5, NAME.md5sum, SHA256SUMS, SHA1SUMS or MD5SUMS in the file's folder,
// and, as SFV lists are named after what they list rather than after one file, any *.sfv there.
// A NAME.<algorithm> file may hold a bare digest or checksum lines; a *SUMS or *.sfv list is
// searched for the line that names the file (as "NAME" or "./NAME"). Only regular files are read,
// so a FIFO never blocks the lookup. Reading is bounded: a NAME.<algorithm> file and each *.sfv
// list are read up to MaxSidecarFileSize, at most MaxFolderSfvLists *.sfv lists (the first by
// name) are read, a *SUMS list is streamed line by line by the one list reader, and a line
// longer than MaxListLineLength (checksums/ChecksumListReader.h) is skipped, so memory stays
// small whatever the files hold; a list that cannot be read to its end names no digest. The lookup
// reads files: the window runs it on its hashing thread. Standard C++ only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::int64_t MaxSidecarFileSize = 1024 * 1024;
// The extension of SFV lists, whatever their name; at most this many of them are read.
inline constexpr std::string_view SfvExtension = "sfv";
inline constexpr std::size_t MaxFolderSfvLists = 16;

struct TSidecarDigest {
    // The digest as the list writes it, in lower case.
    std::u16string Digest;
    // "MD5", "SHA1" or "SHA256".
    std::u16string Algorithm;
    // The list's file name, without its folder (for the verdict: "from SHA256SUMS").
    std::u16string ListName;
    // The list is named after the file (NAME.sha256) rather than a *SUMS list.
    bool NamedAfterFile = false;
};

// The digest for filePath, looked for first in the lists of preferredAlgorithm ("MD5", "SHA1",
// "SHA256"; any other text prefers none), then in the others, in the order above. Nothing when
// no list names the file, or filePath is no file name.
std::optional<TSidecarDigest> FindSidecarDigest(std::u16string_view filePath, std::u16string_view preferredAlgorithm);

// The digest for the file fileName names in the checksum list at listPath (a list the user
// gave, of any algorithm: a BSD line's tag or the digest's length decides), read as a *SUMS
// list is. Nothing when the list has no line for it or cannot be read.
std::optional<TSidecarDigest> FindDigestInList(std::u16string_view listPath, std::u16string_view fileName);
