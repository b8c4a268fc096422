#include "hashing/FileListHash.h"

#include "crypt/Hex.h"
#include "hashing/FileStream.h"
#include "hashing/NamedFileDigest.h"
#include "hashing/SmallFileBatch.h"
#include "hashing/TreeWalk.h"
#include "platform/Limits.h"
#include "platform/PathNames.h"
#include "platform/Processors.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <thread>

namespace {

// Finished results a slow file may hold back per job before the walk waits for it.
constexpr std::size_t WindowPerJob = 64;

// A file's name as lines and messages show it.
std::string Printable(const std::string& name) {
    const std::string shown = PortableName(name);
    return ChecksumNameNeedsEscape(shown) ? EscapeChecksumName(shown) : shown;
}

// Error lines end in a line feed whatever -z says: they are for people.
std::string ErrorLine(const std::string& name, std::string_view message) {
    return Printable(name).append(": ").append(message).append("\n");
}

// Descriptors the process may open besides the jobs' files: the folder the walk reads, and a
// few that the rest of the program may open meanwhile.
constexpr long DescriptorsBesideJobs = 3;

// A descriptor limit this high leaves room for any number of jobs and held folders: not worth
// counting.
constexpr long PlentyOfDescriptors = 4096;

// The folders the walk may hold open for their files' opens beside jobs jobs: none when the
// descriptor limit leaves no room for them, as they only spare the lookups.
int HeldFoldersForDescriptors(int jobs) {
    const std::optional<long> left = DescriptorsLeft(PlentyOfDescriptors);
    return !left || *left - DescriptorsBesideJobs - jobs >= MaxHeldFolders ? MaxHeldFolders : 0;
}

constexpr std::string_view StandardInputName = "-";

// A name the style's peer tool would misread gets an error line instead of its checksum lines,
// before the file is read.
std::optional<TJobResult> RefusedName(const std::string& name, const TFileListSettings& settings) {
    for (const THashAlgorithm algorithm : settings.Algorithms)
        if (const std::string_view unwritable =
                UnwritableName(AlgorithmInfo(algorithm), settings.Style, PortableName(name), settings.Terminator);
            !unwritable.empty())
            return TJobResult{{}, ErrorLine(name, unwritable), true};
    return std::nullopt;
}

// A hashed file's checksum lines, one per algorithm, or its one error line.
TJobResult LinesOf(const std::string& name, const TFileListSettings& settings, const TNamedFileDigest& file) {
    TJobResult result;
    if (!file.Succeeded()) {
        std::string message = file.Reason;
        if (file.Error == EISDIR && !settings.Recursive)
            message.append(" (use -r to hash the files in it)");
        result.Errors = ErrorLine(name, message);
        result.Failed = true;
        return result;
    }
    const std::string listed = PortableName(name);
    for (std::size_t i = 0; i < file.Digests.size(); ++i)
        result.Output += FormatRowLine(AlgorithmInfo(settings.Algorithms[i]), settings.Style,
                                       settings.UpperHash ? UpperHex(file.Digests[i]) : file.Digests[i], listed,
                                       settings.Terminator);
    return result;
}

// A file's checksum lines, one per algorithm, or its one error line.
TJobResult HashToLines(const TFileName& file, TNamedFileKinds kinds, const TFileListSettings& settings,
                       TStreamDigester& digester, std::string outOfMemory, TReadGate* gate) {
    const std::string& name = file.Path;
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
        if (std::optional<TJobResult> refused = RefusedName(name, settings))
            return std::move(*refused);
        return LinesOf(
            name, settings,
            DigestNamedFile(file, settings.Algorithms, digester, observer ? &*observer : nullptr, kinds, gate));
    } catch (const std::bad_alloc&) {
        return {{}, std::move(outOfMemory), true};
    }
}

// Consecutive files hashed together (SmallFileBatch.h): their results as the task's parts, in
// order, each file's lines or error line as HashToLines gives them.
TJobResult HashBatchToLines(const std::vector<TFileName>& names, const TFileListSettings& settings,
                            TStreamDigester& digester, TSmallFileBatcher& batcher, TJobResult outOfMemory,
                            TReadGate* gate) {
    TJobResult result;
    try {
        std::vector<std::optional<TJobResult>> refused;
        std::vector<TFileName> hashed;
        for (const TFileName& name : names)
            if (!refused.emplace_back(RefusedName(name.Path, settings)))
                hashed.push_back(name);
        const std::vector<TNamedFileDigest> files =
            batcher.Digest(hashed, settings.Algorithms.front(), digester, settings.Progress, gate);
        std::size_t next = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            TJobResult part = refused[i] ? std::move(*refused[i]) : LinesOf(names[i].Path, settings, files[next++]);
            result.Failed = result.Failed || part.Failed;
            result.Parts.push_back(std::move(part));
        }
    } catch (const std::bad_alloc&) {
        result = std::move(outOfMemory);
    }
    if (settings.Progress)
        for (std::size_t i = 0; i < names.size(); ++i)
            settings.Progress->FileDone();
    return result;
}

// "Out of memory: N inputs not reached, the first: NAME", with "at least" when the walk could
// not count them all.
std::string NotReachedText(std::size_t count, const std::string& first, bool atLeast) {
    return std::string(OutOfMemoryMessage)
        .append(": ")
        .append(atLeast ? "at least " : "")
        .append(std::to_string(count))
        .append(count == 1 ? " input" : " inputs")
        .append(" not reached, the first: ")
        .append(Printable(first))
        .append("\n");
}

// The longest name kept without allocating once memory has run out; a longer one is cut.
constexpr std::size_t KeptNameBytes = 4096;

// Memory held back for the end of a run that ran out: released when nothing else can be had,
// so that the last line can still be made and written.
constexpr std::size_t ReserveBytes = 1024 * 1024;

// Consecutive files gathered for one batch: their names, and the result that stands for them all
// when memory runs out, one out-of-memory line per file.
struct TPendingBatch {
    std::vector<TFileName> Names;
    TJobResult OutOfMemory{{}, {}, true};
};

class TListWalker final : public TWalkVisitor {
public:
    // One digester per job, and one batcher per job when small files are batched (none when
    // not); they and gate, when given, outlive jobs. reserve is let go once memory has run out for
    // good.
    TListWalker(const TFileListSettings& settings, std::vector<std::unique_ptr<TStreamDigester>>& digesters,
                std::vector<TSmallFileBatcher>& batchers, TReadGate* gate, TOrderedJobs& jobs,
                std::unique_ptr<char[]> reserve)
        : m_settings(settings), m_digesters(digesters), m_batchers(batchers), m_gate(gate), m_jobs(jobs),
          m_reserve(std::move(reserve)) {
        m_firstNotReached.reserve(KeptNameBytes);
        m_lastReached.reserve(KeptNameBytes);
    }

    void File(const TFileName& file) override { Hash(file.Path, &file, TNamedFileKinds::RegularOnly); }
    void Input(const std::string& name) override { Hash(name, nullptr, m_settings.Inputs); }

    // An input (walked: the file as the walk found it) hashed in its turn: standard input read
    // here, any other file by a job. An input's name is copied only where running out of memory
    // is caught.
    void Hash(const std::string& name, const TFileName* walked, TNamedFileKinds kinds) {
        if (name != StandardInputName) {
            Hand(name, [&] { HandFile(walked ? *walked : TFileName(name), kinds); });
            return;
        }
        // Read here, in its turn, so that "-" given twice reads the rest after the first; read
        // once, so that a second try to hand it on does not read on.
        if (m_notReached > 0) {
            ++m_notReached;
            return;
        }
        std::optional<TJobResult> result;
        try {
            result.emplace(TJobResult{{}, ErrorLine(name, OutOfMemoryMessage), true});
            if (!m_standardInput)
                m_standardInput = std::make_unique<TStreamDigester>(
                    ChunkForJobs(1), StartThread, TreeThreadsForJobs(static_cast<int>(m_digesters.size())));
            *result = HashToLines(name, kinds, m_settings, *m_standardInput, result->Errors, nullptr);
        } catch (const std::bad_alloc&) {
            // The out-of-memory line made above stands for it; without it, nothing does.
        }
        Hand(name, [&] {
            if (!result)
                throw std::bad_alloc();
            Submit([result = *result](int) mutable { return std::move(result); });
        });
    }

    // An entry that ends in an error line is done as soon as it is met.
    void Skipped(const std::string& name, const std::string& reason) override {
        Hand(name, [&] {
            Submit([line = ErrorLine(name, "Skipped: " + reason)](int) mutable {
                return TJobResult{{}, std::move(line), false};
            });
            Done();
        });
    }

    void Failed(const std::string& name, const std::string& message) override {
        Hand(name, [&] {
            Submit([line = ErrorLine(name, message)](int) mutable { return TJobResult{{}, std::move(line), true}; });
            Done();
        });
    }

    // The walk itself ran out of memory: what it had not yet handed on is not reached.
    void WalkStopped() { m_walkStopped = true; }

    // Hands on the batch the walk left gathered, if any, as Hand hands on a name.
    void EndWalk() {
        if (m_batch && !TryTwice([&] { SubmitBatch(); }))
            StopHanding(nullptr);
    }

    // The line that ends a run that ran out of memory for good, "" when every input got its own.
    std::string NotReachedLine() const {
        if (m_notReached > 0)
            return NotReachedText(m_notReached, m_firstNotReached, m_walkStopped);
        if (!m_walkStopped)
            return {};
        if (m_lastReached.empty())
            return std::string(OutOfMemoryMessage).append(": no input reached\n");
        return std::string(OutOfMemoryMessage)
            .append(": the inputs after ")
            .append(Printable(m_lastReached))
            .append(" were not reached\n");
    }

private:
    // Hands one walked name on through handOn. When memory runs out, the results the jobs hold
    // are let go and it is tried once more; when that fails too, this name and every one after
    // it are only counted, which needs no memory, for the run's last line.
    template <class THandOn> void Hand(const std::string& name, THandOn handOn) {
        if (m_notReached > 0) {
            ++m_notReached;
            return;
        }
        if (TryTwice(handOn))
            Keep(m_lastReached, name);
        else
            StopHanding(&name);
    }

    // Runs handOn, which changes nothing when it throws; when memory runs out, the results the
    // jobs hold are let go and it is run once more. False when that failed too.
    template <class THandOn> bool TryTwice(THandOn handOn) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                handOn();
                return true;
            } catch (const std::bad_alloc&) {
                m_jobs.WaitDelivered();
            }
        }
        return false;
    }

    // Memory has run out for good: the gathered batch, then name when given, are the first
    // inputs not reached.
    void StopHanding(const std::string* name) {
        m_reserve.reset();
        if (m_batch) {
            Keep(m_firstNotReached, m_batch->Names.front().Path);
            m_notReached = m_batch->Names.size();
            m_batch.reset();
        } else if (name) {
            Keep(m_firstNotReached, *name);
        }
        if (name)
            ++m_notReached;
    }

    void HandFile(const TFileName& file, TNamedFileKinds kinds) {
        const std::string& name = file.Path;
        // The line for running out of memory is made here, on the walk's thread: a job's thread
        // that runs out may not even get the few bytes of a new line, but it can always hand
        // this one on. The task uses only what outlives the jobs, not the walker.
        std::string outOfMemory = ErrorLine(name, OutOfMemoryMessage);
        // The batch reads regular files only; a name the user gave may be a pipe or a device.
        if (!m_batchers.empty() && kinds == TNamedFileKinds::RegularOnly) {
            AddToBatch(file, std::move(outOfMemory));
            return;
        }
        Submit([&settings = m_settings, &digesters = m_digesters, gate = m_gate, file, kinds,
                outOfMemory = std::move(outOfMemory)](int worker) mutable {
            return HashToLines(file, kinds, settings, *digesters[static_cast<std::size_t>(worker)],
                               std::move(outOfMemory), gate);
        });
    }

    // Adds name to the gathered batch, first handing on a full one. Changes nothing when it
    // throws: every allocation comes before the batch takes the name.
    void AddToBatch(const TFileName& name, std::string outOfMemory) {
        const std::size_t batchFiles = SmallFileBatchFiles();
        if (m_batch && m_batch->Names.size() >= batchFiles)
            SubmitBatch();
        if (!m_batch) {
            auto batch = std::make_shared<TPendingBatch>();
            batch->Names.reserve(batchFiles);
            batch->OutOfMemory.Parts.reserve(batchFiles);
            m_batch = std::move(batch);
        }
        TFileName kept = name;
        m_batch->Names.push_back(std::move(kept));
        m_batch->OutOfMemory.Parts.push_back({{}, std::move(outOfMemory), true});
    }

    // Hands on the gathered batch, if any: before anything else is submitted, so that results
    // keep the order of the inputs. The task shares the batch, so that a task that cannot be
    // queued leaves it gathered.
    void SubmitBatch() {
        if (!m_batch)
            return;
        m_jobs.Submit([&settings = m_settings, &digesters = m_digesters, &batchers = m_batchers, gate = m_gate,
                       batch = m_batch](int worker) {
            const auto job = static_cast<std::size_t>(worker);
            return HashBatchToLines(batch->Names, settings, *digesters[job], batchers[job],
                                    std::move(batch->OutOfMemory), gate);
        });
        m_batch.reset();
    }

    // Once the sink has failed the walk has nothing left to do but end; it is not worth
    // breaking off, as every later Submit returns at once.
    void Submit(TOrderedJobs::TTask task) {
        SubmitBatch();
        m_jobs.Submit(std::move(task));
    }

    // Skipped entries and failed folders are done as soon as they are handed on.
    void Done() const {
        if (m_settings.Progress)
            m_settings.Progress->FileDone();
    }

    // Copies name into kept, within the capacity reserved when no more can be had.
    static void Keep(std::string& kept, const std::string& name) {
        try {
            kept = name;
        } catch (const std::bad_alloc&) {
            kept.assign(name, 0, std::min(name.size(), kept.capacity()));
        }
    }

    const TFileListSettings& m_settings;
    std::vector<std::unique_ptr<TStreamDigester>>& m_digesters;
    std::vector<TSmallFileBatcher>& m_batchers;
    TReadGate* m_gate;
    TOrderedJobs& m_jobs;
    std::shared_ptr<TPendingBatch> m_batch;
    // Standard input's reader on the walk's thread, made when "-" comes.
    std::unique_ptr<TStreamDigester> m_standardInput;
    std::unique_ptr<char[]> m_reserve;
    std::string m_lastReached;
    std::string m_firstNotReached;
    std::size_t m_notReached = 0;
    bool m_walkStopped = false;
};

} // namespace

int JobsForDescriptors(int jobs) {
    const std::optional<long> left = DescriptorsLeft(PlentyOfDescriptors);
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
    std::unique_ptr<char[]> reserve;
    std::vector<std::unique_ptr<TStreamDigester>> digesters;
    try {
        // Taken before the jobs' threads, which may take all the memory there is.
        reserve = std::make_unique<char[]>(ReserveBytes);
        for (int i = 0; i < jobCount; ++i)
            digesters.push_back(
                std::make_unique<TStreamDigester>(ChunkForJobs(jobCount), StartThread, TreeThreadsForJobs(jobCount)));
    } catch (const std::bad_alloc&) {
        // Fewer jobs: those whose digesters were made.
    }
    std::vector<TSmallFileBatcher> batchers;
    std::optional<TReadGate> gate;
    bool failed = false;
    bool writeFailed = false;
    // A batch's parts each go out in their turn, so that its error lines stand among its lines.
    const auto write = [&](const TJobResult& result) {
        failed = failed || result.Failed;
        return (result.Output.empty() || sink.Write(result.Output)) &&
               (result.Errors.empty() || sink.Error(result.Errors));
    };
    std::optional<TOrderedJobs> jobs;
    std::optional<TListWalker> walker;
    try {
        if (!reserve || digesters.empty())
            throw std::bad_alloc();
        const int workers = static_cast<int>(digesters.size());
        // A single file has nothing to hash beside it.
        if (!oneFile && BatchesSmallFiles(settings.Algorithms))
            for (int i = 0; i < workers; ++i)
                batchers.emplace_back(SmallFileBatchBytes(workers));
        // One job reads one file at a time anyway.
        if (workers > 1)
            gate.emplace(settings.ReadGate);
        jobs.emplace(workers, WindowPerJob * digesters.size(), [&](const TJobResult& result) {
            bool written = write(result);
            for (const TJobResult& part : result.Parts)
                written = written && write(part);
            writeFailed = writeFailed || !written;
            return written;
        });
        walker.emplace(settings, digesters, batchers, gate ? &*gate : nullptr, *jobs, std::move(reserve));
    } catch (const std::bad_alloc&) {
        // Not even the jobs could be set up: no input is reached.
        walker.reset();
        jobs.reset();
        batchers.clear();
        digesters.clear();
        if (inputs.empty())
            throw;
        return sink.Error(NotReachedText(inputs.size(), inputs.front(), false)) ? TFileListResult::SomeFailed
                                                                                : TFileListResult::WriteFailed;
    }
    try {
        WalkInputs(inputs, settings.Recursive, *walker, settings.Output, TEntryTypes::Listed,
                   HeldFoldersForDescriptors(static_cast<int>(digesters.size())));
    } catch (const std::bad_alloc&) {
        walker->WalkStopped();
    }
    walker->EndWalk();
    jobs->Finish();
    if (const std::string last = walker->NotReachedLine(); !last.empty()) {
        failed = true;
        writeFailed = writeFailed || !sink.Error(last);
    }
    if (writeFailed)
        return TFileListResult::WriteFailed;
    return failed ? TFileListResult::SomeFailed : TFileListResult::AllHashed;
}
