// Checksum lines as the coreutils digest tools write and read them, byte for byte.
//
// GNU line: DIGEST, two spaces, NAME. BSD line (--tag): TAG " (" NAME ") = " DIGEST, where TAG
// is "MD5", "SHA1" or "SHA256". When a line ends in a line feed and NAME holds a backslash, a
// line feed or a carriage return, the line starts with one backslash and those three bytes
// are written as "\\", "\n" and "\r"; every other byte of NAME is written as it is. A line
// ended by NUL (-z) carries NAME unescaped. Names are bytes, as the file system gives them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Gnu "DIGEST  NAME", GnuBinary "DIGEST *NAME" (as -b writes it), Bsd "TAG (NAME) = DIGEST",
// Sfv "NAME DIGEST" (one space), as SFV lists hold CRC32 values; escaped names as in GNU lines.
enum class TChecksumStyle { Gnu, GnuBinary, Bsd, Sfv };

// True when NAME holds a byte that a line-feed-terminated line must escape.
bool ChecksumNameNeedsEscape(std::string_view name);

// NAME with "\", line feed and carriage return written as "\\", "\n" and "\r".
std::string EscapeChecksumName(std::string_view name);

// The reverse of EscapeChecksumName; nothing for a backslash followed by anything other than
// "\", "n" or "r", or for a backslash at the end.
std::optional<std::string> UnescapeChecksumName(std::string_view escaped);

// One whole line, terminator included. terminator is '\n' or '\0'; tag is used by Bsd only.
std::string FormatChecksumLine(TChecksumStyle style, std::string_view tag, std::string_view digest,
                               std::string_view name, char terminator);
