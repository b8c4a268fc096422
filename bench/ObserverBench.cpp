// The cost of progress reporting and stop checks: the same file request through the pipeline
// with and without the window's observer (TProgressCounter). The file (256 MiB) sits in the
// page cache after the first pass, so the figures compare hashing, not the disk. On a busy
// machine the whole-file figures scatter by more than the cost itself; ChunkRead measures that
// cost alone: one read of one byte through the observed stream against a direct one, the
// difference being what every 4 MiB chunk pays.
#include "hashing/HashProgress.h"
#include "pipeline/HashPipeline.h"
#include "tools/TextUtils.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr std::int64_t MiB = 1024 * 1024;
constexpr std::int64_t FileSize = 256 * MiB;

// One file for the whole run, with bytes that are not all alike.
const QString& BenchFile() {
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString name = folder.filePath(QStringLiteral("bench.bin"));
        QFile file(name);
        std::vector<char> block(static_cast<std::size_t>(MiB));
        std::uint32_t x = 12345;
        bool written = file.open(QIODevice::WriteOnly);
        for (std::int64_t i = 0; written && i < FileSize / MiB; ++i) {
            for (char& c : block) {
                x = x * 1664525 + 1013904223;
                c = static_cast<char>(x >> 24);
            }
            written = file.write(block.data(), MiB) == MiB;
        }
        return written ? name : QString();
    }();
    return path;
}

void FileRequest(benchmark::State& state, const char* algorithm, bool observed) {
    HashRequest request;
    request.InputType = InputTypeFile;
    request.InputText = Utf16(BenchFile());
    request.HashItems = {std::u16string(Utf16(QString::fromLatin1(algorithm)))};
    request.HashType = 0;
    TProgressCounter counter;
    for (auto _ : state) {
        counter.Reset();
        const HashOutcome outcome = RunHashRequest(request, observed ? &counter : nullptr);
        if (!outcome.Succeeded()) {
            state.SkipWithError(ToQString(outcome.ErrorText).toStdString().c_str());
            break;
        }
        benchmark::DoNotOptimize(outcome.Digest);
    }
    state.SetBytesProcessed(state.iterations() * FileSize);
}

// Reads one byte at a time from a memory stream, directly or through TObservedStream.
void ChunkRead(benchmark::State& state, bool observed) {
    auto memory = std::make_unique<TMemoryStream>();
    const std::vector<char> bytes(static_cast<std::size_t>(MiB), 'x');
    memory->Write(bytes.data(), MiB);
    TMemoryStream* inner = memory.get();
    TProgressCounter counter;
    TObservedStream wrapper(std::move(memory), counter);
    TStream& stream = observed ? static_cast<TStream&>(wrapper) : *inner;
    char byte = 0;
    std::int64_t position = 0;
    for (auto _ : state) {
        if (position == MiB) {
            stream.Seek(0);
            position = 0;
        }
        benchmark::DoNotOptimize(stream.Read(&byte, 1));
        ++position;
    }
}

BENCHMARK_CAPTURE(ChunkRead, plain, false);
BENCHMARK_CAPTURE(ChunkRead, observed, true);

BENCHMARK_CAPTURE(FileRequest, MD5_plain, "MD5", false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FileRequest, MD5_observed, "MD5", true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FileRequest, SHA1_plain, "SHA1", false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FileRequest, SHA1_observed, "SHA1", true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FileRequest, SHA256_plain, "SHA256", false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FileRequest, SHA256_observed, "SHA256", true)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
