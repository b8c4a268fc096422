// Checksum list lines and expected digests: whatever the bytes, an accepted line has a digest
// of its algorithm's length in hexadecimal digits and a name without NUL; the line the file
// lists write for any name reads back as that name and digest, in both forms.
#include "checksums/ChecksumFormat.h"
#include "checksums/ChecksumLine.h"
#include "fuzz/FuzzInput.h"
#include "pipeline/ExpectedDigest.h"
#include "text/PlainText.h"
#include "tools/TextUtils.h"

#include <string>

namespace {

bool AllHex(std::string_view text) {
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

// The line the file lists write for name, without its line feed.
std::string WriteLine(std::string_view digest, std::string_view name, std::string_view tag) {
    std::string line =
        FormatChecksumLine(tag.empty() ? TChecksumStyle::Gnu : TChecksumStyle::Bsd, tag, digest, name, '\n');
    line.pop_back();
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFuzzInput input(data, size);
    const int choice = int(input.Range(0, 3));
    const std::optional<THashAlgorithm> fixed =
        choice == 3 ? std::nullopt : std::optional<THashAlgorithm>(THashAlgorithm(choice));

    const QString text = input.Text();
    const TExpectedDigest expected = ParseExpectedDigest(Utf16(text));
    const QString expectedDigest = ToQString(expected.Digest);
    if (expected.IsDigest() &&
        (!AlgorithmOfHexLength(std::size_t(expectedDigest.size())) || expectedDigest != expectedDigest.toLower()))
        FuzzFailure("an expected digest is not a lower-case digest of a known length", text);

    // Arbitrary lines through one parser, as a list is read.
    const std::string_view rest = input.Rest();
    TChecksumListParser parser(fixed);
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t end = std::min(rest.find('\n', start), rest.size());
        TChecksumEntry entry;
        if (parser.Parse(rest.substr(start, end - start), entry) == TChecksumLineKind::Entry) {
            if (entry.Digest.size() != AlgorithmInfo(entry.Algorithm).HexLength() || !AllHex(entry.Digest))
                FuzzFailure("an accepted line's digest does not fit its algorithm", ToQString(Latin1(rest)));
            if (fixed && entry.Algorithm != *fixed)
                FuzzFailure("a line of another algorithm was accepted", ToQString(Latin1(rest)));
            if (entry.Name.find('\0') != std::string::npos)
                FuzzFailure("an accepted name holds NUL", ToQString(Latin1(rest)));
        }
        start = end + 1;
    }

    // Writing and reading back: the rest of the input as a name (up to a NUL, never empty).
    const std::string name(rest.substr(0, rest.find('\0')));
    if (name.empty())
        return 0;
    const THashAlgorithm algorithm = fixed.value_or(DefaultAlgorithm);
    const std::string digest(AlgorithmInfo(algorithm).HexLength(), 'a');
    for (const std::string_view tag : {std::string_view(), HashAlgorithmName(algorithm)}) {
        TChecksumEntry entry;
        const std::string line = WriteLine(digest, name, tag);
        if (TChecksumListParser(fixed).Parse(line, entry) != TChecksumLineKind::Entry || entry.Name != name ||
            entry.Digest != digest || entry.Algorithm != algorithm)
            FuzzFailure("a written line does not read back", ToQString(Latin1(line)));
    }
    return 0;
}
