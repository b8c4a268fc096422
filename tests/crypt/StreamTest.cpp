#include "crypt/Stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(MemoryStreamTest, WritesReadsAndSeeks) {
    TMemoryStream stream;
    EXPECT_EQ(stream.Write("hello world", 11), 11);
    EXPECT_EQ(stream.Size(), 11);
    EXPECT_EQ(stream.Position(), 11);

    stream.Seek(6);
    char buffer[16] = {};
    EXPECT_EQ(stream.Read(buffer, 16), 5);
    EXPECT_STREQ(buffer, "world");
    EXPECT_EQ(stream.Position(), 11);
    EXPECT_EQ(stream.Read(buffer, 4), 0);

    stream.Seek(0);
    EXPECT_EQ(stream.Write("J", 1), 1);
    EXPECT_EQ(stream.Bytes(), (Bytes{'J', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}));
}

TEST(MemoryStreamTest, SeekPastTheEndReadsNothingAndWritingThereFillsTheGapWithZeros) {
    TMemoryStream stream;
    stream.Write("ab", 2);
    stream.Seek(5);
    char buffer[4];
    EXPECT_EQ(stream.Read(buffer, 4), 0);
    EXPECT_EQ(stream.Position(), 5);
    EXPECT_EQ(stream.Size(), 2);
    stream.Write("z", 1);
    EXPECT_EQ(stream.Bytes(), (Bytes{'a', 'b', 0, 0, 0, 'z'}));
}

TEST(MemoryStreamTest, RefusesNegativeOffsetsCountsAndOverflowingWrites) {
    TMemoryStream stream;
    char buffer[1];
    EXPECT_THROW(stream.Seek(-1), EStreamError);
    EXPECT_THROW(stream.Read(buffer, -1), EStreamError);
    EXPECT_THROW(stream.Write(buffer, -1), EStreamError);
    stream.Seek(std::numeric_limits<std::int64_t>::max());
    EXPECT_THROW(stream.Write("x", 1), EWriteError);
    EXPECT_EQ(stream.Size(), 0);
}

TEST(MemoryStreamTest, ClearEmptiesAndRewinds) {
    TMemoryStream stream;
    stream.Write("abc", 3);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_TRUE(stream.Bytes().empty());
}

} // namespace
