#include "hashing/FileListHash.h"

#include "crypt/Hex.h"
#include "hashing/FileStream.h"
#include "hashing/NamedFileDigest.h"
#include "hashing/TreeWalk.h"
#include "platform/Limits.h"
#include "platform/Processors.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <thread>

namespace {

// Finished results a slow file may hold back per job before the walk waits for it.
constexpr std::size_t WindowPerJob = 64;

// Error lines end in a line feed whatever -z says: they are for people.
std::string ErrorLine(const std::string& name, std::string_view message) {
    std::string line = ChecksumNameNeedsEscape(name) ? EscapeChecksumName(name) : name;
    line.append(": ").append(message).append("\n");
    return line;
}

// Descriptors the process may open besides the jobs' files: the folder the walk reads, and a
// few that the rest of the program may open meanwhile.
constexpr long DescriptorsBesideJobs = 3;

constexpr std::string_view StandardInputName = "-";

// A file's checksum lines, one per algorithm, or its one error line.
TJobResult HashToLines(const std::string& name, TNamedFileKinds kinds, const TFileListSettings& settings,
                       TStreamDigester& digester, std::string outOfMemory) {
    TJobResult result;
    std::optional<TListProgress::TFileObserver> observer;
    if (settings.Progress)
        observer.emplace(*settings.Progress);
    // Done whichever way the job ends.
    const struct TDone {
        TListProgress* Progress;
        ~TDone() {
            if (Progress)
                Progress->FileDone();
        }
    } done{settings.Progress};
    try {
        // A line its peer tool would misread is never written: the file gets an error line instead,
        // before it is read.
        for (const THashAlgorithm algorithm : settings.Algorithms)
            if (const std::string_view unwritable =
                    UnwritableName(AlgorithmInfo(algorithm), settings.Style, name, settings.Terminator);
                !unwritable.empty())
                return {{}, ErrorLine(name, unwritable), true};
        const TNamedFileDigest file =
            DigestNamedFile(name, settings.Algorithms, digester, observer ? &*observer : nullptr, kinds);
        if (!file.Succeeded()) {
            std::string message = file.Reason;
            if (file.Error == EISDIR && !settings.Recursive)
                message.append(" (use -r to hash the files in it)");
            result.Errors = ErrorLine(name, message);
            result.Failed = true;
            return result;
        }
        for (std::size_t i = 0; i < file.Digests.size(); ++i)
            result.Output += FormatRowLine(AlgorithmInfo(settings.Algorithms[i]), settings.Style,
                                           settings.UpperHash ? UpperHex(file.Digests[i]) : file.Digests[i], name,
                                           settings.Terminator);
    } catch (const std::bad_alloc&) {
        result = {{}, std::move(outOfMemory), true};
    }
    return result;
}

class TListWalker final : public TWalkVisitor {
public:
    // One digester per job; they outlive jobs.
    TListWalker(const TFileListSettings& settings, std::vector<std::unique_ptr<TStreamDigester>>& digesters,
                TOrderedJobs& jobs)
        : m_settings(settings), m_digesters(digesters), m_jobs(jobs) {}

    void File(const std::string& name) override { Hash(name, TNamedFileKinds::RegularOnly); }
    void Input(const std::string& name) override { Hash(name, m_settings.Inputs); }

    // An entry that ends in an error line is done as soon as it is met.
    void Skipped(const std::string& name, const std::string& reason) override {
        Submit([line = ErrorLine(name, "Skipped: " + reason)](int) { return TJobResult{{}, line, false}; });
        if (m_settings.Progress)
            m_settings.Progress->FileDone();
    }

    void Failed(const std::string& name, const std::string& message) override {
        Submit([line = ErrorLine(name, message)](int) { return TJobResult{{}, line, true}; });
        if (m_settings.Progress)
            m_settings.Progress->FileDone();
    }

private:
    void Hash(const std::string& name, TNamedFileKinds kinds) {
        // The line for running out of memory is made here, on the walk's thread: a job's thread
        // that runs out may not even get the few bytes of a new line, but it can always hand
        // this one on.
        std::string outOfMemory = ErrorLine(name, OutOfMemoryMessage);
        if (name == StandardInputName) {
            // Read here, in its turn, so that "-" given twice reads the rest after the first.
            TJobResult result{{}, outOfMemory, true};
            try {
                if (!m_standardInput)
                    m_standardInput = std::make_unique<TStreamDigester>(
                        ChunkForJobs(1), StartThread, TreeThreadsForJobs(static_cast<int>(m_digesters.size())));
                result = HashToLines(name, kinds, m_settings, *m_standardInput, outOfMemory);
            } catch (const std::bad_alloc&) {
                // The out-of-memory line made above stands for it.
            }
            Submit([result = std::move(result)](int) { return result; });
            return;
        }
        // The task uses only what outlives the jobs, not the walker.
        Submit([&settings = m_settings, &digesters = m_digesters, name, kinds,
                outOfMemory = std::move(outOfMemory)](int worker) mutable {
            return HashToLines(name, kinds, settings, *digesters[static_cast<std::size_t>(worker)],
                               std::move(outOfMemory));
        });
    }

    // Once the sink has failed the walk has nothing left to do but end; it is not worth
    // breaking off, as every later Submit returns at once.
    void Submit(TOrderedJobs::TTask task) { m_jobs.Submit(std::move(task)); }

    const TFileListSettings& m_settings;
    std::vector<std::unique_ptr<TStreamDigester>>& m_digesters;
    TOrderedJobs& m_jobs;
    // Standard input's reader on the walk's thread, made when "-" comes.
    std::unique_ptr<TStreamDigester> m_standardInput;
};

} // namespace

int JobsForDescriptors(int jobs) {
    // A limit this high leaves room for any number of jobs: not worth counting.
    constexpr long Plenty = 4096;
    const std::optional<long> left = DescriptorsLeft(Plenty);
    if (!left)
        return jobs;
    return static_cast<int>(std::clamp<long>(*left - DescriptorsBesideJobs, 1, jobs));
}

std::int64_t ChunkForJobs(int jobs) {
    constexpr std::int64_t Budget = 32 * 1024 * 1024;
    constexpr std::int64_t Smallest = 64 * 1024;
    const std::int64_t chunk = Budget / (2 * std::max(jobs, 1)) / Smallest * Smallest;
    return std::clamp(chunk, Smallest, TStreamDigester::CacheChunk);
}

unsigned TreeThreadsForJobs(int jobs) {
    return std::max(1u, ProcessorCount() / static_cast<unsigned>(std::max(jobs, 1)));
}

TFileListResult HashFileList(const std::vector<std::string>& inputs, const TFileListSettings& settings,
                             const TFileListSink& sink) {
    const bool oneFile = inputs.size() == 1 && !settings.Recursive;
    const int jobCount = oneFile ? 1 : JobsForDescriptors(std::max(settings.Jobs, 1));
    std::vector<std::unique_ptr<TStreamDigester>> digesters;
    for (int i = 0; i < jobCount; ++i)
        digesters.push_back(
            std::make_unique<TStreamDigester>(ChunkForJobs(jobCount), StartThread, TreeThreadsForJobs(jobCount)));
    bool failed = false;
    bool writeFailed = false;
    TOrderedJobs jobs(jobCount, WindowPerJob * static_cast<std::size_t>(jobCount), [&](const TJobResult& result) {
        failed = failed || result.Failed;
        const bool written = (result.Output.empty() || sink.Write(result.Output)) &&
                             (result.Errors.empty() || sink.Error(result.Errors));
        writeFailed = writeFailed || !written;
        return written;
    });
    TListWalker walker(settings, digesters, jobs);
    WalkInputs(inputs, settings.Recursive, walker, settings.Output);
    jobs.Finish();
    if (writeFailed)
        return TFileListResult::WriteFailed;
    return failed ? TFileListResult::SomeFailed : TFileListResult::AllHashed;
}
