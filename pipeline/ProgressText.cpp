#include "pipeline/ProgressText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr const char* Units[] = {"B", "KB", "MB", "GB", "TB", "PB", "EB"};
constexpr int UnitCount = sizeof Units / sizeof Units[0];

// value with decimals digits after a "." whatever the locale.
std::string Fixed(double value, int decimals) {
    char buffer[64];
    const std::to_chars_result end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, end.ptr);
}

} // namespace

std::string ByteCountText(std::int64_t bytes) {
    if (bytes < 1000)
        return std::to_string(bytes < 0 ? 0 : bytes) + " B";
    double value = static_cast<double>(bytes);
    int unit = 0;
    // The unit is chosen after rounding, so 999 999 bytes read "1.0 MB", not "1000 KB".
    while (unit + 1 < UnitCount && std::round(value) >= 999.5) {
        value /= 1000.0;
        ++unit;
    }
    const int decimals = std::round(value * 10.0) / 10.0 < 100.0 ? 1 : 0;
    return Fixed(value, decimals) + ' ' + Units[unit];
}

std::string DurationText(double seconds) {
    constexpr double MaxSeconds = 1e9; // about 31 years: beyond that nobody waits anyway
    if (!(seconds > 0))
        seconds = 0;
    const auto whole = static_cast<std::int64_t>(std::ceil(std::min(seconds, MaxSeconds)));
    if (whole < 60)
        return std::to_string(whole) + " s";
    if (whole < 3600)
        return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
}

int ProgressPercent(std::int64_t done, std::int64_t total) {
    if (total < 0 || done < 0 || done > total)
        return -1;
    if (done == total)
        return 100;
    // In floating point: done * 100 would overflow for counts near the 64-bit limit.
    const double percent = std::floor(100.0 * static_cast<double>(done) / static_cast<double>(total));
    return static_cast<int>(std::clamp(percent, 0.0, 99.0));
}

std::string ProgressText(std::int64_t done, std::int64_t total, std::int64_t elapsedMilliseconds) {
    const int percent = ProgressPercent(done, total);
    std::string text = ByteCountText(done);
    if (percent >= 0)
        text += " of " + ByteCountText(total) + " (" + std::to_string(percent) + " %)";
    if (elapsedMilliseconds <= 0 || done <= 0)
        return text;
    const double rate = static_cast<double>(done) * 1000.0 / static_cast<double>(elapsedMilliseconds);
    const double saturated = std::min(rate, static_cast<double>(std::numeric_limits<std::int64_t>::max() / 2));
    text += ", " + ByteCountText(static_cast<std::int64_t>(saturated)) + "/s";
    if (percent >= 0 && done < total)
        text += ", " + DurationText(static_cast<double>(total - done) / rate) + " left";
    return text;
}

std::string ListProgressText(std::int64_t filesDone, std::int64_t filesTotal, std::int64_t bytesDone,
                             std::int64_t bytesTotal, std::int64_t elapsedMilliseconds) {
    const std::int64_t files = std::max<std::int64_t>(filesDone, 0);
    std::string text = std::to_string(files);
    if (filesTotal >= files)
        text += " of " + std::to_string(filesTotal);
    text += filesTotal == 1 || (filesTotal < files && files == 1) ? " file, " : " files, ";
    return text + ProgressText(bytesDone, bytesTotal, elapsedMilliseconds);
}
