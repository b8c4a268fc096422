// BLAKE3 of one large file on 1 and 2 threads, timed against b3sum with the same thread count.
//
//   mapped  the file mapped into memory and handed to TBLAKE3Parallel as one span, as b3sum
//           hashes a file it maps
//   read    the file read into an 8 MiB buffer span after span, each span handed on
//   b3sum   `b3sum --num-threads N FILE`, its process started and awaited
//
// Usage: blake3_file_bench FILE [REPETITIONS]. The methods take turns within each repetition, so
// that load from other work falls on all of them alike; medians of wall time are printed, with
// each method's time against b3sum's and the speed-up from 1 to 2 threads. Every digest is
// checked against b3sum's.
#include "bench/WallTime.h"
#include "crypt/Hex.h"
#include "hashing/Blake3Parallel.h"
#include "platform/Files.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t ReadSpan = 8 * 1024 * 1024;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "blake3_file_bench: %s\n", message.c_str());
    std::exit(1);
}

TRegularFile Open(const std::string& path) {
    TRegularFile file = OpenRegularFile(path);
    if (file.Failure != TOpenFailure::None)
        Fail(path + ": cannot open (errno " + std::to_string(file.Error) + ")");
    return file;
}

std::string Mapped(const std::string& path, unsigned threads) {
    TRegularFile file = Open(path);
    const auto size = static_cast<std::size_t>(file.Info.Size);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.Handle.Get(), 0);
    if (map == MAP_FAILED)
        Fail("mmap failed");
    TBLAKE3Parallel hasher(threads);
    hasher.Update({static_cast<const std::uint8_t*>(map), size});
    ::munmap(map, size);
    return BLAKE3ToHex(hasher.Final());
}

std::string Read(const std::string& path, unsigned threads, std::vector<std::uint8_t>& buffer) {
    TRegularFile file = Open(path);
    TBLAKE3Parallel hasher(threads);
    for (;;) {
        const ssize_t got = ::read(file.Handle.Get(), buffer.data(), buffer.size());
        if (got < 0)
            Fail("read failed");
        if (got == 0)
            break;
        hasher.Update({buffer.data(), static_cast<std::size_t>(got)});
    }
    return BLAKE3ToHex(hasher.Final());
}

std::string B3sum(const std::string& path, unsigned threads) {
    const std::string command = "b3sum --no-names --num-threads " + std::to_string(threads) + " '" + path + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        Fail("cannot run b3sum");
    char line[128] = {};
    const bool got = std::fgets(line, sizeof line, pipe) != nullptr;
    if (::pclose(pipe) != 0 || !got)
        Fail("b3sum failed (Debian package b3sum)");
    return std::string(line).substr(0, 64);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: blake3_file_bench FILE [REPETITIONS]\n");
        return 2;
    }
    const std::string path = argv[1];
    const int reps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    std::vector<std::uint8_t> buffer(ReadSpan);
    const double mib = static_cast<double>(Open(path).Info.Size) / (1024 * 1024);
    std::printf("File: %s (%.0f MiB), %d repetitions, median wall seconds\n", path.c_str(), mib, reps);
    std::printf("%-7s %-7s %8s %9s %9s\n", "THREADS", "METHOD", "WALL s", "MiB/s", "x b3sum");

    const char* const methods[] = {"mapped", "read", "b3sum"};
    double medians[2][3] = {};
    for (unsigned threads : {1u, 2u}) {
        std::vector<double> times[3];
        for (int rep = 0; rep < reps; ++rep) {
            std::string digests[3];
            times[0].push_back(Seconds([&] { return Mapped(path, threads); }, digests[0]));
            times[1].push_back(Seconds([&] { return Read(path, threads, buffer); }, digests[1]));
            times[2].push_back(Seconds([&] { return B3sum(path, threads); }, digests[2]));
            for (int m = 0; m < 2; ++m)
                if (digests[m] != digests[2])
                    Fail(std::string(methods[m]) + " digest " + digests[m] + " differs from b3sum's " + digests[2]);
        }
        for (int m = 0; m < 3; ++m) {
            medians[threads - 1][m] = Median(times[m]);
            std::printf("%-7u %-7s %8.3f %9.0f %9.2f\n", threads, methods[m], medians[threads - 1][m],
                        mib / medians[threads - 1][m], medians[threads - 1][m] / Median(times[2]));
        }
    }
    for (int m = 0; m < 3; ++m)
        std::printf("%-7s 1 thread / 2 threads: %.2fx\n", methods[m], medians[0][m] / medians[1][m]);
    return 0;
}
