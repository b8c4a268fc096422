// A console shows UTF-16 text whatever its code page; the program writes UTF-8 bytes. The
// standard streams that are consoles get their bytes through here, so names outside the
// console's code page show as they are.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

// True when handle is a console's (only a console has a console mode).
bool IsConsole(HANDLE handle) noexcept;

// True when fd is standard output or standard error and shows in a console.
bool IsStandardConsole(int fd) noexcept;

// Writes UTF-8 bytes to the console of fd, a descriptor IsStandardConsole accepts, as UTF-16
// text: every byte is taken (a character cut at the end waits for the next write to the same
// descriptor), and bytes that are not UTF-8 show as U+FFFD. Answers the bytes taken, or -1 with
// error set when nothing could be written. Writes to one descriptor are taken one after the other.
// A character that the last write of all leaves unfinished is never shown: the program's lines
// end in a line feed or NUL, which finishes it.
std::int64_t WriteConsoleText(int fd, const void* bytes, std::size_t count, int& error) noexcept;
