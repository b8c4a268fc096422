// Finding a file's published digest beside it: NAME.sha256, NAME.sha256sum, NAME.sha1,
// NAME.sha1sum, NAME.md5, NAME.md5sum, SHA256SUMS, SHA1SUMS or MD5SUMS in the file's folder.
// A NAME.<algorithm> file may hold a bare digest or checksum lines; a *SUMS list is searched for
// the line that names the file (as "NAME" or "./NAME"). Only regular files are read, so a FIFO
// never blocks the lookup. GUI-free.
#pragma once

#include <QString>

#include <optional>

struct TSidecarDigest {
    // The digest as the list writes it, in lower case.
    QString Digest;
    // "MD5", "SHA1" or "SHA256".
    QString Algorithm;
    // The list's file name, without its folder (for the verdict: "from SHA256SUMS").
    QString ListName;
};

// The digest for filePath, looked for first in the lists of preferredAlgorithm ("MD5", "SHA1",
// "SHA256"; any other text prefers none), then in the others, in the order above. Nothing when
// no list names the file, or filePath is no file name.
std::optional<TSidecarDigest> FindSidecarDigest(const QString& filePath, const QString& preferredAlgorithm);
