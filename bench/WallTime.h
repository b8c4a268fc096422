// Wall-time helpers shared by the benchmarks that time whole runs with their own clock.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Runs run once, keeps the digest it returns, and answers the wall seconds it took.
inline double Seconds(const std::function<std::string()>& run, std::string& digest) {
    const auto start = std::chrono::steady_clock::now();
    digest = run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The median of values; values is not empty.
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
