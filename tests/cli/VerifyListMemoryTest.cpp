// Memory running out while -C checks a list: the check never passes what it did not check, and
// it fails naming the list. The binary replaces the global operator new so that, while a check
// is under test, every allocation after a given number fails, on every thread.
#include "cli/ChecksumVerify.h"
#include "cli/CliOutput.h"
#include "platform/PathNames.h"
#include "tests/support/ReplacedNew.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <string>

namespace {

// Allocations that may still succeed; below 0, no count applies.
std::atomic<long> allocationsLeft{-1};

bool AllowWhileAllocationsLeft(std::size_t) {
    return allocationsLeft.load(std::memory_order_relaxed) < 0 ||
           allocationsLeft.fetch_sub(1, std::memory_order_relaxed) > 0;
}

namespace fs = std::filesystem;

// SHA-256 of "abc".
const std::string Abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

TEST(VerifyListMemoryTest, NoPassAndTheListNamedWhenMemoryRunsOut) {
    const fs::path folder =
        fs::temp_directory_path() / std::string("quviro-verify-memory-").append(std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "a.txt") << "abc";
    const std::string list = (folder / "SUMS").string();
    // The second line is longer than a list's lines may be: skipped, never the list's end.
    std::ofstream(list) << Abc << "  " << (folder / "a.txt").string() << "\n"
                        << std::string(200 * 1024, 'x') << "\n"
                        << Abc << "  " << (folder / "a.txt").string() << "\n";
    // Results and messages name files as lists write them ("/" between folders on Windows too).
    const std::string shownFile = PortableName((folder / "a.txt").string());
    const std::string ok = shownFile + ": OK\n";
    for (const long allowedAllocations : {0L, 1L, 2L, 3L, 5L, 8L, 13L, 21L, 34L, 55L, 89L, 144L, 100000L}) {
        SCOPED_TRACE(std::to_string(allowedAllocations) + " allocations");
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        ASSERT_TRUE(out && err);
        TVerifyOptions options;
        options.ListName = list;
        std::optional<bool> passed;
        {
            TCliOutput output(::dup(::fileno(out)), ::fileno(err), TStatusForm::Lines);
            SetAllocationHook(AllowWhileAllocationsLeft);
            allocationsLeft = allowedAllocations;
            try {
                passed = VerifyChecksumList(options, output);
            } catch (const std::bad_alloc&) {
            }
            allocationsLeft = -1;
            output.Finish();
        }
        std::rewind(out);
        std::rewind(err);
        std::string written;
        std::string errors;
        for (int c = 0; (c = std::fgetc(out)) != EOF;)
            written.push_back(static_cast<char>(c));
        for (int c = 0; (c = std::fgetc(err)) != EOF;)
            errors.push_back(static_cast<char>(c));
        std::fclose(out);
        std::fclose(err);
        ASSERT_TRUE(passed) << "memory running out escaped the check: " << errors;
        if (*passed) {
            EXPECT_EQ(written, ok + ok);
        } else {
            EXPECT_NE(written, ok + ok) << "a failure after every file was checked: " << errors;
            // The list failed, or a listed file did, each named: quoted where the name holds a
            // character a shell may take apart (the ":" of a drive), and the list as given when
            // memory did not even allow writing its name as lists do.
            const auto named = [&](const std::string& name) {
                return errors.find("quviro-cli: " + name + ": Out of memory\n") != std::string::npos ||
                       errors.find("quviro-cli: '" + name + "': Out of memory\n") != std::string::npos;
            };
            const bool listFailed = named(PortableName(list)) || named(list);
            const bool fileFailed = named(shownFile) && written.find(": FAILED open or read\n") != std::string::npos;
            EXPECT_TRUE(listFailed || fileFailed) << errors;
        }
    }
    fs::remove_all(folder);
}

} // namespace
