#include "pipeline/ExpectedDigest.h"

#include "checksums/ChecksumLine.h"
#include "crypt/HashAlgorithm.h"
#include "crypt/Hex.h"
#include "text/PlainText.h"
#include "text/TextEncoding.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace {

TExpectedDigest NotADigest() {
    TExpectedDigest result;
    result.Kind = TExpectedDigest::TKind::NotADigest;
    return result;
}

bool IsHex(std::u16string_view text) {
    for (const char16_t c : text)
        if (c > 0x7f || !IsHexDigit(static_cast<char>(c)))
            return false;
    return !text.empty();
}

// The non-empty runs of text between the separators.
std::vector<std::u16string_view> SplitAtAny(std::u16string_view text, std::u16string_view separators) {
    std::vector<std::u16string_view> parts;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of(separators, start), text.size());
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// A BSD tag is written as the table has it ("SHA256", "BLAKE2b"); people type it in any case,
// and OpenSSL 3 writes its own names ("SHA2-256", "BLAKE2B-512"). The word before the first space
// or "(" becomes the tag of the algorithm it names; the name is never touched.
std::u16string UpperTag(std::u16string_view text) {
    const std::size_t start = text.starts_with(u'\\') ? 1 : 0;
    const std::size_t end = std::min(text.find_first_of(u" (", start), text.size());
    const std::optional<THashAlgorithm> algorithm = AlgorithmByTypedName(EncodeUtf8(text.substr(start, end - start)));
    if (end == start || end == text.size() || !algorithm)
        return std::u16string(text);
    return std::u16string(text.substr(0, start)) + Latin1(AlgorithmInfo(*algorithm).Tag) +
           std::u16string(text.substr(end));
}

// Hexadecimal digits in groups split by spaces or tabs, as some sites print long digests, when
// text is that: at least two groups, all hexadecimal, the first of at most 16 digits (a longer
// one is a digest and a name). Such text is never a list line, whose first group might pass for
// a short digest (CRC32's 8 digits) and the rest for a name.
std::optional<std::vector<std::u16string_view>> HexGroups(std::u16string_view text) {
    constexpr std::size_t LongestGroup = 16;
    std::vector<std::u16string_view> groups = SplitAtAny(text, u" \t");
    if (groups.size() < 2 || groups.front().size() > LongestGroup || !std::all_of(groups.begin(), groups.end(), IsHex))
        return std::nullopt;
    return groups;
}

// The digest that groups of equal length (the last may be shorter) make; empty when they make
// none.
std::u16string JoinedGroups(const std::vector<std::u16string_view>& groups) {
    std::u16string joined;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const bool last = i + 1 == groups.size();
        if (last ? groups[i].size() > groups.front().size() : groups[i].size() != groups.front().size())
            return {};
        joined += groups[i];
    }
    return AlgorithmOfHexLength(joined.size()) ? joined : std::u16string();
}

// The last part of a path: a list line may name the file with its folder.
bool NamesFile(std::u16string_view name, std::u16string_view fileName) {
    return name == fileName || (name.ends_with(fileName) && name.size() > fileName.size() &&
                                name[name.size() - fileName.size() - 1] == u'/');
}

std::u16string Number(std::size_t value) {
    return Latin1(std::to_string(value));
}

} // namespace

TExpectedDigest ParseExpectedDigest(std::u16string_view text) {
    const std::u16string trimmed = Trim(text);
    if (trimmed.empty())
        return {};
    if (trimmed.find_first_of(u"\r\n") != std::u16string::npos)
        return NotADigest();

    TExpectedDigest result;
    std::optional<THashAlgorithm> algorithm = AlgorithmOfHexLength(trimmed.size());
    if (algorithm && IsHex(trimmed)) {
        result.Digest = trimmed;
        result.ByLength = true;
    } else if (const std::optional<std::vector<std::u16string_view>> groups = HexGroups(trimmed)) {
        result.ByLength = true;
        result.Digest = JoinedGroups(*groups);
        if (result.Digest.empty())
            return NotADigest();
        algorithm = AlgorithmOfHexLength(result.Digest.size());
    } else {
        // One line of a list: the list parser reads it as the checkers do.
        const std::string line = EncodeUtf8(UpperTag(trimmed), u'?');
        TChecksumEntry entry;
        TChecksumListParser parser;
        if (parser.Parse(line, entry) != TChecksumLineKind::Entry)
            return NotADigest();
        result.Digest = Latin1(entry.Digest);
        result.Name = DecodeUtf8(entry.Name);
        algorithm = entry.Algorithm;
        // A GNU line begins with its digest, a BSD or OpenSSL line with the tag that names it.
        result.ByLength =
            std::u16string_view(trimmed).substr(trimmed.starts_with(u'\\') ? 1 : 0).starts_with(result.Digest);
    }
    result.Kind = TExpectedDigest::TKind::Digest;
    result.Digest = Latin1(LowerHex(EncodeUtf8(result.Digest)));
    // A tagged line names its algorithm; a bare digest's length its common one.
    result.Algorithm = Latin1(HashAlgorithmName(*algorithm));
    return result;
}

TExpectedDigest ParseExpectedDigest(std::u16string_view text, std::u16string_view fileName) {
    std::vector<std::u16string_view> lines;
    for (const std::u16string_view line : SplitAtAny(text, u"\r\n"))
        if (!Trim(line).empty())
            lines.push_back(line);
    if (lines.size() <= 1)
        return ParseExpectedDigest(text);
    std::vector<std::u16string> names;
    for (const std::u16string_view line : lines) {
        TExpectedDigest entry = ParseExpectedDigest(line);
        if (!entry.IsDigest() || entry.Name.empty())
            continue;
        if (!fileName.empty() && NamesFile(entry.Name, fileName)) {
            entry.Line = Trim(line);
            return entry;
        }
        names.push_back(entry.Name);
    }
    TExpectedDigest result = NotADigest();
    constexpr std::size_t NamesShown = 2;
    std::u16string named;
    for (std::size_t i = 0; i < std::min(names.size(), NamesShown); ++i)
        named += (i == 0 ? u"" : u", ") + names[i];
    if (names.size() > NamesShown)
        named += u", ...";
    result.Seen = Number(lines.size()) + u" lines" + (names.empty() ? u", no list line" : u" (" + named + u')') +
                  (fileName.empty() ? u": hash a file to pick its line" : u", none for " + std::u16string(fileName));
    return result;
}

std::vector<std::u16string> AlgorithmsOfDigest(const TExpectedDigest& expected) {
    if (!expected.IsDigest())
        return {};
    if (!expected.ByLength)
        return {expected.Algorithm};
    std::vector<std::u16string> names;
    for (const THashAlgorithm algorithm : AlgorithmsOfHexLength(expected.Digest.size()))
        names.push_back(Latin1(HashAlgorithmName(algorithm)));
    return names;
}

std::ptrdiff_t FirstDifference(std::u16string_view digest, std::u16string_view expected) {
    const std::size_t at = FirstHexDifference(digest, expected);
    return at == std::u16string_view::npos ? -1 : static_cast<std::ptrdiff_t>(at);
}

std::ptrdiff_t LongerDigestLength(std::ptrdiff_t digits, std::u16string_view preferredAlgorithm) {
    std::ptrdiff_t next = 0;
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        const auto length = static_cast<std::ptrdiff_t>(row.HexLength());
        if (length <= digits)
            continue;
        if (preferredAlgorithm == Latin1(row.Name))
            return length;
        if (next == 0 || length < next)
            next = length;
    }
    return next;
}
