#include "pipeline/SidecarDigest.h"

#include "checksums/ChecksumLine.h"
#include "crypt/FileHandle.h"
#include "pipeline/ExpectedDigest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <vector>

namespace {

struct TCandidate {
    QString FileName;
    THashAlgorithm Algorithm;
    bool NamedAfterFile; // NAME.sha256 rather than SHA256SUMS
};

QString AlgorithmName(THashAlgorithm algorithm) {
    const std::string_view tag = HashAlgorithmName(algorithm);
    return QString::fromLatin1(tag.data(), static_cast<qsizetype>(tag.size()));
}

std::vector<TCandidate> Candidates(const QString& name, const QString& preferred) {
    struct TKind {
        THashAlgorithm Algorithm;
        const char16_t* Extension;
        const char16_t* List;
    };
    const TKind kinds[] = {{THashAlgorithm::SHA256, u"sha256", u"SHA256SUMS"},
                           {THashAlgorithm::SHA1, u"sha1", u"SHA1SUMS"},
                           {THashAlgorithm::MD5, u"md5", u"MD5SUMS"}};
    std::vector<TCandidate> candidates;
    for (const bool preferredPass : {true, false}) {
        for (const TKind& kind : kinds) {
            if ((AlgorithmName(kind.Algorithm) == preferred) != preferredPass)
                continue;
            const QString extension = QString::fromUtf16(kind.Extension);
            candidates.push_back({name + u'.' + extension, kind.Algorithm, true});
            candidates.push_back({name + u'.' + extension + QStringLiteral("sum"), kind.Algorithm, true});
            candidates.push_back({QString::fromUtf16(kind.List), kind.Algorithm, false});
        }
    }
    return candidates;
}

// The digest of the list's line for name; in a NAME.<algorithm> file also a line holding only
// a digest.
std::optional<QString> DigestInList(const QString& listPath, const TCandidate& candidate, const QByteArray& name) {
    const TRegularFile file = OpenRegularFile(QFile::encodeName(listPath).toStdString());
    QFile list;
    if (!file.IsOpen() || !list.open(file.Handle.Get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return std::nullopt;
    TChecksumListParser parser(candidate.Algorithm);
    while (!list.atEnd()) {
        QByteArray line = list.readLine();
        if (line.endsWith('\n'))
            line.chop(1);
        if (candidate.NamedAfterFile) {
            const TExpectedDigest bare = ParseExpectedDigest(QString::fromLatin1(line));
            if (bare.IsDigest() && bare.Name.isEmpty() && bare.Algorithm == AlgorithmName(candidate.Algorithm))
                return bare.Digest;
        }
        TChecksumEntry entry;
        if (parser.Parse(std::string_view(line.constData(), static_cast<std::size_t>(line.size())), entry) !=
            TChecksumLineKind::Entry)
            continue;
        const QByteArray entryName(entry.Name.data(), static_cast<qsizetype>(entry.Name.size()));
        if (entryName == name || entryName == "./" + name)
            return QString::fromLatin1(entry.Digest.data(), static_cast<qsizetype>(entry.Digest.size())).toLower();
    }
    return std::nullopt;
}

} // namespace

std::optional<TSidecarDigest> FindSidecarDigest(const QString& filePath, const QString& preferredAlgorithm) {
    const QFileInfo file(filePath);
    const QString name = file.fileName();
    if (name.isEmpty())
        return std::nullopt;
    const QByteArray encodedName = QFile::encodeName(name);
    for (const TCandidate& candidate : Candidates(name, preferredAlgorithm)) {
        const QString listPath = file.dir().filePath(candidate.FileName);
        if (const std::optional<QString> digest = DigestInList(listPath, candidate, encodedName))
            return TSidecarDigest{*digest, AlgorithmName(candidate.Algorithm), candidate.FileName};
    }
    return std::nullopt;
}
