#include "pipeline/ExpectedDigest.h"

#include "checksums/ChecksumLine.h"
#include "tools/TextUtils.h"

#include <QByteArray>

#include <algorithm>

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

// A BSD tag is written in upper case by every tool; people type it in any case. Only a tag
// that a space or "(" follows is touched, never the name.
QString UpperTag(const QString& text) {
    const qsizetype start = text.startsWith(u'\\') ? 1 : 0;
    for (const QStringView tag : {QStringView(u"SHA256"), QStringView(u"SHA1"), QStringView(u"MD5")}) {
        const QStringView next = QStringView(text).mid(start + tag.size(), 1);
        if (SameTextAscii(QStringView(text).mid(start, tag.size()), tag) && (next == u" " || next == u"("))
            return text.left(start) + tag.toString() + text.mid(start + tag.size());
    }
    return text;
}

} // namespace

TExpectedDigest ParseExpectedDigest(QStringView text) {
    const QString trimmed = Trim(text);
    if (trimmed.isEmpty())
        return {};
    if (trimmed.contains(u'\n') || trimmed.contains(u'\r'))
        return NotADigest();

    TExpectedDigest result;
    if (AlgorithmOfHexLength(static_cast<std::size_t>(trimmed.size())) && IsHex(trimmed)) {
        result.Digest = trimmed;
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

qsizetype FirstDifference(QStringView digest, QStringView expected) {
    const qsizetype common = std::min(digest.size(), expected.size());
    for (qsizetype i = 0; i < common; ++i)
        if (Upper(digest.mid(i, 1)) != Upper(expected.mid(i, 1)))
            return i;
    return digest.size() == expected.size() ? -1 : common;
}
