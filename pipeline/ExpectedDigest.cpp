#include "pipeline/ExpectedDigest.h"

#include "checksums/ChecksumLine.h"
#include "tools/TextUtils.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <utility>

#include <string>

namespace {

TExpectedDigest NotADigest() {
    TExpectedDigest result;
    result.Kind = TExpectedDigest::TKind::NotADigest;
    return result;
}

bool IsHex(QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return false;
    }
    return !text.isEmpty();
}

QString LowerHex(const QString& digest) {
    QString lower = digest;
    for (QChar& c : lower)
        if (c >= u'A' && c <= u'F')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return lower;
}

// A BSD tag is written in upper case by every tool; people type it in any case. OpenSSL 3
// writes the SHA-2 family as "SHA2-256". Only a tag that a space or "(" follows is touched,
// never the name.
QString UpperTag(const QString& text) {
    const qsizetype start = text.startsWith(u'\\') ? 1 : 0;
    const std::pair<QStringView, QStringView> tags[] = {
        {u"SHA2-256", u"SHA256"}, {u"SHA256", u"SHA256"}, {u"SHA1", u"SHA1"}, {u"MD5", u"MD5"}};
    for (const auto& [written, tag] : tags) {
        const QStringView next = QStringView(text).mid(start + written.size(), 1);
        if (SameTextAscii(QStringView(text).mid(start, written.size()), written) && (next == u" " || next == u"("))
            return text.left(start) + tag.toString() + text.mid(start + written.size());
    }
    return text;
}

// A digest written in groups of equal length (the last may be shorter) split by spaces or
// tabs, as some sites print long digests; empty when text is not one. Groups longer than 16
// digits are no grouping but a digest and a name.
QString JoinedGroups(const QString& text) {
    const QStringList groups = text.split(QRegularExpression(QStringLiteral("[ \t]+")), Qt::SkipEmptyParts);
    if (groups.size() < 2 || groups.front().size() > 16)
        return {};
    QString joined;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const bool last = i + 1 == groups.size();
        if (!IsHex(groups[i]) ||
            (last ? groups[i].size() > groups.front().size() : groups[i].size() != groups.front().size()))
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
    const QString joined = JoinedGroups(trimmed);
    if (AlgorithmOfHexLength(static_cast<std::size_t>(trimmed.size())) && IsHex(trimmed)) {
        result.Digest = trimmed;
    } else if (!joined.isEmpty()) {
        result.Digest = joined;
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
    }
    result.Kind = TExpectedDigest::TKind::Digest;
    result.Digest = LowerHex(result.Digest);
    const std::string_view tag =
        HashAlgorithmName(*AlgorithmOfHexLength(static_cast<std::size_t>(result.Digest.size())));
    result.Algorithm = QString::fromLatin1(tag.data(), static_cast<qsizetype>(tag.size()));
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

qsizetype FirstDifference(QStringView digest, QStringView expected) {
    const qsizetype common = std::min(digest.size(), expected.size());
    for (qsizetype i = 0; i < common; ++i)
        if (Upper(digest.mid(i, 1)) != Upper(expected.mid(i, 1)))
            return i;
    return digest.size() == expected.size() ? -1 : common;
}

qsizetype LongerDigestLength(qsizetype digits, QStringView preferredAlgorithm) {
    // Digest lengths in hexadecimal digits stay well below this.
    constexpr qsizetype LongestDigest = 1024;
    qsizetype next = 0;
    for (qsizetype length = digits + 1; length <= LongestDigest; ++length) {
        const std::optional<THashAlgorithm> algorithm = AlgorithmOfHexLength(static_cast<std::size_t>(length));
        if (!algorithm)
            continue;
        if (next == 0)
            next = length;
        const std::string_view tag = HashAlgorithmName(*algorithm);
        if (preferredAlgorithm == QLatin1StringView(tag.data(), static_cast<qsizetype>(tag.size())))
            return length;
    }
    return next;
}
