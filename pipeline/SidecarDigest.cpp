#include "pipeline/SidecarDigest.h"

#include "checksums/ChecksumLine.h"
#include "crypt/FileHandle.h"
#include "pipeline/ExpectedDigest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TCandidate {
    QString FileName;
    THashAlgorithm Algorithm;
    bool NamedAfterFile; // NAME.sha256 rather than SHA256SUMS
};

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString AlgorithmName(THashAlgorithm algorithm) {
    return Latin1(HashAlgorithmName(algorithm));
}

// The rows in the order their lists are looked for: longer digests first, then table order,
// so SHA256 lists before SHA1 and MD5 ones.
std::vector<const TAlgorithmInfo*> LookupOrder() {
    std::vector<const TAlgorithmInfo*> rows;
    for (const TAlgorithmInfo& row : AlgorithmTable())
        rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TAlgorithmInfo* a, const TAlgorithmInfo* b) { return a->DigestSize > b->DigestSize; });
    return rows;
}

std::vector<TCandidate> Candidates(const QString& name, const QString& preferred) {
    std::vector<TCandidate> candidates;
    for (const bool preferredPass : {true, false}) {
        for (const TAlgorithmInfo* row : LookupOrder()) {
            if ((AlgorithmName(row->Id) == preferred) != preferredPass)
                continue;
            for (const std::string_view extension : row->Extensions)
                candidates.push_back({name + u'.' + Latin1(extension), row->Id, true});
            for (const std::string_view list : row->Lists)
                candidates.push_back({Latin1(list), row->Id, false});
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
            // A length several algorithms share is the one the file's extension names.
            if (bare.IsDigest() && bare.Name.isEmpty() &&
                std::size_t(bare.Digest.size()) == AlgorithmInfo(candidate.Algorithm).HexLength())
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
