// Shows what a console makes of the program's standard-stream writes. Standard error becomes a
// console screen buffer at code page 437; each argument is the bytes of one write, in
// hexadecimal, and an argument "--" ends a line: the console's row so far goes to standard
// output as its UTF-16 units in hexadecimal, one line per row, and the console starts a new row.
// The first output line says whether standard error counts as a terminal. Run without a
// console of its own, it ends with status 2.
#include "platform/Descriptors.h"
#include "platform/Terminal.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

namespace {

std::string FromHex(const char* hex) {
    std::string bytes;
    for (; hex[0] != '\0' && hex[1] != '\0'; hex += 2)
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex, 2), nullptr, 16)));
    return bytes;
}

bool WriteWhole(const std::string& bytes) {
    int error = 0;
    return WriteDescriptor(StandardErrorFd, bytes.data(), bytes.size(), error) ==
           static_cast<std::int64_t>(bytes.size());
}

// The cursor's row up to the cursor, as hexadecimal UTF-16 units.
std::string CursorRowHex(HANDLE buffer) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(buffer, &info))
        return "?";
    std::wstring row(static_cast<std::size_t>(info.dwCursorPosition.X), L'\0');
    DWORD read = 0;
    if (!::ReadConsoleOutputCharacterW(buffer, row.data(), static_cast<DWORD>(row.size()),
                                       COORD{0, info.dwCursorPosition.Y}, &read))
        return "?";
    std::string hex;
    char unit[8];
    for (DWORD i = 0; i < read; ++i) {
        std::snprintf(unit, sizeof unit, "%04x", static_cast<unsigned>(row[i]));
        hex += unit;
    }
    return hex;
}

} // namespace

int main(int argc, char** argv) {
    // Another code page than the text's, so that bytes written as they are would show garbled.
    if (!::SetConsoleOutputCP(437))
        return 2;
    const HANDLE buffer = ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                      nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (buffer == INVALID_HANDLE_VALUE)
        return 2;
    const int console = ::_open_osfhandle(reinterpret_cast<intptr_t>(buffer), _O_WRONLY);
    if (console < 0 || ::_dup2(console, StandardErrorFd) != 0)
        return 2;
    std::printf("terminal %d\n", IsTerminal(StandardErrorFd) ? 1 : 0);
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != "--") {
            if (!WriteWhole(FromHex(argv[i])))
                return 1;
            continue;
        }
        std::printf("%s\n", CursorRowHex(buffer).c_str());
        if (!WriteWhole("\n"))
            return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
