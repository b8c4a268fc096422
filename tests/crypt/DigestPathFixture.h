// Runs a test suite once per compression path of the SHA engines. A path this processor cannot
// run is skipped with a message, never passed silently; the best path is restored afterwards.
#pragma once

#include "crypt/DigestPath.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

inline constexpr TDigestPath AllDigestPaths[] = {TDigestPath::Portable, TDigestPath::ShaExtensions};

inline std::string DigestPathName(TDigestPath path) {
    return path == TDigestPath::Portable ? "Portable" : "ShaExtensions";
}

inline void PrintTo(TDigestPath path, std::ostream* out) {
    *out << DigestPathName(path);
}

class TDigestPathTest : public testing::TestWithParam<TDigestPath> {
protected:
    void SetUp() override {
        if (!UseDigestPath(GetParam()))
            GTEST_SKIP() << DigestPathName(GetParam()) << " path not supported by this processor";
        ASSERT_EQ(ActiveDigestPath(), GetParam());
    }
    void TearDown() override { UseDigestPath(BestDigestPath()); }
};

// INSTANTIATE_DIGEST_PATHS(Suite): one instance of Suite per path, named after the path.
#define INSTANTIATE_DIGEST_PATHS(Suite)                                                                                \
    INSTANTIATE_TEST_SUITE_P(                                                                                          \
        Paths, Suite, testing::ValuesIn(AllDigestPaths),                                                               \
        [](const testing::TestParamInfo<TDigestPath>& info) { return DigestPathName(info.param); })
