#include "cli/ChecksumVerify.h"

#include "checksums/ChecksumFormat.h"
#include "checksums/ChecksumLine.h"
#include "checksums/ChecksumListReader.h"
#include "cli/DigestLengthNotes.h"
#include "crypt/Hex.h"
#include "crypt/Stream.h"
#include "hashing/FileStream.h"
#include "hashing/NamedFileDigest.h"
#include "platform/Descriptors.h"
#include "platform/Files.h"
#include "platform/PathNames.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

// Warnings held back until the list's algorithm is known; beyond these they go out at once.
constexpr std::size_t MaxHeldWarnings = 4096;

// The tag of a BSD-form line ("TAG (NAME) = DIGEST") whose tag names no algorithm computed
// here, such as SHA1024.
std::optional<std::string> UnsupportedTag(std::string_view line) {
    const std::size_t open = line.find(" (");
    if (open == 0 || open == std::string_view::npos || line.find(") = ", open) == std::string_view::npos)
        return std::nullopt;
    const std::string_view tag = line.substr(0, open);
    const bool word = std::all_of(tag.begin(), tag.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
    // "sha-256" is no stranger than "SHA256": a spelling of a known algorithm is a malformed line.
    if (!word || AlgorithmByTypedName(tag))
        return std::nullopt;
    return std::string(tag);
}

// A name that stands for an open descriptor (what a shell passes for "<(...)", a here-document
// or "/dev/stdin"): its folder holds no files of the user's.
bool NamesADescriptor(std::string_view name) {
    if (name == "/dev/stdin" || name.starts_with("/dev/fd/") || name.starts_with("/proc/self/fd/"))
        return true;
    if (!name.starts_with("/proc/"))
        return false;
    name.remove_prefix(6);
    const std::size_t digits = name.find_first_not_of("0123456789");
    return digits != 0 && digits != std::string_view::npos && name.substr(digits).starts_with("/fd/");
}

// The folder relative names are taken from, with its final "/": the list's own folder when
// the list is a file; the current folder (empty text) for standard input, for a pipe, and for a
// list read through a descriptor's name.
std::string NameFolder(const std::string& listName, int list) {
    int error = 0;
    const std::optional<TFileInfo> info =
        listName == "-" || NamesADescriptor(listName) ? std::nullopt : LookAtDescriptor(list, error);
    if (!info || info->Kind != TFileKind::Regular)
        return {};
    // On Windows "\" separates the list's folders too; PortableName writes it as "/".
    const std::string portable = PortableName(listName);
    const std::size_t slash = portable.rfind('/');
    return slash == std::string::npos ? std::string() : portable.substr(0, slash + 1);
}

// The list's own file name, its last component: SHA512SUMS tells what its bare digests are.
std::string ListFileName(std::string_view listName) {
    const std::string portable = PortableName(listName);
    const std::size_t slash = portable.rfind('/');
    return slash == std::string::npos ? portable : portable.substr(slash + 1);
}

// The path a listed name is checked at: the name itself, found from the current folder as
// sha256sum finds it (so that "quviro-cli -r d1 > d1/SUMS; quviro-cli -C d1/SUMS" works); where
// nothing is at that name, the same name beside the list, when something is there.
std::string ListedPath(const std::string& name, const std::string& folder) {
    if (name == "-" || name.empty() || name.front() == '/' || folder.empty())
        return name;
    if (LookAtPath(name, false))
        return name;
    std::string beside = folder + name;
    return LookAtPath(beside, false) ? beside : name;
}

bool SafeForShell(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 0x80 ||
           std::strchr("%+,-./@_^", static_cast<int>(c)) != nullptr;
}

// A name in a message as lists write it ("/" between folders on Windows too), quoted for a
// shell when it holds anything but plain characters: 'two words', 'it'\''s', 'a'$'\n''b'.
std::string QuoteName(const std::string& given) {
    const std::string name = PortableName(given);
    bool plain = !name.empty();
    for (const char c : name)
        plain = plain && SafeForShell(static_cast<unsigned char>(c));
    if (plain)
        return name;
    // An apostrophe reads better inside double quotes, where nothing else is special.
    if (name.find('\'') != std::string::npos && name.find_first_of("\"$`\\!") == std::string::npos &&
        std::none_of(name.begin(), name.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return '"' + name + '"';
    static const char* const named[] = {"\\a", "\\b", "\\t", "\\n", "\\v", "\\f", "\\r"};
    std::string quoted = "'";
    bool inDollar = false; // inside $'...' that spells control characters
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            if (!inDollar)
                quoted += "'$'";
            inDollar = true;
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", u);
            quoted += (u >= 7 && u <= 13) ? named[u - 7] : octal;
            continue;
        }
        if (inDollar)
            quoted += "''";
        inDollar = false;
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

class TReporter {
public:
    explicit TReporter(TCliOutput& output) : m_output(output) {}

    void Out(const std::string& text) { m_output.Out(text); }
    void Err(const std::string& text) { m_output.Message(text); }

    // name as the lists of this system write it: "/" between folders on Windows too.
    void FileLine(const std::string& listed, const char* verdict) {
        const std::string name = PortableName(listed);
        std::string line;
        if (ReportNameNeedsEscape(name))
            line.append(1, '\\').append(EscapeChecksumName(name));
        else
            line.append(name);
        Out(line.append(": ").append(verdict).append("\n"));
    }

private:
    TCliOutput& m_output;
};

std::string Plural(std::uint64_t count, const char* one, const char* many) {
    return "WARNING: " + std::to_string(count) + " " + (count == 1 ? one : many);
}

// Read by line feeds, a list made with -z looks like one line of its first entry.
bool HoldsNul(const TVerifyOptions& options, std::string_view line) {
    return !options.Zero && line.find('\0') != std::string_view::npos;
}

// A list open for reading: standard input, or a file or pipe of its own.
struct TOpenList {
    TFileHandle Owned; // nothing for standard input
    std::unique_ptr<TDescriptorStream> Stream;
    std::string Folder; // where relative names are found
};

// Opens listName ("-" standard input); 0, or the errno of the failed open. A pipe's name opens
// too: "-C <(...)".
int OpenList(const std::string& listName, TOpenList& list) {
    int fd = StandardInputFd;
    if (listName != "-") {
        int error = 0;
        list.Owned = OpenForReading(listName, error);
        if (!list.Owned.IsOpen())
            return error;
        fd = list.Owned.Get();
    }
    list.Stream = std::make_unique<TDescriptorStream>(fd);
    list.Folder = NameFolder(listName, fd);
    return 0;
}

enum class TListLine { Entry, Ignored, Malformed, HoldsNul, End };

// A list's lines in order through the one list reader, each parsed by the list's one parser.
// Checking and counting for the progress line read lists through it alike.
class TListLines {
public:
    TListLines(TOpenList& list, const std::string& listName, const TVerifyOptions& options)
        : m_reader(*list.Stream, options.Zero ? '\0' : '\n'),
          m_parser(options.Algorithm, AlgorithmOfListName(ListFileName(listName))), m_options(options),
          m_fromStandardInput(listName == "-") {}

    // The next line's kind, with line and entry filled as it allows; line is empty for an
    // overlong line, which counts as malformed. Throws what the reader throws.
    TListLine Next(std::string_view& line, TChecksumEntry& entry) {
        line = {};
        switch (m_reader.Next(line)) {
        case TChecksumListReader::TLine::End:
            return TListLine::End;
        case TChecksumListReader::TLine::Overlong:
            return TListLine::Malformed;
        case TChecksumListReader::TLine::Line:
            break;
        }
        // Such a list fails instead of passing on its first entry alone.
        if (HoldsNul(m_options, line))
            return TListLine::HoldsNul;
        switch (m_parser.Parse(line, entry, m_fromStandardInput)) {
        case TChecksumLineKind::Entry:
            return TListLine::Entry;
        case TChecksumLineKind::Ignored:
            return TListLine::Ignored;
        case TChecksumLineKind::Malformed:
            break;
        }
        return TListLine::Malformed;
    }

    std::uint64_t LineNumber() const { return m_reader.LineNumber(); }

    void ReadBareDigestsAs(THashAlgorithm algorithm) { m_parser.ReadBareDigestsAs(algorithm); }

private:
    TChecksumListReader m_reader;
    TChecksumListParser m_parser;
    const TVerifyOptions& m_options;
    bool m_fromStandardInput;
};

// "LIST: Out of memory", quoted as every message names the list, or, when not even that can be
// had, the name as given in a line made without allocating (cut where it would not fit).
void ReportListOutOfMemory(const TVerifyOptions& options, TCliOutput& output) {
    const std::string_view name = options.ListName == "-" ? std::string_view("standard input") : options.ListName;
    try {
        output.Message(QuoteName(std::string(name)) + ": " + OutOfMemoryMessage);
        return;
    } catch (const std::bad_alloc&) {
    }
    constexpr std::string_view Reason = OutOfMemoryMessage;
    std::array<char, 1024> line;
    const std::size_t kept = std::min(name.size(), line.size() - Reason.size() - 2);
    char* end = std::copy_n(name.begin(), kept, line.data());
    *end++ = ':';
    *end++ = ' ';
    end = std::copy(Reason.begin(), Reason.end(), end);
    output.Message(std::string_view(line.data(), static_cast<std::size_t>(end - line.data())));
}

// Which algorithm a list's bare digests are of, when only their length tells: the first
// readable listed file is hashed once with every algorithm of that length, and the one its
// digest matches is the list's. Without a match the length's common meaning stays, so that a
// sha256sum list with a changed file reports as sha256sum -c reports it.
class TBareDigestGuess {
public:
    // True while the list's bare digests may still be of another algorithm than entry's.
    bool Open(const TChecksumEntry& entry) const {
        return !m_settled && entry.ByLength && AlgorithmsOfHexLength(entry.Digest.size()).size() > 1;
    }

    // The algorithms to hash entry's file with: every one of its digest's length.
    std::vector<THashAlgorithm> Candidates(const TChecksumEntry& entry) const {
        return AlgorithmsOfHexLength(entry.Digest.size());
    }

    // Settles the list's algorithm from the file's digests, one per candidate, and answers
    // whether one matched; entry's algorithm becomes the match, said once when it is not the
    // length's common meaning.
    bool Settle(TChecksumEntry& entry, const std::vector<std::string>& digests, TListLines& lines,
                const std::string& listLabel, TReporter& report) {
        m_settled = true;
        const std::vector<THashAlgorithm> candidates = Candidates(entry);
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (!SameHexDigits(digests[i], entry.Digest))
                continue;
            if (candidates[i] != entry.Algorithm) {
                entry.Algorithm = candidates[i];
                lines.ReadBareDigestsAs(candidates[i]);
                report.Err(listLabel + ": read as " + std::string(HashAlgorithmName(candidates[i])) + " digests; " +
                           SkipOthersNote(candidates[i]));
            }
            return true;
        }
        m_unmatchedDigits = entry.Digest.size();
        return false;
    }

    // When the first file matched none of the algorithms and no line matched after it either,
    // the list is likely of none of them rather than of changed files: names those tried.
    void ReportNothingMatched(bool anyMatched, const std::string& listLabel, TReporter& report) const {
        if (m_unmatchedDigits != 0 && !anyMatched)
            report.Err(listLabel + ": " + NoAlgorithmMatchedNote(m_unmatchedDigits));
    }

private:
    bool m_settled = false;
    // The digest length the first file matched no algorithm of; 0 while none failed.
    std::size_t m_unmatchedDigits = 0;
};

bool VerifyList(const TVerifyOptions& options, TCliOutput& output) {
    TReporter report(output);
    const bool fromStandardInput = options.ListName == "-";
    const std::string listLabel = QuoteName(fromStandardInput ? std::string("standard input") : options.ListName);

    TOpenList list;
    if (const int error = OpenList(options.ListName, list); error != 0) {
        report.Err(listLabel + ": " + std::strerror(error));
        return false;
    }
    TStreamDigester digester;
    bool holdsNul = false;
    std::uint64_t malformed = 0;
    std::uint64_t unreadable = 0;
    std::uint64_t mismatched = 0;
    bool anyProper = false;
    bool anyMatched = false;
    TBareDigestGuess guess;
    // Named in the warning about a malformed line: the algorithm of -a, else that of the last
    // checksum line read. Warnings about lines before the first checksum line wait for it, so
    // that an MD5 list is not called SHA256; SHA256 when none comes.
    THashAlgorithm lastAlgorithm = options.Algorithm.value_or(DefaultAlgorithm);
    std::vector<std::uint64_t> heldWarnings;
    const auto warn = [&](std::uint64_t number) {
        report.Err(listLabel + ": " + std::to_string(number) + ": improperly formatted " +
                   std::string(HashAlgorithmName(lastAlgorithm)) + " checksum line");
    };
    const auto releaseWarnings = [&] {
        for (const std::uint64_t number : heldWarnings)
            warn(number);
        heldWarnings.clear();
    };

    try {
        TListLines lines(list, options.ListName, options);
        std::string_view line;
        TChecksumEntry entry;
        for (TListLine kind; (kind = lines.Next(line, entry)) != TListLine::End;) {
            const std::uint64_t lineNumber = lines.LineNumber();
            if (kind == TListLine::Ignored)
                continue;
            if (kind == TListLine::HoldsNul) {
                if (!holdsNul)
                    report.Err(listLabel + ": " + std::to_string(lineNumber) +
                               ": the line holds a NUL byte; a list made with -z is checked with -C -z");
                holdsNul = true;
                ++malformed;
                continue;
            }
            if (kind == TListLine::Malformed) {
                ++malformed;
                if (!options.Warn)
                    continue;
                if (const std::optional<std::string> tag = UnsupportedTag(line))
                    report.Err(listLabel + ": " + std::to_string(lineNumber) + ": unsupported algorithm " + *tag);
                else if (!anyProper && !options.Algorithm && heldWarnings.size() < MaxHeldWarnings)
                    heldWarnings.push_back(lineNumber);
                else
                    warn(lineNumber);
                continue;
            }

            anyProper = true;
            lastAlgorithm = entry.Algorithm;
            releaseWarnings();
            const std::string path = ListedPath(entry.Name, list.Folder);
            std::optional<TListProgress::TFileObserver> observer;
            if (options.Progress)
                observer.emplace(*options.Progress);
            const bool guessing = guess.Open(entry);
            const TNamedFileDigest file =
                DigestNamedFile(path, guessing ? guess.Candidates(entry) : std::vector{entry.Algorithm}, digester,
                                observer ? &*observer : nullptr);
            if (options.Progress)
                options.Progress->FileDone();
            if (!file.Succeeded()) {
                if (options.IgnoreMissing && file.Error == ENOENT)
                    continue;
                ++unreadable;
                report.Err(QuoteName(path) + ": " + file.Reason);
                if (!options.Status)
                    report.FileLine(path, "FAILED open or read");
                continue;
            }
            const bool matches = guessing ? guess.Settle(entry, file.Digests, lines, listLabel, report)
                                          : SameHexDigits(file.Digests.front(), entry.Digest);
            lastAlgorithm = entry.Algorithm;
            if (matches)
                anyMatched = true;
            else
                ++mismatched;
            if (!options.Status && (!matches || !options.Quiet))
                report.FileLine(path, matches ? "OK" : "FAILED");
        }
    } catch (const EReadError&) {
        report.Err(listLabel + ": read error");
        return false;
    }
    releaseWarnings();

    if (!anyProper) {
        report.Err(listLabel + ": no properly formatted checksum lines found");
    } else if (!options.Status) {
        guess.ReportNothingMatched(anyMatched, listLabel, report);
        if (malformed != 0)
            report.Err(Plural(malformed, "line is improperly formatted", "lines are improperly formatted"));
        if (unreadable != 0)
            report.Err(Plural(unreadable, "listed file could not be read", "listed files could not be read"));
        if (mismatched != 0)
            report.Err(Plural(mismatched, "computed checksum did NOT match", "computed checksums did NOT match"));
        if (options.IgnoreMissing && !anyMatched)
            report.Err(listLabel + ": no file was verified");
    }
    return anyProper && !holdsNul && mismatched == 0 && unreadable == 0 && (!options.Strict || malformed == 0) &&
           (!options.IgnoreMissing || anyMatched);
}

} // namespace

bool VerifyChecksumList(const TVerifyOptions& options, TCliOutput& output) {
    try {
        return VerifyList(options, output);
    } catch (const std::bad_alloc&) {
        // Memory running out anywhere in the check fails the list: never the end of the list, never a pass.
        ReportListOutOfMemory(options, output);
        return false;
    }
}

bool CountListedFiles(const std::vector<std::string>& listNames, const TVerifyOptions& options, std::int64_t& files,
                      std::int64_t& bytes, const std::atomic<bool>& stopping) {
    files = 0;
    bytes = 0;
    for (const std::string& listName : listNames) {
        // Standard input and pipes can be read once only: by the check.
        if (const std::optional<TFileInfo> info = listName == "-" ? std::nullopt : LookAtPath(listName);
            !info || info->Kind != TFileKind::Regular)
            return false;
        TOpenList list;
        if (OpenList(listName, list) != 0)
            return false;
        try {
            TListLines lines(list, listName, options);
            std::string_view line;
            TChecksumEntry entry;
            for (TListLine kind; (kind = lines.Next(line, entry)) != TListLine::End;) {
                if (stopping)
                    return false;
                if (kind != TListLine::Entry)
                    continue;
                ++files;
                if (const std::optional<TFileInfo> listed = LookAtPath(ListedPath(entry.Name, list.Folder));
                    listed && listed->Kind == TFileKind::Regular)
                    bytes += listed->Size;
            }
        } catch (const std::exception&) {
            // The check reports the failure; the totals stay unknown.
            return false;
        }
    }
    return true;
}
