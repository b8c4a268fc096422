#include "pipeline/SidecarDigest.h"

#include "checksums/ChecksumLine.h"
#include "checksums/ChecksumListReader.h"
#include "crypt/Hex.h"
#include "crypt/Stream.h"
#include "hashing/FileStream.h"
#include "pipeline/ExpectedDigest.h"
#include "platform/Files.h"
#include "platform/FolderListing.h"
#include "platform/ShellFolders.h"
#include "text/PlainText.h"
#include "text/TextEncoding.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace {

struct TCandidate {
    std::u16string FileName;
    // Nothing for a list of any algorithm (a list the user gave).
    std::optional<THashAlgorithm> Algorithm;
    bool NamedAfterFile; // NAME.sha256 rather than SHA256SUMS
    // How much of the file is read.
    std::int64_t ByteLimit = std::numeric_limits<std::int64_t>::max();
};

std::u16string AlgorithmName(THashAlgorithm algorithm) {
    return Latin1(HashAlgorithmName(algorithm));
}

bool IsPathDelimiter(char16_t c) {
    return c == u'/' || c == static_cast<char16_t>(SystemPathDelimiter());
}

// Where the last part of path, its file name, begins.
std::size_t FileNameStart(std::u16string_view path) {
    std::size_t start = path.size();
    while (start > 0 && !IsPathDelimiter(path[start - 1]))
        --start;
    return start;
}

std::u16string FileNameOf(std::u16string_view path) {
    return std::u16string(path.substr(FileNameStart(path)));
}

// The folder of path with its delimiter ("dir/"), empty for a bare name (the working folder).
std::u16string FolderOf(std::u16string_view path) {
    return std::u16string(path.substr(0, FileNameStart(path)));
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

// name ends in "." and the SFV extension, in any case.
bool IsSfvListName(std::u16string_view name) {
    const std::u16string suffix = u'.' + Latin1(SfvExtension);
    return name.size() >= suffix.size() && SameTextAscii(name.substr(name.size() - suffix.size()), suffix);
}

// The regular files (links to one too) in folder, hidden ones included, whose name is an SFV
// list's, by name ignoring case.
std::vector<std::u16string> SfvListsIn(std::u16string_view folder) {
    const std::string systemFolder = SystemName(folder.empty() ? std::u16string_view(u".") : folder);
    std::vector<TFolderEntry> entries;
    int error = 0;
    if (!ListFolder(systemFolder, entries, error))
        return {};
    std::vector<std::u16string> lists;
    for (const TFolderEntry& entry : entries) {
        std::u16string name = NameFromSystem(entry.Name);
        if (!IsSfvListName(name))
            continue;
        const bool regular = entry.Kind == TFileKind::Regular;
        if (!regular) {
            const std::optional<TFileInfo> info = LookAtPath(systemFolder + '/' + entry.Name);
            if (!info || info->Kind != TFileKind::Regular)
                continue;
        }
        lists.push_back(std::move(name));
    }
    std::sort(lists.begin(), lists.end(), [](const std::u16string& a, const std::u16string& b) {
        const std::u16string upperA = Upper(a);
        const std::u16string upperB = Upper(b);
        return upperA != upperB ? upperA < upperB : a < b;
    });
    return lists;
}

// The SFV lists in folder other than the one named after the file (any name: f.sfv,
// checksums.sfv), by name, at most MaxFolderSfvLists of them.
std::vector<std::u16string> FolderSfvLists(std::u16string_view folder, std::u16string_view namedAfterFile) {
    std::vector<std::u16string> lists;
    for (std::u16string& list : SfvListsIn(folder)) {
        if (lists.size() == MaxFolderSfvLists)
            break;
        if (list != namedAfterFile)
            lists.push_back(std::move(list));
    }
    return lists;
}

std::vector<TCandidate> Candidates(std::u16string_view folder, const std::u16string& name,
                                   std::u16string_view preferred) {
    std::vector<TCandidate> candidates;
    const std::string preferredName = EncodeUtf8(preferred);
    for (const bool preferredPass : {true, false}) {
        for (const TAlgorithmInfo* row : LookupOrder()) {
            if (SameAlgorithmName(row->Name, preferredName) != preferredPass)
                continue;
            for (const std::string_view extension : row->Extensions)
                candidates.push_back({name + u'.' + Latin1(extension), row->Id, true, MaxSidecarFileSize});
            for (const std::string_view list : row->Lists)
                candidates.push_back({Latin1(list), row->Id, false});
            // The row whose lists SFV lists are.
            if (std::find(row->Extensions.begin(), row->Extensions.end(), SfvExtension) == row->Extensions.end())
                continue;
            const std::u16string namedAfterFile = name + u'.' + Latin1(SfvExtension);
            for (std::u16string& list : FolderSfvLists(folder, namedAfterFile))
                candidates.push_back({std::move(list), row->Id, false, MaxSidecarFileSize});
        }
    }
    return candidates;
}

struct TFound {
    std::u16string Digest;
    THashAlgorithm Algorithm;
};

// The digest of the list's line for name (UTF-8, as the list has it), and its algorithm; in a
// NAME.<algorithm> file also a line holding only a digest.
std::optional<TFound> DigestInList(std::u16string_view listPath, const TCandidate& candidate, const std::string& name) {
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
                const TExpectedDigest bare = ParseExpectedDigest(Latin1(line));
                // A length several algorithms share is the one the file's extension names.
                if (bare.IsDigest() && bare.Name.empty() &&
                    bare.Digest.size() == AlgorithmInfo(*candidate.Algorithm).HexLength())
                    return TFound{bare.Digest, *candidate.Algorithm};
            }
            TChecksumEntry entry;
            if (parser.Parse(line, entry) != TChecksumLineKind::Entry)
                continue;
            if (entry.Name == name || entry.Name == "./" + name)
                return TFound{Latin1(LowerHex(entry.Digest)), entry.Algorithm};
        }
    } catch (const std::exception&) {
        // A list that cannot be read to its end (a read error, no memory) names no digest.
    }
    return std::nullopt;
}

} // namespace

std::optional<TSidecarDigest> FindSidecarDigest(std::u16string_view filePath, std::u16string_view preferredAlgorithm) {
    const std::u16string name = FileNameOf(filePath);
    if (name.empty())
        return std::nullopt;
    const std::u16string folder = FolderOf(filePath);
    const std::string encodedName = SystemName(name);
    for (const TCandidate& candidate : Candidates(folder, name, preferredAlgorithm)) {
        if (const std::optional<TFound> found = DigestInList(folder + candidate.FileName, candidate, encodedName))
            return TSidecarDigest{found->Digest, AlgorithmName(found->Algorithm), candidate.FileName,
                                  candidate.NamedAfterFile};
    }
    return std::nullopt;
}

std::optional<TSidecarDigest> FindDigestInList(std::u16string_view listPath, std::u16string_view fileName) {
    const std::u16string name = FileNameOf(fileName);
    if (name.empty())
        return std::nullopt;
    const TCandidate candidate{FileNameOf(listPath), std::nullopt, false};
    const std::optional<TFound> found = DigestInList(listPath, candidate, SystemName(name));
    if (!found)
        return std::nullopt;
    return TSidecarDigest{found->Digest, AlgorithmName(found->Algorithm), candidate.FileName, false};
}
