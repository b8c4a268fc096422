#include "platform/windows/Console.h"

#include "platform/Descriptors.h"
#include "platform/Utf8Decoder.h"
#include "platform/windows/SystemNames.h"

#include <array>
#include <mutex>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the console's wide text is UTF-16");

namespace {

// Each standard stream keeps its own unfinished character: standard output and standard error
// may be the same console, and their writes interleave. Indexed by descriptor.
struct TConsoleStream {
    std::mutex Lock;
    TUtf8Decoder Decoder;
};
std::array<TConsoleStream, StandardErrorFd + 1> ConsoleStreams;

bool WriteAllUnits(HANDLE console, const char16_t* units, std::size_t count) noexcept {
    while (count > 0) {
        DWORD written = 0;
        if (!::WriteConsoleW(console, units, static_cast<DWORD>(count), &written, nullptr) || written == 0)
            return false;
        units += written;
        count -= written;
    }
    return true;
}

} // namespace

bool IsConsole(HANDLE handle) noexcept {
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != 0;
}

bool IsStandardConsole(int fd) noexcept {
    return (fd == StandardOutputFd || fd == StandardErrorFd) && IsConsole(HandleOf(fd));
}

std::int64_t WriteConsoleText(int fd, const void* bytes, std::size_t count, int& error) noexcept {
    TConsoleStream& stream = ConsoleStreams[static_cast<std::size_t>(fd)];
    const std::lock_guard lock(stream.Lock);
    const HANDLE console = HandleOf(fd);
    std::string_view left(static_cast<const char*>(bytes), count);
    std::size_t shown = 0;
    std::array<char16_t, 4096> text;
    while (!left.empty()) {
        const TDecodedPiece piece = stream.Decoder.Decode(left, text);
        if (!WriteAllUnits(console, text.data(), piece.UnitsMade)) {
            error = LastErrorNumber();
            // The bytes of this piece were not shown, so none of it counts as written, nor
            // does a character it began.
            stream.Decoder.Reset();
            return shown > 0 ? static_cast<std::int64_t>(shown) : -1;
        }
        shown += piece.BytesTaken;
        left.remove_prefix(piece.BytesTaken);
    }
    return static_cast<std::int64_t>(shown);
}
