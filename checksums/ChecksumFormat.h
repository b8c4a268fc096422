// Checksum lines as the digest tools write them, byte for byte.
//
// GNU line: DIGEST, two spaces, NAME. BSD line (--tag): TAG " (" NAME ") = " DIGEST, with the
// row's tag. As coreutils writes them: when a line ends in a line feed and NAME holds a
// backslash, a line feed or a carriage return, the line starts with one backslash and those
// three bytes are written as "\\", "\n" and "\r"; every other byte of NAME is written as it is.
// A line ended by NUL (-z) carries NAME unescaped. Names are bytes, as the file system gives them.
//
// The peer tools of some rows write names their own way, and their checkers read only that:
// xxhsum writes every name as it is (a line feed ends its line), b3sum escapes only "\" and line
// feed, and SFV lines have no escapes at all (their readers take "\" for a folder separator and
// trim blanks around the name). FormatRowLine writes each row's lines as its tool does.
#pragma once

#include "crypt/HashAlgorithm.h"

#include <optional>
#include <string>
#include <string_view>

// Gnu "DIGEST  NAME", GnuBinary "DIGEST *NAME" (as -b writes it), Bsd "TAG (NAME) = DIGEST",
// Sfv "NAME DIGEST" (one space), as SFV lists hold CRC32 values.
enum class TChecksumStyle { Gnu, GnuBinary, Bsd, Sfv };

// True when NAME holds a byte that a line-feed-terminated line must escape.
bool ChecksumNameNeedsEscape(std::string_view name);

// NAME with "\", line feed and carriage return written as "\\", "\n" and "\r".
std::string EscapeChecksumName(std::string_view name);

// The reverse of EscapeChecksumName; nothing for a backslash followed by anything other than
// "\", "n" or "r", or for a backslash at the end.
std::optional<std::string> UnescapeChecksumName(std::string_view escaped);

// One whole line as coreutils writes it, terminator included; an Sfv line carries NAME as it is.
// terminator is '\n' or '\0'; tag is used by Bsd only.
std::string FormatChecksumLine(TChecksumStyle style, std::string_view tag, std::string_view digest,
                               std::string_view name, char terminator);

// Empty when row's line of NAME in style can be written so that the row's peer tool reads NAME
// back; else why not ("Not listed: SFV lines cannot hold a name with a backslash ..."): a line
// feed in an xxhsum or SFV line ended by a line feed; in SFV lines a backslash, a leading ";",
// a space or tab at either end, or a final carriage return ended by a line feed.
std::string_view UnwritableName(const TAlgorithmInfo& row, TChecksumStyle style, std::string_view name,
                                char terminator);

// row's line of NAME with digest, written as the row's peer tool writes it (see above): in BSD
// form instead of a GNU one for a TaggedOnly row, names in the tool's own way. NAME must be
// writable (UnwritableName is empty).
std::string FormatRowLine(const TAlgorithmInfo& row, TChecksumStyle style, std::string_view digest,
                          std::string_view name, char terminator);
