#include "pipeline/ExpectedDigest.h"

#include "checksums/ChecksumLine.h"
#include "crypt/Hex.h"
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
    for (const QChar c : text)
        if (c.unicode() > 0x7f || !IsHexDigit(static_cast<char>(c.unicode())))
            return false;
    return !text.isEmpty();
}

// A BSD tag is written as the table has it ("SHA256", "BLAKE2b"); people type it in any case. Only a tag
// that a space or "(" follows is touched, never the name.
QString UpperTag(const QString& text) {
    const qsizetype start = text.startsWith(u'\\') ? 1 : 0;
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        const QString tag = QString::fromLatin1(row.Tag.data(), static_cast<qsizetype>(row.Tag.size()));
        const QStringView next = QStringView(text).mid(start + tag.size(), 1);
        if (SameTextAscii(QStringView(text).mid(start, tag.size()), tag) && (next == u" " || next == u"("))
            return text.left(start) + tag + text.mid(start + tag.size());
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
    std::optional<THashAlgorithm> algorithm = AlgorithmOfHexLength(static_cast<std::size_t>(trimmed.size()));
    if (algorithm && IsHex(trimmed)) {
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
        algorithm = entry.Algorithm;
    }
    result.Kind = TExpectedDigest::TKind::Digest;
    result.Digest = QString::fromLatin1(LowerHex(result.Digest.toLatin1().toStdString()));
    // A tagged line names its algorithm; a bare digest's length its common one.
    const std::string_view name = HashAlgorithmName(*algorithm);
    result.Algorithm = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    return result;
}

qsizetype FirstDifference(QStringView digest, QStringView expected) {
    const qsizetype common = std::min(digest.size(), expected.size());
    for (qsizetype i = 0; i < common; ++i)
        if (Upper(digest.mid(i, 1)) != Upper(expected.mid(i, 1)))
            return i;
    return digest.size() == expected.size() ? -1 : common;
}
