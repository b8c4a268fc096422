#include "checksums/ChecksumLine.h"

#include "checksums/ChecksumFormat.h"

#include "crypt/Hex.h"

namespace {

bool IsWhite(char c) {
    return c == ' ' || c == '\t';
}

// The byte at i, or NUL past the end: the checkers read lines as C strings with a NUL put
// after the line, and an inner NUL ends a name or digest just the same.
char At(std::string_view s, std::size_t i) {
    return i < s.size() ? s[i] : '\0';
}

// An escaped name, or nothing when it holds a NUL or an escape the checkers refuse.
std::optional<std::string> UnescapeName(std::string_view raw) {
    if (raw.find('\0') != std::string_view::npos)
        return std::nullopt;
    return UnescapeChecksumName(raw);
}

// The C string that starts at i: up to the first NUL or the end.
std::string_view CString(std::string_view s, std::size_t i) {
    if (i >= s.size())
        return {};
    const std::string_view rest = s.substr(i);
    return rest.substr(0, rest.find('\0'));
}

// Exactly length hexadecimal digits and nothing after them.
bool IsHexDigest(std::string_view digest, std::size_t length) {
    if (digest.size() != length)
        return false;
    for (const char c : digest)
        if (!IsHexDigit(c))
            return false;
    return true;
}

} // namespace

TChecksumListParser::TChecksumListParser(std::optional<THashAlgorithm> algorithm,
                                         std::optional<THashAlgorithm> bareAlgorithm)
    : m_algorithm(algorithm), m_bareAlgorithm(bareAlgorithm) {}

TChecksumLineKind TChecksumListParser::Parse(std::string_view line, TChecksumEntry& entry, bool listIsStandardInput) {
    if (!line.empty() && line.front() == '#')
        return TChecksumLineKind::Ignored;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.empty() || (ReadsSfv() && line.front() == ';'))
        return TChecksumLineKind::Ignored;
    entry.ByLength = false;
    if (!SplitLine(line, entry) && !(ReadsSfv() && SplitSfv(line, entry)))
        return TChecksumLineKind::Malformed;
    if (listIsStandardInput && entry.Name == "-")
        return TChecksumLineKind::Malformed;
    return TChecksumLineKind::Entry;
}

bool TChecksumListParser::SplitLine(std::string_view s, TChecksumEntry& entry) {
    std::size_t i = 0;
    while (IsWhite(At(s, i)))
        ++i;
    bool escaped = false;
    if (At(s, i) == '\\') {
        ++i;
        escaped = true;
    }

    // A BSD line: the tag, at most one space, then "(NAME) = DIGEST". The name runs to the
    // last ")" of the line, so names holding ")" work. A tag may begin another ("SHA512" and
    // "SHA512t256"): the one followed by "(" is the line's.
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        if (m_algorithm && *m_algorithm != row.Id)
            continue;
        const std::string_view tag = row.Tag;
        if (CString(s, i).substr(0, tag.size()) != tag)
            continue;
        std::size_t j = i + tag.size();
        if (At(s, j) == ' ')
            ++j;
        if (At(s, j) != '(')
            continue;
        const std::string_view rest = s.substr(j + 1);
        const std::size_t close = rest.rfind(')');
        if (close == std::string_view::npos)
            return false;
        const std::string_view rawName = rest.substr(0, close);
        if (escaped) {
            std::optional<std::string> name = UnescapeName(rawName);
            if (!name)
                return false;
            entry.Name = std::move(*name);
        } else {
            entry.Name = std::string(CString(rawName, 0));
        }
        std::size_t k = close + 1;
        while (IsWhite(At(rest, k)))
            ++k;
        if (At(rest, k) != '=')
            return false;
        ++k;
        while (IsWhite(At(rest, k)))
            ++k;
        const std::string_view digest = CString(rest, k);
        if (!IsHexDigest(digest, row.HexLength()))
            return false;
        entry.Algorithm = row.Id;
        entry.Digest = std::string(digest);
        return true;
    }
    return SplitGnu(s, i, escaped, entry);
}

bool TChecksumListParser::SplitGnu(std::string_view s, std::size_t i, bool escaped, TChecksumEntry& entry) {
    std::optional<THashAlgorithm> algorithm = m_algorithm;
    if (!algorithm) {
        std::size_t run = 0;
        while (IsHexDigit(At(s, i + run)))
            ++run;
        if (m_bareAlgorithm && AlgorithmInfo(*m_bareAlgorithm).HexLength() == run)
            algorithm = m_bareAlgorithm;
        else
            algorithm = AlgorithmOfHexLength(run);
        if (!algorithm)
            return false;
    }
    const std::size_t length = AlgorithmInfo(*algorithm).HexLength();
    // A digest, one blank and at least one more byte.
    if (s.size() < i || s.size() - i < length + 2 + (At(s, i) == '\\' ? 1 : 0))
        return false;
    const std::string_view digest = s.substr(i, length);
    i += length;
    if (!IsWhite(At(s, i)))
        return false;
    ++i;

    // "DIGEST NAME" with one blank is the reversed form of BSD tools. Mixing it with GNU lines
    // is refused, so that a renamed file with a leading space or "*" cannot pass for another.
    if (s.size() - i == 1 || (At(s, i) != ' ' && At(s, i) != '*')) {
        if (m_reversed == 0)
            return false;
        m_reversed = 1;
    } else if (m_reversed != 1) {
        m_reversed = 0;
        ++i; // the mode byte: ' ' text, '*' binary; the same bytes are read either way
    }
    if (!IsHexDigest(digest, length))
        return false;

    if (escaped) {
        std::optional<std::string> name = UnescapeName(s.substr(i));
        if (!name)
            return false;
        entry.Name = std::move(*name);
    } else {
        entry.Name = std::string(CString(s, i));
    }
    entry.Algorithm = *algorithm;
    entry.ByLength = !m_algorithm && algorithm != m_bareAlgorithm;
    entry.Digest = std::string(digest);
    return true;
}

bool TChecksumListParser::ReadsSfv() const {
    return m_algorithm ? *m_algorithm == THashAlgorithm::CRC32 : m_bareAlgorithm == THashAlgorithm::CRC32;
}

// NAME, blanks, 8 hexadecimal digits, read as rhash -c reads SFV lists, which have no escapes:
// blanks around the name are dropped, and so is one leading "\"; every other "\" is a folder
// separator, as in lists made on Windows ("CD1\part.r00" is CD1/part.r00).
bool TChecksumListParser::SplitSfv(std::string_view s, TChecksumEntry& entry) {
    std::size_t end = s.size();
    const std::size_t length = AlgorithmInfo(THashAlgorithm::CRC32).HexLength();
    std::size_t digestStart = end;
    while (digestStart > 0 && !IsWhite(s[digestStart - 1]))
        --digestStart;
    if (!IsHexDigest(s.substr(digestStart), length))
        return false;
    end = digestStart;
    while (end > 0 && IsWhite(s[end - 1]))
        --end;
    if (end == digestStart)
        return false;
    std::size_t begin = 0;
    while (begin < end && IsWhite(s[begin]))
        ++begin;
    if (begin < end && s[begin] == '\\')
        ++begin;
    const std::string_view raw = s.substr(begin, end - begin);
    if (raw.empty() || raw.find('\0') != std::string_view::npos)
        return false;
    entry.Name = std::string(raw);
    for (char& c : entry.Name)
        if (c == '\\')
            c = '/';
    entry.Algorithm = THashAlgorithm::CRC32;
    entry.Digest = std::string(s.substr(digestStart));
    return true;
}

bool ReportNameNeedsEscape(std::string_view name) {
    return name.find('\n') != std::string_view::npos;
}
