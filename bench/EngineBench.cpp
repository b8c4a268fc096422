// Throughput of the digest engines against libcrypto's EVP digests, in the same binary, at
// 64 bytes, 4 KiB and 1 MiB. Each iteration hashes one whole message: Init, Update, Final.
// The SHA engines run on the path this processor selects and, for comparison, on the portable
// path; BLAKE3 on each of its paths this processor runs, and on 1 and 2 threads, also at 64 MiB.
// Every row of the algorithm table is measured through TRunningDigest as the reader uses it
// ("<name>/table"), so the library-backed rows show what the engine interface costs.
#include "crypt/Blake3.h"
#include "crypt/Blake3Path.h"
#include "crypt/DigestPath.h"
#include "crypt/Md5.h"
#include "crypt/RunningDigest.h"
#include "crypt/Sha1.h"
#include "crypt/Sha256.h"
#include "hashing/Blake3Parallel.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t Sizes[] = {64, 4096, 1024 * 1024};

std::vector<std::uint8_t> Message(std::int64_t size) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::uint32_t x = 0x9e3779b9;
    for (auto& byte : bytes) {
        x = x * 1664525 + 1013904223;
        byte = static_cast<std::uint8_t>(x >> 24);
    }
    return bytes;
}

void HashMD5(const std::vector<std::uint8_t>& message) {
    TMD5Context context;
    MD5Init(context);
    MD5Update(context, message.data(), static_cast<std::uint32_t>(message.size()));
    benchmark::DoNotOptimize(MD5Final(context));
}

void HashSHA1(const std::vector<std::uint8_t>& message) {
    TSHAContext context;
    SHA1Init(context);
    SHA1Update(context, message.data(), static_cast<std::int32_t>(message.size()));
    benchmark::DoNotOptimize(SHA1Final(context));
}

void HashSHA256(const std::vector<std::uint8_t>& message) {
    TSHAContext context;
    SHA256Init(context);
    SHA256Update(context, message.data(), static_cast<std::int32_t>(message.size()));
    benchmark::DoNotOptimize(SHA256Final(context));
}

void Quviro(benchmark::State& state, void (*hash)(const std::vector<std::uint8_t>&), TDigestPath path) {
    if (!UseDigestPath(path)) {
        state.SkipWithError("path not supported by this processor");
        return;
    }
    const std::vector<std::uint8_t> message = Message(state.range(0));
    for (auto _ : state)
        hash(message);
    state.SetBytesProcessed(state.iterations() * state.range(0));
    UseDigestPath(BestDigestPath());
}

// One EVP context for the whole run, as a caller hashing many messages would keep it.
void Libcrypto(benchmark::State& state, const EVP_MD* md) {
    const std::vector<std::uint8_t> message = Message(state.range(0));
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    for (auto _ : state) {
        if (EVP_DigestInit_ex(context, md, nullptr) != 1 ||
            EVP_DigestUpdate(context, message.data(), message.size()) != 1 ||
            EVP_DigestFinal_ex(context, digest, &length) != 1) {
            state.SkipWithError("EVP digest failed");
            break;
        }
        benchmark::DoNotOptimize(digest);
    }
    EVP_MD_CTX_free(context);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BLAKE3OnPath(benchmark::State& state, TBLAKE3Path path) {
    if (!UseBLAKE3Path(path)) {
        state.SkipWithError("path not supported by this processor");
        return;
    }
    const std::vector<std::uint8_t> message = Message(state.range(0));
    TBLAKE3Context context;
    for (auto _ : state) {
        BLAKE3Init(context);
        BLAKE3Update(context, message.data(), message.size());
        benchmark::DoNotOptimize(BLAKE3Final(context));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    UseBLAKE3Path(BestBLAKE3Path());
}

// The threads live as long as the hasher, as they do for a file read span after span.
void BLAKE3OnThreads(benchmark::State& state, unsigned threads) {
    const std::vector<std::uint8_t> message = Message(state.range(0));
    TBLAKE3Parallel hasher(threads);
    for (auto _ : state) {
        hasher.Update(message);
        benchmark::DoNotOptimize(hasher.Final());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// One TRunningDigest per message, as the file reader makes one per file.
void Table(benchmark::State& state, THashAlgorithm algorithm) {
    const std::vector<std::uint8_t> message = Message(state.range(0));
    for (auto _ : state) {
        TRunningDigest digest(algorithm);
        digest.Update(message.data(), message.size());
        benchmark::DoNotOptimize(digest.Finish());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

benchmark::internal::Benchmark* Register(const std::string& name, auto&& function) {
    auto* benchmark = benchmark::RegisterBenchmark(name.c_str(), function);
    for (std::int64_t size : Sizes)
        benchmark->Arg(size);
    return benchmark;
}

} // namespace

int main(int argc, char** argv) {
    struct TAlgorithm {
        const char* Name;
        void (*Hash)(const std::vector<std::uint8_t>&);
        const EVP_MD* Md;
        bool HasPaths;
    };
    const TAlgorithm algorithms[] = {
        {"MD5", HashMD5, EVP_md5(), false},
        {"SHA1", HashSHA1, EVP_sha1(), true},
        {"SHA256", HashSHA256, EVP_sha256(), true},
    };
    const std::string path = BestDigestPath() == TDigestPath::ShaExtensions ? "sha_ext" : "portable";
    for (const TAlgorithm& algorithm : algorithms) {
        const std::string name = algorithm.Name;
        Register(name + "/quviro" + (algorithm.HasPaths ? "_" + path : ""),
                 [&algorithm](benchmark::State& state) { Quviro(state, algorithm.Hash, BestDigestPath()); });
        if (algorithm.HasPaths && BestDigestPath() != TDigestPath::Portable)
            Register(name + "/quviro_portable",
                     [&algorithm](benchmark::State& state) { Quviro(state, algorithm.Hash, TDigestPath::Portable); });
        Register(name + "/libcrypto", [&algorithm](benchmark::State& state) { Libcrypto(state, algorithm.Md); });
    }
    const struct {
        const char* Name;
        TBLAKE3Path Path;
    } blake3Paths[] = {{"portable", TBLAKE3Path::Portable},
                       {"sse41", TBLAKE3Path::SSE41},
                       {"avx2", TBLAKE3Path::AVX2},
                       {"avx512", TBLAKE3Path::AVX512}};
    for (const auto& path : blake3Paths)
        if (BLAKE3PathSupported(path.Path))
            Register(std::string("BLAKE3/quviro_") + path.Name,
                     [path = path.Path](benchmark::State& state) { BLAKE3OnPath(state, path); });
    for (unsigned threads : {1u, 2u})
        Register("BLAKE3/quviro_" + std::to_string(threads) + "_threads", [threads](benchmark::State& state) {
            BLAKE3OnThreads(state, threads);
        })->Arg(std::int64_t{64} << 20);
    for (const TAlgorithmInfo& row : AlgorithmTable())
        Register(std::string(row.Name) + "/table", [&row](benchmark::State& state) { Table(state, row.Id); });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
