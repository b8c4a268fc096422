// The progress line's words and numbers.
#include "pipeline/ProgressText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr std::int64_t Max64 = std::numeric_limits<std::int64_t>::max();

struct ByteCase {
    std::int64_t bytes;
    const char* text;
};

const ByteCase ByteCases[] = {
    {-5, "0 B"},
    {0, "0 B"},
    {999, "999 B"},
    {1000, "1.0 KB"},
    {1049, "1.0 KB"},
    {9949, "9.9 KB"},
    {9960, "10.0 KB"},
    {99'960, "100 KB"}, // 99.96 rounds to 100: no decimal from there on
    {562'000'000, "562 MB"},
    {999'499, "999 KB"},
    {999'500, "1.0 MB"}, // rounds to 1000 KB, so the next unit
    {1'200'000'000, "1.2 GB"},
    {3'200'000'000, "3.2 GB"},
    {16'777'216, "16.8 MB"},
    {21'474'836'480, "21.5 GB"},
    {Max64, "9.2 EB"},
};

TEST(ProgressTextTest, ByteCounts) {
    for (const ByteCase& c : ByteCases)
        EXPECT_EQ(ByteCountText(c.bytes), c.text) << c.bytes;
}

struct DurationCase {
    double seconds;
    const char* text;
};

const DurationCase DurationCases[] = {
    {-1, "0 s"},           {0, "0 s"},
    {0.2, "1 s"},          {59, "59 s"},
    {59.5, "1 min 0 s"},   {125, "2 min 5 s"},
    {3599, "59 min 59 s"}, {3600, "1 h 0 min"},
    {3840, "1 h 4 min"},   {1e300, "277777 h 46 min"},
};

TEST(ProgressTextTest, Durations) {
    for (const DurationCase& c : DurationCases)
        EXPECT_EQ(DurationText(c.seconds), c.text) << c.seconds;
}

struct ProgressCase {
    const char* name;
    std::int64_t done;
    std::int64_t total;
    std::int64_t elapsedMs;
    int percent;
    const char* text;
};

const ProgressCase ProgressCases[] = {
    {"nothing yet", 0, 3'200'000'000, 0, 0, "0 B of 3.2 GB (0 %)"},
    {"nothing after a while", 0, 3'200'000'000, 800, 0, "0 B of 3.2 GB (0 %)"},
    {"mid", 1'200'000'000, 3'200'000'000, 857, 37, "1.2 GB of 3.2 GB (37 %), 1.4 GB/s, 2 s left"},
    {"slow and long", 562'000'000, 3'200'000'000, 3'580, 17, "562 MB of 3.2 GB (17 %), 157 MB/s, 17 s left"},
    {"minutes left", 1'000'000, 1'000'000'000, 1'000, 0, "1.0 MB of 1.0 GB (0 %), 1.0 MB/s, 16 min 39 s left"},
    {"one byte short of done", 3'199'999'999, 3'200'000'000, 2'000, 99, "3.2 GB of 3.2 GB (99 %), 1.6 GB/s, 1 s left"},
    {"done", 3'200'000'000, 3'200'000'000, 2'000, 100, "3.2 GB of 3.2 GB (100 %), 1.6 GB/s"},
    {"done at once", 3, 3, 0, 100, "3 B of 3 B (100 %)"},
    {"empty input", 0, 0, 5, 100, "0 B of 0 B (100 %)"},
    {"size unknown", 4'000'000, -1, 1'000, -1, "4.0 MB, 4.0 MB/s"},
    {"past the size", 5'000, 4'000, 1'000, -1, "5.0 KB, 5.0 KB/s"},
    {"huge counts", Max64 - 1, Max64, 1, 99, "9.2 EB of 9.2 EB (99 %), 4.6 EB/s, 1 s left"},
};

TEST(ProgressTextTest, Lines) {
    for (const ProgressCase& c : ProgressCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ProgressPercent(c.done, c.total), c.percent);
        EXPECT_EQ(ProgressText(c.done, c.total, c.elapsedMs), c.text);
    }
}

struct ListCase {
    const char* name;
    std::int64_t filesDone;
    std::int64_t filesTotal;
    std::int64_t bytesDone;
    std::int64_t bytesTotal;
    std::int64_t elapsedMs;
    const char* text;
};

const ListCase ListCases[] = {
    {"nothing yet", 0, 5, 0, 3'200'000'000, 0, "0 of 5 files, 0 B of 3.2 GB (0 %)"},
    {"mid", 3, 5, 1'200'000'000, 3'200'000'000, 857, "3 of 5 files, 1.2 GB of 3.2 GB (37 %), 1.4 GB/s, 2 s left"},
    {"one file", 0, 1, 1'000, 4'000, 1'000, "0 of 1 file, 1.0 KB of 4.0 KB (25 %), 1.0 KB/s, 3 s left"},
    {"totals not known", 12, -1, 1'200'000'000, -1, 2'000, "12 files, 1.2 GB, 600 MB/s"},
    {"one file, totals not known", 1, -1, 5, -1, 1'000, "1 file, 5 B, 5 B/s"},
    {"none", 0, -1, 0, -1, 250, "0 files, 0 B"},
    {"every file done", 5, 5, 3'200'000'000, 3'200'000'000, 2'000, "5 of 5 files, 3.2 GB of 3.2 GB (100 %), 1.6 GB/s"},
    {"the one file done", 1, 1, 4'000, 4'000, 1'000, "1 of 1 file, 4.0 KB of 4.0 KB (100 %), 4.0 KB/s"},
    {"every file done, all empty", 3, 3, 0, 0, 10, "3 of 3 files, 0 B of 0 B (100 %)"},
    // A file that grew since it was counted: the bytes go past the total.
    {"past the totals", 3, 2, 5'000, 4'000, 1'000, "3 files, 5.0 KB, 5.0 KB/s"},
};

TEST(ProgressTextTest, ListLines) {
    for (const ListCase& c : ListCases)
        EXPECT_EQ(ListProgressText(c.filesDone, c.filesTotal, c.bytesDone, c.bytesTotal, c.elapsedMs), c.text)
            << c.name;
}

} // namespace
