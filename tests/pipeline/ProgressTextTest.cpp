// The progress line's words and numbers, and quviro-cli's decision to draw it.
#include "pipeline/ProgressText.h"
#include "cli/CliProgress.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdint>
#include <cstdio>
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
        EXPECT_EQ(ByteCountText(c.bytes).toStdString(), c.text) << c.bytes;
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
        EXPECT_EQ(DurationText(c.seconds).toStdString(), c.text) << c.seconds;
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
        EXPECT_EQ(ProgressText(c.done, c.total, c.elapsedMs).toStdString(), c.text);
    }
}

struct WantsCase {
    const char* name;
    bool asked;
    bool terminal;
    std::int64_t fileSize;
    bool wants;
};

const WantsCase WantsCases[] = {
    {"asked, not a terminal", true, false, 3, true},
    {"asked, text input", true, false, -1, true},
    {"terminal, large file", false, true, 64 * 1024 * 1024 + 1, true},
    {"terminal, exactly 64 MiB", false, true, 64 * 1024 * 1024, false},
    {"terminal, no file", false, true, -1, false},
    {"not a terminal, large file", false, false, std::int64_t{1} << 40, false},
};

TEST(CliProgressTest, WhenTheProgressIsDrawn) {
    for (const WantsCase& c : WantsCases)
        EXPECT_EQ(WantsProgress(c.asked, c.terminal, c.fileSize), c.wants) << c.name;
}

std::string Contents(std::FILE* file) {
    std::string text;
    std::rewind(file);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        text.push_back(static_cast<char>(c));
    return text;
}

// Each redraw covers the longer line before it, and the end wipes what was drawn.
TEST(CliProgressTest, RedrawsInPlaceAndWipesAtTheEnd) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    TLineProgress progress(out, std::chrono::milliseconds(0));
    progress.BytesHashed(1'000'000, 10'000'000);
    const std::string first = Contents(out);
    ASSERT_EQ(first.rfind("\r1.0 MB of 10.0 MB (10 %)", 0), 0u) << first;
    std::fseek(out, 0, SEEK_END);
    progress.BytesHashed(10'000'000, 10'000'000);
    progress.Clear();
    const std::string all = Contents(out);
    std::fclose(out);

    const std::string last = all.substr(all.rfind('\r', all.size() - 2));
    EXPECT_EQ(all.back(), '\r');
    EXPECT_EQ(last.find_first_not_of(" \r"), std::string::npos) << "the last line wipes: " << last;
    const std::size_t longest = first.size() - 1;
    EXPECT_GE(last.size() - 2, longest) << "the wipe covers the longest line";
}

TEST(CliProgressTest, NothingDrawnNothingWiped) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    TLineProgress progress(out);
    progress.Clear();
    EXPECT_EQ(Contents(out), "");
    std::fclose(out);
}

} // namespace
