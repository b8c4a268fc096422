#include "pipeline/SidecarDigest.h"

#include "checksums/ChecksumLine.h"
#include "checksums/ChecksumListReader.h"
#include "crypt/Stream.h"
#include "hashing/FileStream.h"
#include "pipeline/ExpectedDigest.h"
#include "platform/Files.h"
#include "text/PlainText.h"
#include "tools/TextUtils.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace {

struct TCandidate {
    QString FileName;
    // Nothing for a list of any algorithm (a list the user gave).
    std::optional<THashAlgorithm> Algorithm;
    bool NamedAfterFile; // NAME.sha256 rather than SHA256SUMS
    // How much of the file is read.
    qint64 ByteLimit = std::numeric_limits<qint64>::max();
};

QString AlgorithmName(THashAlgorithm algorithm) {
    return ToQString(Latin1(HashAlgorithmName(algorithm)));
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

// The SFV lists in folder other than the one named after the file (any name: f.sfv,
// checksums.sfv), by name, at most MaxFolderSfvLists of them.
std::vector<QString> FolderSfvLists(const QDir& folder, const QString& namedAfterFile) {
    const QStringList names = folder.entryList({QStringLiteral("*.") + ToQString(Latin1(SfvExtension))},
                                               QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    std::vector<QString> lists;
    for (const QString& list : names) {
        if (lists.size() == MaxFolderSfvLists)
            break;
        if (list != namedAfterFile)
            lists.push_back(list);
    }
    return lists;
}

std::vector<TCandidate> Candidates(const QDir& folder, const QString& name, const QString& preferred) {
    std::vector<TCandidate> candidates;
    for (const bool preferredPass : {true, false}) {
        for (const TAlgorithmInfo* row : LookupOrder()) {
            if (SameAlgorithmName(row->Name, preferred.toStdString()) != preferredPass)
                continue;
            for (const std::string_view extension : row->Extensions)
                candidates.push_back({name + u'.' + ToQString(Latin1(extension)), row->Id, true, MaxSidecarFileSize});
            for (const std::string_view list : row->Lists)
                candidates.push_back({ToQString(Latin1(list)), row->Id, false});
            // The row whose lists SFV lists are.
            if (std::find(row->Extensions.begin(), row->Extensions.end(), SfvExtension) == row->Extensions.end())
                continue;
            const QString namedAfterFile = name + u'.' + ToQString(Latin1(SfvExtension));
            for (const QString& list : FolderSfvLists(folder, namedAfterFile))
                candidates.push_back({list, row->Id, false, MaxSidecarFileSize});
        }
    }
    return candidates;
}

struct TFound {
    QString Digest;
    THashAlgorithm Algorithm;
};

// The digest of the list's line for name, and its algorithm; in a NAME.<algorithm> file also a
// line holding only a digest.
std::optional<TFound> DigestInList(const QString& listPath, const TCandidate& candidate, const QByteArray& name) {
    TRegularFile file = OpenRegularFile(SystemName(listPath));
    if (!file.IsOpen())
        return std::nullopt;
    // A list the user gave may still say by its name what its bare digests are (b2sums.txt).
    const std::string listName = SystemName(candidate.FileName);
    TChecksumListParser parser(candidate.Algorithm, candidate.Algorithm ? std::nullopt : AlgorithmOfListName(listName));
    try {
        TFileStream stream(std::move(file));
        TChecksumListReader reader(stream, '\n', candidate.ByteLimit);
        std::string_view line;
        for (TChecksumListReader::TLine kind; (kind = reader.Next(line)) != TChecksumListReader::TLine::End;) {
            if (kind == TChecksumListReader::TLine::Overlong)
                continue;
            if (candidate.NamedAfterFile) {
                const TExpectedDigest bare =
                    ParseExpectedDigest(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
                // A length several algorithms share is the one the file's extension names.
                if (bare.IsDigest() && bare.Name.isEmpty() &&
                    std::size_t(bare.Digest.size()) == AlgorithmInfo(*candidate.Algorithm).HexLength())
                    return TFound{bare.Digest, *candidate.Algorithm};
            }
            TChecksumEntry entry;
            if (parser.Parse(line, entry) != TChecksumLineKind::Entry)
                continue;
            const QByteArray entryName(entry.Name.data(), static_cast<qsizetype>(entry.Name.size()));
            if (entryName == name || entryName == "./" + name)
                return TFound{
                    QString::fromLatin1(entry.Digest.data(), static_cast<qsizetype>(entry.Digest.size())).toLower(),
                    entry.Algorithm};
        }
    } catch (const std::exception&) {
        // A list that cannot be read to its end (a read error, no memory) names no digest.
    }
    return std::nullopt;
}

} // namespace

std::optional<TSidecarDigest> FindSidecarDigest(const QString& filePath, const QString& preferredAlgorithm) {
    const QFileInfo file(filePath);
    const QString name = file.fileName();
    if (name.isEmpty())
        return std::nullopt;
    const QByteArray encodedName = QByteArray::fromStdString(SystemName(name));
    for (const TCandidate& candidate : Candidates(file.dir(), name, preferredAlgorithm)) {
        const QString listPath = file.dir().filePath(candidate.FileName);
        if (const std::optional<TFound> found = DigestInList(listPath, candidate, encodedName))
            return TSidecarDigest{found->Digest, AlgorithmName(found->Algorithm), candidate.FileName,
                                  candidate.NamedAfterFile};
    }
    return std::nullopt;
}

std::optional<TSidecarDigest> FindDigestInList(const QString& listPath, const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    if (name.isEmpty())
        return std::nullopt;
    const TCandidate candidate{QFileInfo(listPath).fileName(), std::nullopt, false};
    const std::optional<TFound> found = DigestInList(listPath, candidate, QByteArray::fromStdString(SystemName(name)));
    if (!found)
        return std::nullopt;
    return TSidecarDigest{found->Digest, AlgorithmName(found->Algorithm), candidate.FileName, false};
}
