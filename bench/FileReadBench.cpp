// Ways of reading one large file for hashing, timed against hashing the same bytes already in
// memory: the engine's own speed is the bound that reading can at best reach.
//
//   memory      the file's bytes loaded beforehand, fed to the engine in 4 MiB chunks
//   overlapped  TStreamDigester: a second thread reads one buffer while the other is hashed
//   serial      TStreamDigester without its reading thread: read a 4 MiB chunk, hash it, read on
//   mapped      the file mapped into memory and hashed in place in 4 MiB chunks
//
// Then several digests in one read (TStreamDigester with a list of algorithms, each on its own
// thread): MD5 and SHA256 together against each alone, the target being at most 1.1x the
// slower one alone.
//
// Usage: file_read_bench FILE [REPETITIONS]. The methods take turns within each repetition, so
// load from other work falls on all of them alike; medians of wall time are printed.
#include "bench/WallTime.h"
#include "crypt/Hex.h"
#include "crypt/Md5.h"
#include "crypt/RunningDigest.h"
#include "crypt/Sha1.h"
#include "crypt/Sha256.h"
#include "crypt/Stream.h"
#include "hashing/FileStream.h"
#include "hashing/StreamDigest.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr std::int64_t Chunk = 4 * 1024 * 1024;

struct TAlgorithm {
    const char* Name;
    THashAlgorithm Id;
};

// Feeds bytes in chunks to the engine, as every reader does.
std::string HashBytes(THashAlgorithm algorithm, const std::uint8_t* data, std::int64_t size) {
    TRunningDigest digest(algorithm);
    for (std::int64_t done = 0; done < size;) {
        const std::int64_t n = std::min(Chunk, size - done);
        digest.Update(data + done, static_cast<std::size_t>(n));
        done += n;
    }
    return digest.Finish();
}

// The reader's way when its reading thread cannot start: each chunk read, then hashed.
std::thread NoThread(std::function<void()>) {
    throw std::system_error(EAGAIN, std::generic_category(), "no thread for the serial read");
}

std::string Mapped(THashAlgorithm algorithm, const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const off_t size = ::lseek(fd, 0, SEEK_END);
    void* map = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) {
        std::perror("mmap");
        std::exit(1);
    }
    ::madvise(map, static_cast<std::size_t>(size), MADV_SEQUENTIAL | MADV_WILLNEED);
    std::string digest = HashBytes(algorithm, static_cast<const std::uint8_t*>(map), size);
    ::munmap(map, static_cast<std::size_t>(size));
    return digest;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: file_read_bench FILE [REPETITIONS]\n");
        return 2;
    }
    const std::string path = argv[1];
    const int reps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    std::vector<std::uint8_t> bytes;
    {
        TFileStream stream(path);
        bytes.resize(static_cast<std::size_t>(stream.Size()));
        if (stream.Read(bytes.data(), stream.Size()) != stream.Size()) {
            std::fprintf(stderr, "file_read_bench: short read\n");
            return 1;
        }
    }
    const double mib = static_cast<double>(bytes.size()) / (1024 * 1024);
    std::printf("File: %s (%.0f MiB, in the page cache), %d repetitions, median wall seconds\n", path.c_str(), mib,
                reps);

    const char* const methods[] = {"memory", "overlapped", "serial", "mapped"};
    const TAlgorithm algorithms[] = {
        {"MD5", THashAlgorithm::MD5}, {"SHA1", THashAlgorithm::SHA1}, {"SHA256", THashAlgorithm::SHA256}};
    std::printf("%-8s %-11s %9s %9s %14s\n", "ALG", "METHOD", "WALL s", "MiB/s", "x memory time");
    int status = 0;
    for (const TAlgorithm& algorithm : algorithms) {
        std::vector<double> times[4];
        for (int rep = 0; rep < reps; ++rep) {
            std::string digests[4];
            times[0].push_back(
                Seconds([&] { return HashBytes(algorithm.Id, bytes.data(), static_cast<std::int64_t>(bytes.size())); },
                        digests[0]));
            times[1].push_back(Seconds(
                [&] {
                    TFileStream stream(path);
                    return TStreamDigester().Digest(algorithm.Id, stream);
                },
                digests[1]));
            times[2].push_back(Seconds(
                [&] {
                    TFileStream stream(path);
                    return TStreamDigester(Chunk, NoThread).Digest(algorithm.Id, stream);
                },
                digests[2]));
            times[3].push_back(Seconds([&] { return Mapped(algorithm.Id, path); }, digests[3]));
            for (int m = 1; m < 4; ++m)
                if (digests[m] != digests[0]) {
                    std::fprintf(stderr, "DIGEST MISMATCH %s %s\n", algorithm.Name, methods[m]);
                    status = 1;
                }
        }
        const double memory = Median(times[0]);
        for (int m = 0; m < 4; ++m) {
            const double wall = Median(times[m]);
            std::printf("%-8s %-11s %9.3f %9.0f %14.3f\n", algorithm.Name, methods[m], wall, mib / wall, wall / memory);
        }
    }

    // Several digests in one read: the wall time should be the slower algorithm's, not the sum.
    const std::vector<std::vector<THashAlgorithm>> lists = {
        {THashAlgorithm::MD5}, {THashAlgorithm::SHA256}, {THashAlgorithm::MD5, THashAlgorithm::SHA256}};
    const char* const listNames[] = {"MD5", "SHA256", "MD5+SHA256"};
    std::vector<double> listTimes[3];
    std::vector<std::string> together;
    for (int rep = 0; rep < reps; ++rep) {
        for (std::size_t l = 0; l < lists.size(); ++l) {
            std::string unused;
            listTimes[l].push_back(Seconds(
                [&] {
                    TFileStream stream(path);
                    together = TStreamDigester().Digest(lists[l], stream);
                    return std::string();
                },
                unused));
        }
        const std::string md5 = HashBytes(THashAlgorithm::MD5, bytes.data(), static_cast<std::int64_t>(bytes.size()));
        const std::string sha256 =
            HashBytes(THashAlgorithm::SHA256, bytes.data(), static_cast<std::int64_t>(bytes.size()));
        if (together != std::vector<std::string>{md5, sha256}) {
            std::fprintf(stderr, "DIGEST MISMATCH MD5+SHA256 in one read\n");
            status = 1;
        }
    }
    std::printf("\n%-11s %9s %9s\n", "ONE READ", "WALL s", "MiB/s");
    for (std::size_t l = 0; l < lists.size(); ++l) {
        const double wall = Median(listTimes[l]);
        std::printf("%-11s %9.3f %9.0f\n", listNames[l], wall, mib / wall);
    }
    const double ratio = Median(listTimes[2]) / std::max(Median(listTimes[0]), Median(listTimes[1]));
    std::printf("MD5+SHA256 in one read: %.2fx the slower alone (target <= 1.10x: %s)\n", ratio,
                ratio <= 1.10 ? "met" : "MISSED");
    return status;
}
