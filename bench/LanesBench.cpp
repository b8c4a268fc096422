// MD5, SHA-1 and SHA-256 of sixteen messages of one size, and of 64 from 4 KiB to 64 KiB
// ("mixed"): through the lanes (MD5Many, SHA1Many, SHA256Many) on each lane path this processor
// runs, against the one-stream engines hashing them one after another (SHA-1 and SHA-256 on the
// SHA instructions where present and on the portable code). Bytes per second of all the messages; the ratio of a lane
// row to its one-stream row is what a list of small files gains per core.
#include "crypt/DigestLanes.h"
#include "crypt/DigestPath.h"
#include "crypt/Md5.h"
#include "crypt/Sha1.h"
#include "crypt/Sha256.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t Messages = 16;
constexpr std::int64_t Sizes[] = {512, 4096, 16 * 1024, 64 * 1024, 1024 * 1024};

struct TBatch {
    std::vector<std::vector<std::uint8_t>> Bytes;
    std::vector<TLaneMessage> Messages;
    std::int64_t Total = 0;
};

// Sixteen messages of size bytes each, or with size 0 the mixed batch: 64 messages of 4 KiB times
// 1 to 16 in an order where long and short ones alternate, so lanes that end take new messages.
TBatch Batch(std::int64_t size) {
    TBatch batch;
    std::uint32_t x = 0x9e3779b9;
    for (std::size_t i = 0; i < (size > 0 ? Messages : 4 * Messages); ++i) {
        const std::size_t length = size > 0 ? static_cast<std::size_t>(size) : 4096 * (1 + (i * 7) % Messages);
        std::vector<std::uint8_t> bytes(length);
        for (auto& byte : bytes) {
            x = x * 1664525 + 1013904223;
            byte = static_cast<std::uint8_t>(x >> 24);
        }
        batch.Bytes.push_back(std::move(bytes));
    }
    for (const auto& bytes : batch.Bytes) {
        batch.Messages.emplace_back(bytes.data(), bytes.size());
        batch.Total += static_cast<std::int64_t>(bytes.size());
    }
    return batch;
}

void MD5OneAfterAnother(benchmark::State& state) {
    const TBatch batch = Batch(state.range(0));
    for (auto _ : state)
        for (const TLaneMessage& message : batch.Messages) {
            TMD5Context context;
            MD5Init(context);
            MD5Update(context, message.data(), static_cast<std::uint32_t>(message.size()));
            benchmark::DoNotOptimize(MD5Final(context));
        }
    state.SetBytesProcessed(state.iterations() * batch.Total);
}

template <void (*Init)(TSHAContext&), void (*Update)(TSHAContext&, const void*, std::int32_t), auto Final>
void SHAOneAfterAnother(benchmark::State& state, TDigestPath path) {
    if (!UseDigestPath(path)) {
        state.SkipWithError("path not supported by this processor");
        return;
    }
    const TBatch batch = Batch(state.range(0));
    TSHAContext context;
    for (auto _ : state)
        for (const TLaneMessage& message : batch.Messages) {
            Init(context);
            Update(context, message.data(), static_cast<std::int32_t>(message.size()));
            benchmark::DoNotOptimize(Final(context));
        }
    state.SetBytesProcessed(state.iterations() * batch.Total);
    UseDigestPath(BestDigestPath());
}

template <class TDigest, void (*Many)(std::span<const TLaneMessage>, std::span<TDigest>)>
void OnLanes(benchmark::State& state, TLanePath path) {
    if (!UseLanePath(path)) {
        state.SkipWithError("path not supported by this processor");
        return;
    }
    const TBatch batch = Batch(state.range(0));
    std::vector<TDigest> digests(batch.Messages.size());
    for (auto _ : state) {
        Many(batch.Messages, digests);
        benchmark::DoNotOptimize(digests.data());
    }
    state.SetBytesProcessed(state.iterations() * batch.Total);
    UseLanePath(BestLanePath());
}

void Register(const std::string& name, auto&& function) {
    auto* benchmark = benchmark::RegisterBenchmark(name.c_str(), function);
    for (std::int64_t size : Sizes)
        benchmark->Arg(size);
    benchmark::RegisterBenchmark((name + "/mixed").c_str(), function)->Arg(0);
}

} // namespace

int main(int argc, char** argv) {
    Register("MD5/one_after_another", MD5OneAfterAnother);
    constexpr auto SHA1OneAfterAnother = SHAOneAfterAnother<SHA1Init, SHA1Update, SHA1Final>;
    constexpr auto SHA256OneAfterAnother = SHAOneAfterAnother<SHA256Init, SHA256Update, SHA256Final>;
    Register("SHA1/one_after_another_portable",
             [](benchmark::State& state) { SHA1OneAfterAnother(state, TDigestPath::Portable); });
    Register("SHA256/one_after_another_portable",
             [](benchmark::State& state) { SHA256OneAfterAnother(state, TDigestPath::Portable); });
    if (DigestPathSupported(TDigestPath::ShaExtensions)) {
        Register("SHA1/one_after_another_sha_ext",
                 [](benchmark::State& state) { SHA1OneAfterAnother(state, TDigestPath::ShaExtensions); });
        Register("SHA256/one_after_another_sha_ext",
                 [](benchmark::State& state) { SHA256OneAfterAnother(state, TDigestPath::ShaExtensions); });
    }
    const struct {
        const char* Name;
        TLanePath Path;
    } paths[] = {{"avx2", TLanePath::AVX2}, {"avx512", TLanePath::AVX512}};
    for (const auto& path : paths) {
        if (!LanePathSupported(path.Path))
            continue;
        Register(std::string("MD5/lanes_") + path.Name,
                 [path = path.Path](benchmark::State& state) { OnLanes<TMD5Digest, MD5Many>(state, path); });
        Register(std::string("SHA1/lanes_") + path.Name,
                 [path = path.Path](benchmark::State& state) { OnLanes<TSHA1Digest, SHA1Many>(state, path); });
    }
    if (LanePathSupported(TLanePath::AVX512))
        Register("SHA256/lanes_avx512",
                 [](benchmark::State& state) { OnLanes<TSHA256Digest, SHA256Many>(state, TLanePath::AVX512); });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
