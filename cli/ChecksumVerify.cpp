#include "cli/ChecksumVerify.h"

#include "checksums/ChecksumFormat.h"
#include "checksums/ChecksumLine.h"
#include "crypt/Hex.h"
#include "crypt/RunningDigest.h"
#include "crypt/Stream.h"
#include "hashing/FileStream.h"
#include "hashing/StreamDigest.h"
#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
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
std::string NameFolder(const std::string& listName, std::FILE* list) {
    int error = 0;
    const std::optional<TFileInfo> info =
        listName == "-" || NamesADescriptor(listName) ? std::nullopt : LookAtDescriptor(::fileno(list), error);
    if (!info || info->Kind != TFileKind::Regular)
        return {};
    const std::size_t slash = listName.rfind('/');
    return slash == std::string::npos ? std::string() : listName.substr(0, slash + 1);
}

// The list's own file name, its last component: SHA512SUMS tells what its bare digests are.
std::string_view ListFileName(std::string_view listName) {
    const std::size_t slash = listName.rfind('/');
    return slash == std::string_view::npos ? listName : listName.substr(slash + 1);
}

std::string ResolveName(const std::string& name, const std::string& folder) {
    if (name == "-" || name.empty() || name.front() == '/')
        return name;
    return folder + name;
}

bool SafeForShell(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 0x80 ||
           std::strchr("%+,-./@_^", static_cast<int>(c)) != nullptr;
}

// A name in a message, quoted for a shell when it holds anything but plain characters:
// 'two words', 'it'\''s', 'a'$'\n''b'.
std::string QuoteName(const std::string& name) {
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

    void FileLine(const std::string& name, const char* verdict) {
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

// A list's lines one by one, without their terminator, never the whole list at once.
struct TLineReader {
    std::FILE* File = nullptr;
    char* Buffer = nullptr;
    std::size_t Capacity = 0;
    ~TLineReader() { std::free(Buffer); }

    bool Next(char terminator, std::string_view& line) {
        const ssize_t length = ::getdelim(&Buffer, &Capacity, terminator, File);
        if (length <= 0)
            return false;
        line = std::string_view(Buffer, static_cast<std::size_t>(length));
        if (line.back() == terminator)
            line.remove_suffix(1);
        return true;
    }
};

// Read by line feeds, a list made with -z looks like one line of its first entry.
bool HoldsNul(const TVerifyOptions& options, std::string_view line) {
    return !options.Zero && line.find('\0') != std::string_view::npos;
}

// HashListedFile with a reader that lives as long as the caller wants, so that a list of a
// million small files does not allocate buffers per file.
std::optional<std::string> HashListedFile(THashAlgorithm algorithm, const std::string& path, TStreamDigester& digester,
                                          int& error, std::string& reason, TListProgress* progress = nullptr) {
    error = 0;
    reason.clear();
    std::optional<TListProgress::TFileObserver> observer;
    std::unique_ptr<TStream> stream;
    if (path == "-") {
        stream = std::make_unique<TDescriptorStream>(StandardInputFd);
    } else {
        TRegularFile file = OpenRegularFile(path);
        if (!file.IsOpen()) {
            // A folder counts as the system's EISDIR; other files that are not regular have no
            // errno of their own.
            error = file.Error == 0 && file.Info.Kind == TFileKind::Folder ? EISDIR : file.Error;
            reason = OpenFailureReason(file);
            return std::nullopt;
        }
        stream = std::make_unique<TFileStream>(std::move(file));
    }
    if (progress) {
        observer.emplace(*progress);
        stream = std::make_unique<TObservedStream>(std::move(stream), *observer);
    }
    try {
        return digester.Digest(algorithm, *stream);
    } catch (const EReadError& failure) {
        // The reason alone, as for a failed open: "Input/output error", "the file changed ...".
        constexpr std::string_view prefix = "Stream read error: ";
        const std::string_view message = failure.what();
        reason = message.substr(message.rfind(prefix, 0) == 0 ? prefix.size() : 0);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> HashListedFile(THashAlgorithm algorithm, const std::string& path, int& error,
                                          std::string& reason) {
    TStreamDigester digester;
    return HashListedFile(algorithm, path, digester, error, reason);
}

bool VerifyChecksumList(const TVerifyOptions& options, TCliOutput& output) {
    TReporter report(output);
    const bool fromStandardInput = options.ListName == "-";
    const std::string listLabel = QuoteName(fromStandardInput ? std::string("standard input") : options.ListName);

    TLineReader reader;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> owned(nullptr, std::fclose);
    if (fromStandardInput) {
        reader.File = stdin;
    } else {
        owned.reset(std::fopen(options.ListName.c_str(), "re"));
        if (!owned) {
            report.Err(listLabel + ": " + std::strerror(errno));
            return false;
        }
        reader.File = owned.get();
    }

    const std::string folder = NameFolder(options.ListName, reader.File);
    TChecksumListParser parser(options.Algorithm, AlgorithmOfListName(ListFileName(options.ListName)));
    TStreamDigester digester;
    const char terminator = options.Zero ? '\0' : '\n';
    bool holdsNul = false;
    std::uint64_t lineNumber = 0;
    std::uint64_t malformed = 0;
    std::uint64_t unreadable = 0;
    std::uint64_t mismatched = 0;
    bool anyProper = false;
    bool anyMatched = false;
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

    std::string_view line;
    while (reader.Next(terminator, line)) {
        ++lineNumber;
        // Such a list fails instead of passing on its first entry alone.
        if (HoldsNul(options, line)) {
            if (!holdsNul)
                report.Err(listLabel + ": " + std::to_string(lineNumber) +
                           ": the line holds a NUL byte; a list made with -z is checked with -C -z");
            holdsNul = true;
            ++malformed;
            continue;
        }
        TChecksumEntry entry;
        const TChecksumLineKind kind = parser.Parse(line, entry, fromStandardInput);
        if (kind == TChecksumLineKind::Ignored)
            continue;
        if (kind == TChecksumLineKind::Malformed) {
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
        int error = 0;
        std::string reason;
        const std::string path = ResolveName(entry.Name, folder);
        const std::optional<std::string> digest =
            HashListedFile(entry.Algorithm, path, digester, error, reason, options.Progress);
        if (options.Progress)
            options.Progress->FileDone();
        if (!digest) {
            if (options.IgnoreMissing && error == ENOENT)
                continue;
            ++unreadable;
            // The path tried, when it is not the name as listed.
            report.Err(QuoteName(path) + ": " + reason);
            if (!options.Status)
                report.FileLine(entry.Name, "FAILED open or read");
            continue;
        }
        const bool matches = SameHexDigits(*digest, entry.Digest);
        if (matches)
            anyMatched = true;
        else
            ++mismatched;
        if (!options.Status && (!matches || !options.Quiet))
            report.FileLine(entry.Name, matches ? "OK" : "FAILED");
    }

    if (std::ferror(reader.File)) {
        report.Err(listLabel + ": read error");
        if (fromStandardInput)
            std::clearerr(reader.File);
        return false;
    }
    if (fromStandardInput)
        std::clearerr(reader.File);
    releaseWarnings();

    if (!anyProper) {
        report.Err(listLabel + ": no properly formatted checksum lines found");
    } else if (!options.Status) {
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

bool CountListedFiles(const std::vector<std::string>& listNames, const TVerifyOptions& options, std::int64_t& files,
                      std::int64_t& bytes, const std::atomic<bool>& stopping) {
    files = 0;
    bytes = 0;
    for (const std::string& listName : listNames) {
        // Standard input and pipes can be read once only: by the check.
        if (listName == "-")
            return false;
        const std::optional<TFileInfo> info = LookAtPath(listName);
        if (!info || info->Kind != TFileKind::Regular)
            return false;
        TLineReader reader;
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> owned(std::fopen(listName.c_str(), "re"), std::fclose);
        if (!owned)
            return false;
        reader.File = owned.get();
        const std::string folder = NameFolder(listName, reader.File);
        TChecksumListParser parser(options.Algorithm, AlgorithmOfListName(ListFileName(listName)));
        std::string_view line;
        while (reader.Next(options.Zero ? '\0' : '\n', line)) {
            if (stopping)
                return false;
            TChecksumEntry entry;
            if (HoldsNul(options, line) || parser.Parse(line, entry) != TChecksumLineKind::Entry)
                continue;
            ++files;
            if (const std::optional<TFileInfo> listed = LookAtPath(ResolveName(entry.Name, folder));
                listed && listed->Kind == TFileKind::Regular)
                bytes += listed->Size;
        }
    }
    return true;
}
