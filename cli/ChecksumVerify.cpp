#include "cli/ChecksumVerify.h"

#include "checksums/ChecksumFormat.h"
#include "checksums/ChecksumLine.h"
#include "crypt/FileHandle.h"
#include "crypt/RunningDigest.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t ChunkSize = 1 << 20;

std::optional<std::string> HashDescriptor(THashAlgorithm algorithm, int fd, std::vector<char>& buffer, int& error) {
    TRunningDigest hash(algorithm);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n == 0)
            return hash.Finish();
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return std::nullopt;
        }
        hash.Update(buffer.data(), static_cast<std::size_t>(n));
    }
}

// The folder relative names are taken from, with its final "/": the list's own folder when
// the list is a file; the current folder (empty text) for standard input and for a pipe such
// as "<(...)", whose "/dev/fd" folder holds no files of the user's.
std::string NameFolder(const std::string& listName, std::FILE* list) {
    struct stat info {};
    if (listName == "-" || ::fstat(::fileno(list), &info) != 0 || !S_ISREG(info.st_mode))
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

bool SameHex(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'F')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'F')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

class TReporter {
public:
    explicit TReporter(TVerifyOutput& output) : m_output(output) {}

    void Out(const std::string& text) { Write(m_output.Out, text); }
    void Err(const std::string& text) { Write(m_output.Err, m_output.Program + ": " + text + "\n"); }

    void FileLine(const std::string& name, const char* verdict) {
        std::string line;
        if (ReportNameNeedsEscape(name))
            line.append(1, '\\').append(EscapeChecksumName(name));
        else
            line.append(name);
        Out(line.append(": ").append(verdict).append("\n"));
    }

private:
    void Write(std::FILE* stream, const std::string& text) {
        if (std::fwrite(text.data(), 1, text.size(), stream) != text.size())
            m_output.WriteFailed = true;
    }

    TVerifyOutput& m_output;
};

std::string Plural(std::uint64_t count, const char* one, const char* many) {
    return "WARNING: " + std::to_string(count) + " " + (count == 1 ? one : many);
}

struct TLineReader {
    std::FILE* File = nullptr;
    char* Buffer = nullptr;
    std::size_t Capacity = 0;
    ~TLineReader() { std::free(Buffer); }
};

// HashListedFile with a read buffer that lives as long as the caller wants, so that a list of a
// million small files does not allocate a chunk per file.
std::optional<std::string> HashListedFile(THashAlgorithm algorithm, const std::string& path, std::vector<char>& buffer,
                                          int& error, std::string& reason) {
    error = 0;
    reason.clear();
    TRegularFile file;
    if (path != "-") {
        file = OpenRegularFile(path);
        if (!file.IsOpen()) {
            // A folder counts as the system's EISDIR; other files that are not regular have no
            // errno of their own.
            error = file.Error == 0 && S_ISDIR(file.Info.st_mode) ? EISDIR : file.Error;
            reason = OpenFailureReason(file);
            return std::nullopt;
        }
    }
    const int fd = path == "-" ? STDIN_FILENO : file.Handle.Get();
    std::optional<std::string> digest = HashDescriptor(algorithm, fd, buffer, error);
    if (!digest)
        reason = std::strerror(error);
    return digest;
}

} // namespace

std::optional<std::string> HashListedFile(THashAlgorithm algorithm, const std::string& path, int& error,
                                          std::string& reason) {
    std::vector<char> buffer(ChunkSize);
    return HashListedFile(algorithm, path, buffer, error, reason);
}

bool VerifyChecksumList(const TVerifyOptions& options, TVerifyOutput& output) {
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
    std::vector<char> buffer(ChunkSize);
    std::uint64_t lineNumber = 0;
    std::uint64_t malformed = 0;
    std::uint64_t unreadable = 0;
    std::uint64_t mismatched = 0;
    bool anyProper = false;
    bool anyMatched = false;
    // Named in the warning about a malformed line: the algorithm of -a, else that of the last
    // checksum line read, SHA256 before the first.
    THashAlgorithm lastAlgorithm = options.Algorithm.value_or(THashAlgorithm::SHA256);

    ssize_t length = 0;
    while ((length = ::getline(&reader.Buffer, &reader.Capacity, reader.File)) > 0) {
        ++lineNumber;
        std::string_view line(reader.Buffer, static_cast<std::size_t>(length));
        if (line.back() == '\n')
            line.remove_suffix(1);
        TChecksumEntry entry;
        const TChecksumLineKind kind = parser.Parse(line, entry, fromStandardInput);
        if (kind == TChecksumLineKind::Ignored)
            continue;
        if (kind == TChecksumLineKind::Malformed) {
            ++malformed;
            if (options.Warn)
                report.Err(listLabel + ": " + std::to_string(lineNumber) + ": improperly formatted " +
                           std::string(AlgorithmInfo(lastAlgorithm).Tag) + " checksum line");
            continue;
        }

        anyProper = true;
        lastAlgorithm = entry.Algorithm;
        int error = 0;
        std::string reason;
        const std::optional<std::string> digest =
            HashListedFile(entry.Algorithm, ResolveName(entry.Name, folder), buffer, error, reason);
        if (!digest) {
            if (options.IgnoreMissing && error == ENOENT)
                continue;
            ++unreadable;
            report.Err(QuoteName(entry.Name) + ": " + reason);
            if (!options.Status)
                report.FileLine(entry.Name, "FAILED open or read");
            continue;
        }
        const bool matches = SameHex(*digest, entry.Digest);
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
    return anyProper && mismatched == 0 && unreadable == 0 && (!options.Strict || malformed == 0) &&
           (!options.IgnoreMissing || anyMatched);
}
