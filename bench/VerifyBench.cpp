// quviro-cli --verify's list checking on lists of 10 000 to 1 000 000 lines, every line naming
// the same small file: the time per line should not grow with the list, and the peak memory
// (counter peak_rss_MiB, the process's high-water mark after the run) should stay far below
// the list's size, since the list is read line by line and never held whole.
#include "cli/ChecksumVerify.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr char Sha256Abc[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

std::string MakeFolder() {
    char folder[] = "/tmp/quviro-verify-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr)
        return {};
    return folder;
}

// Writes line count times, never holding the whole file: the peak memory is the checker's.
bool WriteFile(const std::string& path, const std::string& line, std::int64_t count) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = true;
    for (std::int64_t i = 0; i < count; ++i)
        written = written && std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && written;
}

void VerifyList(benchmark::State& state) {
    const std::int64_t lines = state.range(0);
    const std::string folder = MakeFolder();
    const std::string list = folder + "/SHA256SUMS";
    const std::string line = std::string(Sha256Abc) + "  abc.txt\n";
    if (folder.empty() || !WriteFile(folder + "/abc.txt", "abc", 1) || !WriteFile(list, line, lines)) {
        state.SkipWithError("cannot write the list");
        return;
    }
    const auto listBytes = static_cast<double>(line.size()) * static_cast<double>(lines);

    const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    TVerifyOptions options;
    options.ListName = list;
    options.Quiet = true;
    for (auto _ : state) {
        TCliOutput output(sink, sink);
        if (!VerifyChecksumList(options, output) || !output.Flush()) {
            state.SkipWithError("the list did not verify");
            break;
        }
    }
    ::close(sink);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["list_MiB"] = listBytes / (1024.0 * 1024.0);
    state.SetItemsProcessed(state.iterations() * lines);
    std::remove(list.c_str());
    std::remove((folder + "/abc.txt").c_str());
    ::rmdir(folder.c_str());
}

BENCHMARK(VerifyList)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
