// The processor's flags from the kernel, and a fixture that runs a test suite once per
// compression path of the SHA engines. A path this processor cannot run is skipped with a
// message, never passed silently; the best path is restored afterwards.
#pragma once

#include "crypt/DigestPath.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <sstream>
#include <string>

// The processor's feature flags as the kernel lists them, a source independent of cpuid.
inline std::set<std::string> CpuFlags() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("flags", 0) != 0)
            continue;
        std::istringstream words(line.substr(line.find(':') + 1));
        return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
    }
    return {};
}

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
