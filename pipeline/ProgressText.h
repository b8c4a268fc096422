// The words and numbers of a running hash's progress, shared by the window and quviro-cli:
// "1.2 GB of 3.2 GB (37 %), 1.4 GB/s, 2 s left". Pure functions of the counts and the time; the
// texts are ASCII.
#pragma once

#include <cstdint>
#include <string>

// A byte count in decimal units (B, KB, MB, GB, TB, PB, EB; 1 KB = 1000 B): whole bytes, one
// decimal below 100 of a larger unit ("3.2 GB", "16.8 MB"), none from 100 on ("562 MB"); "."
// as the decimal point whatever the locale. Negative counts read as 0.
std::string ByteCountText(std::int64_t bytes);

// A duration rounded up to whole seconds: "0 s", "45 s", "2 min 5 s", "1 h 4 min". Negative
// reads as 0; very long durations saturate instead of overflowing.
std::string DurationText(double seconds);

// Done out of total as a whole percentage, rounded down, so 100 only once done reaches total;
// -1 when total is not known (negative) or done has gone past it.
int ProgressPercent(std::int64_t done, std::int64_t total);

// The progress line. With a known total (0 <= done <= total): "<done> of <total> (<p> %)";
// otherwise just "<done>". Once time has passed and bytes are done, ", <rate>/s" follows, and
// while bytes remain of a known total ", <duration> left" at that rate.
std::string ProgressText(std::int64_t done, std::int64_t total, std::int64_t elapsedMilliseconds);

// The progress line of work over many files: "3 of 5 files, " or "12 files, " (filesTotal -1
// when not known), then the bytes as ProgressText gives them: "3 of 5 files, 1.2 GB of 3.2 GB
// (37 %), 1.4 GB/s, 2 s left", "12 files, 1.2 GB, 340 MB/s".
std::string ListProgressText(std::int64_t filesDone, std::int64_t filesTotal, std::int64_t bytesDone,
                             std::int64_t bytesTotal, std::int64_t elapsedMilliseconds);
