#include "hashing/FileListHash.h"

#include "crypt/Hex.h"
#include "hashing/TreeWalk.h"

#include <algorithm>
#include <memory>

namespace {

// Finished results a slow file may hold back per job before the walk waits for it.
constexpr std::size_t WindowPerJob = 64;

// Error lines end in a line feed whatever -z says: they are for people.
std::string ErrorLine(const std::string& name, std::string_view message) {
    std::string line = ChecksumNameNeedsEscape(name) ? EscapeChecksumName(name) : name;
    line.append(": ").append(message).append("\n");
    return line;
}

class TListWalker final : public TWalkVisitor {
public:
    // One digester per job; they outlive jobs.
    TListWalker(const TFileListSettings& settings, std::vector<std::unique_ptr<TStreamDigester>>& digesters,
                TOrderedJobs& jobs)
        : m_settings(settings), m_digesters(digesters), m_jobs(jobs) {}

    void File(const std::string& name) override {
        // The task uses only what outlives the jobs, not the walker.
        Submit([&settings = m_settings, &digesters = m_digesters, name](int worker) {
            TJobResult result;
            std::string digest;
            std::string message;
            if (HashNamedFile(name, settings.Algorithm, *digesters[static_cast<std::size_t>(worker)], digest,
                              message)) {
                const TAlgorithmInfo& row = AlgorithmInfo(settings.Algorithm);
                result.Output = FormatChecksumLine(
                    row.TaggedOnly && settings.Style == TChecksumStyle::Gnu ? TChecksumStyle::Bsd : settings.Style,
                    row.Tag, settings.UpperHash ? UpperHex(digest) : digest, name, settings.Terminator);
            } else {
                result.Errors = ErrorLine(name, message);
                result.Failed = true;
            }
            return result;
        });
    }

    void Skipped(const std::string& name, const std::string& reason) override {
        Submit([line = ErrorLine(name, "Skipped: " + reason)](int) { return TJobResult{{}, line, false}; });
    }

    void Failed(const std::string& name, const std::string& message) override {
        Submit([line = ErrorLine(name, message)](int) { return TJobResult{{}, line, true}; });
    }

private:
    // Once the sink has failed the walk has nothing left to do but end; it is not worth
    // breaking off, as every later Submit returns at once.
    void Submit(TOrderedJobs::TTask task) { m_jobs.Submit(std::move(task)); }

    const TFileListSettings& m_settings;
    std::vector<std::unique_ptr<TStreamDigester>>& m_digesters;
    TOrderedJobs& m_jobs;
};

} // namespace

bool HashNamedFile(const std::string& name, THashAlgorithm algorithm, TStreamDigester& digester, std::string& digest,
                   std::string& message) {
    std::unique_ptr<TFileStream> stream;
    try {
        stream = std::make_unique<TFileStream>(name);
    } catch (const ENoRegularFile&) {
        message = "File does not exist";
        return false;
    } catch (const std::exception& failure) {
        message = std::string("Error Opening File: ") + failure.what();
        return false;
    }
    try {
        digest = digester.Digest(algorithm, *stream);
        return true;
    } catch (const std::exception& failure) {
        message = std::string("Error Hashing data: ") + failure.what();
    }
    return false;
}

std::int64_t ChunkForJobs(int jobs) {
    constexpr std::int64_t Budget = 32 * 1024 * 1024;
    constexpr std::int64_t Smallest = 64 * 1024;
    const std::int64_t chunk = Budget / (2 * std::max(jobs, 1)) / Smallest * Smallest;
    return std::clamp(chunk, Smallest, TStreamDigester::MaxChunk);
}

TFileListResult HashFileList(const std::vector<std::string>& inputs, const TFileListSettings& settings,
                             const TFileListSink& sink) {
    std::vector<std::unique_ptr<TStreamDigester>> digesters;
    for (int i = 0; i < settings.Jobs; ++i)
        digesters.push_back(std::make_unique<TStreamDigester>(ChunkForJobs(settings.Jobs)));
    bool failed = false;
    bool writeFailed = false;
    TOrderedJobs jobs(settings.Jobs, WindowPerJob * static_cast<std::size_t>(settings.Jobs),
                      [&](const TJobResult& result) {
                          failed = failed || result.Failed;
                          const bool written = (result.Output.empty() || sink.Write(result.Output)) &&
                                               (result.Errors.empty() || sink.Error(result.Errors));
                          writeFailed = writeFailed || !written;
                          return written;
                      });
    TListWalker walker(settings, digesters, jobs);
    WalkInputs(inputs, settings.Recursive, walker);
    jobs.Finish();
    if (writeFailed)
        return TFileListResult::WriteFailed;
    return failed ? TFileListResult::SomeFailed : TFileListResult::AllHashed;
}
