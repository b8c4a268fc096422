#include "pipeline/SidecarDigest.h"

#include "checksums/ChecksumLine.h"
#include "pipeline/ExpectedDigest.h"
#include "platform/Files.h"
#include "tools/TextUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

struct TCandidate {
    QString FileName;
    // Nothing for a list of any algorithm (a list the user gave).
    std::optional<THashAlgorithm> Algorithm;
    bool NamedAfterFile; // NAME.sha256 rather than SHA256SUMS
};

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
            if (SameAlgorithmName(row->Name, preferred.toStdString()) != preferredPass)
                continue;
            for (const std::string_view extension : row->Extensions)
                candidates.push_back({name + u'.' + Latin1(extension), row->Id, true});
            for (const std::string_view list : row->Lists)
                candidates.push_back({Latin1(list), row->Id, false});
        }
    }
    return candidates;
}

// Calls onLine with each line of file, without its line break, until it answers true; a line
// longer than MaxListLineLength is skipped whole. Reads at most limit bytes (a line the limit
// cuts is not seen), so that neither a huge list nor one without line breaks costs more than a
// chunk and a line of memory.
template <class TOnLine> bool ForEachLine(QFile& file, qint64 limit, TOnLine onLine) {
    constexpr qint64 ChunkSize = 64 * 1024;
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    QByteArray line;
    bool overlong = false;
    qint64 total = 0;
    bool atEnd = false;
    while (!atEnd && total < limit) {
        const qint64 got = file.read(chunk.data(), std::min(ChunkSize, limit - total));
        atEnd = got <= 0;
        if (atEnd)
            break;
        total += got;
        qint64 start = 0;
        while (start < got) {
            const char* from = chunk.constData() + start;
            const auto* end = static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(got - start)));
            const qint64 length = end != nullptr ? end - from : got - start;
            if (!overlong && line.size() + length <= MaxListLineLength)
                line.append(from, length);
            else
                overlong = true;
            start += length;
            if (end == nullptr)
                break;
            ++start;
            if (!overlong && onLine(line))
                return true;
            line.clear();
            overlong = false;
        }
    }
    // A last line without a break counts only when the file ended there, not the limit.
    return atEnd && !overlong && !line.isEmpty() && onLine(line);
}

struct TFound {
    QString Digest;
    THashAlgorithm Algorithm;
};

// The digest of the list's line for name, and its algorithm; in a NAME.<algorithm> file also a
// line holding only a digest.
std::optional<TFound> DigestInList(const QString& listPath, const TCandidate& candidate, const QByteArray& name) {
    const TRegularFile file = OpenRegularFile(QFile::encodeName(listPath).toStdString());
    QFile list;
    if (!file.IsOpen() || !list.open(file.Handle.Get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return std::nullopt;
    // A list the user gave may still say by its name what its bare digests are (b2sums.txt).
    const std::string listName = QFile::encodeName(candidate.FileName).toStdString();
    TChecksumListParser parser(candidate.Algorithm, candidate.Algorithm ? std::nullopt : AlgorithmOfListName(listName));
    std::optional<TFound> found;
    const qint64 limit = candidate.NamedAfterFile ? MaxSidecarFileSize : std::numeric_limits<qint64>::max();
    ForEachLine(list, limit, [&](QByteArray& line) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (candidate.NamedAfterFile) {
            const TExpectedDigest bare = ParseExpectedDigest(QString::fromLatin1(line));
            // A length several algorithms share is the one the file's extension names.
            if (bare.IsDigest() && bare.Name.isEmpty() &&
                std::size_t(bare.Digest.size()) == AlgorithmInfo(*candidate.Algorithm).HexLength()) {
                found = {bare.Digest, *candidate.Algorithm};
                return true;
            }
        }
        TChecksumEntry entry;
        if (parser.Parse(std::string_view(line.constData(), static_cast<std::size_t>(line.size())), entry) !=
            TChecksumLineKind::Entry)
            return false;
        const QByteArray entryName(entry.Name.data(), static_cast<qsizetype>(entry.Name.size()));
        if (entryName != name && entryName != "./" + name)
            return false;
        found = {QString::fromLatin1(entry.Digest.data(), static_cast<qsizetype>(entry.Digest.size())).toLower(),
                 entry.Algorithm};
        return true;
    });
    return found;
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
    const std::optional<TFound> found = DigestInList(listPath, candidate, QFile::encodeName(name));
    if (!found)
        return std::nullopt;
    return TSidecarDigest{found->Digest, AlgorithmName(found->Algorithm), candidate.FileName, false};
}
