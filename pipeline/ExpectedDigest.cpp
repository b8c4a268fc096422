#include "pipeline/ExpectedDigest.h"

#include "checksums/ChecksumLine.h"
#include "crypt/HashAlgorithm.h"
#include "crypt/Hex.h"
#include "tools/TextUtils.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QStringList>

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

bool IsHex(QStringView text) {
    for (const QChar c : text)
        if (c.unicode() > 0x7f || !IsHexDigit(static_cast<char>(c.unicode())))
            return false;
    return !text.isEmpty();
}

// A BSD tag is written as the table has it ("SHA256", "BLAKE2b"); people type it in any case,
// and OpenSSL 3 writes its own names ("SHA2-256", "BLAKE2B-512"). The word before the first space
// or "(" becomes the tag of the algorithm it names; the name is never touched.
QString UpperTag(const QString& text) {
    const qsizetype start = text.startsWith(u'\\') ? 1 : 0;
    qsizetype end = start;
    while (end < text.size() && text[end] != u' ' && text[end] != u'(')
        ++end;
    const std::optional<THashAlgorithm> algorithm = AlgorithmByTypedName(text.mid(start, end - start).toStdString());
    if (end == start || end == text.size() || !algorithm)
        return text;
    const std::string_view tag = AlgorithmInfo(*algorithm).Tag;
    return text.left(start) + QString::fromLatin1(tag.data(), static_cast<qsizetype>(tag.size())) + text.mid(end);
}

// Hexadecimal digits in groups split by spaces or tabs, as some sites print long digests, when
// text is that: at least two groups, all hexadecimal, the first of at most 16 digits (a longer
// one is a digest and a name). Such text is never a list line, whose first group might pass for
// a short digest (CRC32's 8 digits) and the rest for a name.
std::optional<QStringList> HexGroups(const QString& text) {
    constexpr qsizetype LongestGroup = 16;
    QStringList groups = text.split(QRegularExpression(QStringLiteral("[ \t]+")), Qt::SkipEmptyParts);
    if (groups.size() < 2 || groups.front().size() > LongestGroup ||
        !std::all_of(groups.begin(), groups.end(), [](const QString& group) { return IsHex(group); }))
        return std::nullopt;
    return groups;
}

// The digest that groups of equal length (the last may be shorter) make; empty when they make
// none.
QString JoinedGroups(const QStringList& groups) {
    QString joined;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const bool last = i + 1 == groups.size();
        if (last ? groups[i].size() > groups.front().size() : groups[i].size() != groups.front().size())
            return {};
        joined += groups[i];
    }
    return AlgorithmOfHexLength(static_cast<std::size_t>(joined.size())) ? joined : QString();
}

// The last part of a path: a list line may name the file with its folder.
bool NamesFile(QStringView name, QStringView fileName) {
    return name == fileName || (name.endsWith(fileName) && name.size() > fileName.size() &&
                                name[name.size() - fileName.size() - 1] == u'/');
}

} // namespace

TExpectedDigest ParseExpectedDigest(QStringView text) {
    const QString trimmed = Trim(text);
    if (trimmed.isEmpty())
        return {};
    if (trimmed.contains(u'\n') || trimmed.contains(u'\r'))
        return NotADigest();

    TExpectedDigest result;
    std::optional<THashAlgorithm> algorithm = AlgorithmOfHexLength(static_cast<std::size_t>(trimmed.size()));
    if (algorithm && IsHex(trimmed)) {
        result.Digest = trimmed;
        result.ByLength = true;
    } else if (const std::optional<QStringList> groups = HexGroups(trimmed)) {
        result.ByLength = true;
        result.Digest = JoinedGroups(*groups);
        if (result.Digest.isEmpty())
            return NotADigest();
        algorithm = AlgorithmOfHexLength(static_cast<std::size_t>(result.Digest.size()));
    } else {
        // One line of a list: the list parser reads it as the checkers do.
        const QByteArray line = UpperTag(trimmed).toUtf8();
        TChecksumEntry entry;
        TChecksumListParser parser;
        if (parser.Parse(std::string_view(line.constData(), static_cast<std::size_t>(line.size())), entry) !=
            TChecksumLineKind::Entry)
            return NotADigest();
        result.Digest = QString::fromLatin1(entry.Digest.data(), static_cast<qsizetype>(entry.Digest.size()));
        result.Name = QString::fromUtf8(entry.Name.data(), static_cast<qsizetype>(entry.Name.size()));
        algorithm = entry.Algorithm;
        // A GNU line begins with its digest, a BSD or OpenSSL line with the tag that names it.
        result.ByLength = QStringView(trimmed).mid(trimmed.startsWith(u'\\') ? 1 : 0).startsWith(result.Digest);
    }
    result.Kind = TExpectedDigest::TKind::Digest;
    result.Digest = QString::fromLatin1(LowerHex(result.Digest.toLatin1().toStdString()));
    // A tagged line names its algorithm; a bare digest's length its common one.
    const std::string_view name = HashAlgorithmName(*algorithm);
    result.Algorithm = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    return result;
}

TExpectedDigest ParseExpectedDigest(QStringView text, QStringView fileName) {
    QStringList lines;
    for (const QString& line : text.toString().split(QRegularExpression(QStringLiteral("[\r\n]+"))))
        if (!Trim(line).isEmpty())
            lines.append(line);
    if (lines.size() <= 1)
        return ParseExpectedDigest(text);
    QStringList names;
    for (const QString& line : lines) {
        TExpectedDigest entry = ParseExpectedDigest(line);
        if (!entry.IsDigest() || entry.Name.isEmpty())
            continue;
        if (!fileName.isEmpty() && NamesFile(entry.Name, fileName)) {
            entry.Line = Trim(line);
            return entry;
        }
        names.append(entry.Name);
    }
    TExpectedDigest result = NotADigest();
    constexpr qsizetype NamesShown = 2;
    QString named = names.mid(0, NamesShown).join(QStringLiteral(", "));
    if (names.size() > NamesShown)
        named += QStringLiteral(", ...");
    result.Seen = QString::number(lines.size()) + QStringLiteral(" lines") +
                  (names.isEmpty() ? QStringLiteral(", no list line") : QStringLiteral(" (") + named + u')') +
                  (fileName.isEmpty() ? QStringLiteral(": hash a file to pick its line")
                                      : QStringLiteral(", none for ") + fileName.toString());
    return result;
}

QStringList AlgorithmsOfDigest(const TExpectedDigest& expected) {
    if (!expected.IsDigest())
        return {};
    if (!expected.ByLength)
        return {expected.Algorithm};
    QStringList names;
    for (const THashAlgorithm algorithm : AlgorithmsOfHexLength(static_cast<std::size_t>(expected.Digest.size()))) {
        const std::string_view name = HashAlgorithmName(algorithm);
        names.append(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    return names;
}

qsizetype FirstDifference(QStringView digest, QStringView expected) {
    const std::size_t at = FirstHexDifference(Utf16(digest), Utf16(expected));
    return at == std::u16string_view::npos ? -1 : static_cast<qsizetype>(at);
}

qsizetype LongerDigestLength(qsizetype digits, QStringView preferredAlgorithm) {
    qsizetype next = 0;
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        const auto length = static_cast<qsizetype>(row.HexLength());
        if (length <= digits)
            continue;
        if (preferredAlgorithm == QLatin1StringView(row.Name.data(), static_cast<qsizetype>(row.Name.size())))
            return length;
        if (next == 0 || length < next)
            next = length;
    }
    return next;
}
