// What people paste as the digest they expect: a bare digest in any case, a digest split in
// groups by spaces ("ba7816bf 8f01cfea ..."), or a whole line of a checksum list, "DIGEST  NAME",
// "DIGEST *NAME", "SHA256 (NAME) = DIGEST" or OpenSSL's "SHA256(NAME)= DIGEST" and
// "SHA2-256(NAME)= DIGEST", with whitespace and line breaks around it; or several lines of a
// list, of which the one naming a given file counts. The algorithm follows from a BSD line's tag or from the digest's
// length (32 MD5, 40 SHA1, 64 SHA256 hexadecimal digits); a digest that no tag names may be of any algorithm of its
// length (AlgorithmsOfDigest). Standard C++: the window's field and quviro-cli --check read it alike.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TExpectedDigest {
    enum class TKind {
        Empty,      // nothing but whitespace
        Digest,     // a digest was found
        NotADigest, // something else
    };
    TKind Kind = TKind::Empty;
    // The digest in lower case; empty unless Kind is Digest.
    std::u16string Digest;
    // "MD5", "SHA1" or "SHA256", the names the pipeline uses; empty unless Kind is Digest.
    std::u16string Algorithm;
    // No tag named the algorithm: Algorithm is the common meaning of the digest's length, and the
    // digest may as well be of another algorithm of that length (a bare digest, digits in groups,
    // a GNU line).
    bool ByLength = false;
    // The file name of a checksum line; empty for a bare digest.
    std::u16string Name;
    // For several lines: the line that was taken, or, when none was, what was seen, e.g.
    // "3 list lines (a.iso, b.iso, ...), none for f.bin". Empty otherwise.
    std::u16string Line;
    std::u16string Seen;

    bool IsDigest() const { return Kind == TKind::Digest; }
};

// Reads one expected digest. A BSD tag is matched ignoring case; a tag whose algorithm's
// length differs from the digest's is NotADigest, as is a text with anything but one digest
// (and a name after it) in it.
TExpectedDigest ParseExpectedDigest(std::u16string_view text);

// The same, and text of several lines (blank ones aside) is a piece of a checksum list: the
// line naming fileName (as "NAME", "./NAME" or ".../NAME") is read; when none does, or
// fileName is empty, the result is NotADigest with Seen saying what the lines named.
TExpectedDigest ParseExpectedDigest(std::u16string_view text, std::u16string_view fileName);

// The algorithms expected's digest may be of, as table names in table order: every algorithm of
// its length when ByLength, else its Algorithm alone; empty unless expected is a digest.
std::vector<std::u16string> AlgorithmsOfDigest(const TExpectedDigest& expected);

// The 0-based position of the first hexadecimal digit in which digest and expected differ,
// ignoring case, or -1 when they are equal. Digests of different lengths differ at the end
// of the shorter one.
std::ptrdiff_t FirstDifference(std::u16string_view digest, std::u16string_view expected);

// While a digest is typed digit by digit: the length of a digest of preferredAlgorithm when
// digits is fewer, else the next known digest length above digits; 0 when no known digest is
// longer.
std::ptrdiff_t LongerDigestLength(std::ptrdiff_t digits, std::u16string_view preferredAlgorithm);
