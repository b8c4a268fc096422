// The standard streams' bytes in a console: the program's UTF-8 lines show as their characters
// whatever the console's code page, however they are cut into writes, and bytes that are not
// UTF-8 show as U+FFFD with the rest of the line kept. A pipe still gets the bytes as written.
#include "platform/Descriptors.h"
#include "platform/Terminal.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TConsoleCase {
    const char* Name;
    std::vector<std::string> Writes;
    std::u16string Shown;
};

const TConsoleCase ConsoleCases[] = {
    {"a name outside the code page",
     {"\xC3\x9Cn\xC3\xAF"
      "c\xC3\xB8"
      "d\xC3\xA9 \xE2\x9C\x93.txt"},
     u"\u00DCn\u00EFc\u00F8d\u00E9 \u2713.txt"},
    {"characters cut between writes", {"caf", "\xC3", "\xA9 \xE2\x9C", "\x93 ok"}, u"caf\u00E9 \u2713 ok"},
    {"a Windows-1252 byte", {"caf\xE9.txt: FAILED"}, u"caf\uFFFD.txt: FAILED"},
    {"a character cut short by what follows", {"name \xE2\x9C", " end"}, u"name \uFFFD end"},
};

std::string Hex(const std::string& bytes) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    for (const char byte : bytes) {
        hex += Digits[static_cast<unsigned char>(byte) >> 4];
        hex += Digits[static_cast<unsigned char>(byte) & 0xF];
    }
    return hex;
}

std::u16string UnitsFromHex(const std::string& hex) {
    std::u16string units;
    for (std::size_t at = 0; at + 4 <= hex.size(); at += 4)
        units += static_cast<char16_t>(std::stoi(hex.substr(at, 4), nullptr, 16));
    return units;
}

struct TRun {
    DWORD Status = 0;
    std::vector<std::string> Lines;
};

// Runs the console text writer in a console of its own without a window (as a program started
// from a pipe has none, under Wine too), and collects its standard output.
TRun RunInOwnConsole(const std::vector<std::string>& arguments) {
    std::wstring command = L"\"" + std::filesystem::path(QUVIRO_CONSOLE_TEXT_WRITER).make_preferred().wstring() + L"\"";
    for (const std::string& argument : arguments)
        command += L" " + std::filesystem::path(argument).wstring();
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    EXPECT_TRUE(::CreatePipe(&readEnd, &writeEnd, &inherited, 0));
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = writeEnd;
    start.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    TRun run;
    const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                          nullptr, &start, &process);
    EXPECT_TRUE(started) << "error " << ::GetLastError();
    ::CloseHandle(writeEnd);
    std::string output;
    char chunk[4096];
    DWORD read = 0;
    while (started && ::ReadFile(readEnd, chunk, sizeof chunk, &read, nullptr) && read > 0)
        output.append(chunk, read);
    ::CloseHandle(readEnd);
    if (!started)
        return run;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &run.Status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        run.Lines.push_back(line);
    }
    return run;
}

} // namespace

TEST(ConsoleOutputTest, ShowsTheCharactersOfUtf8Lines) {
    // Each case's writes, a space that ends an unfinished character, and the row's reading.
    std::vector<std::string> arguments;
    for (const TConsoleCase& c : ConsoleCases) {
        for (const std::string& bytes : c.Writes)
            arguments.push_back(Hex(bytes));
        arguments.push_back(Hex(" "));
        arguments.push_back("--");
    }
    const TRun run = RunInOwnConsole(arguments);
    ASSERT_EQ(run.Status, 0u) << "2: the writer had no console of its own";
    ASSERT_EQ(run.Lines.size(), std::size(ConsoleCases) + 1);
    EXPECT_EQ(run.Lines[0], "terminal 1") << "a console is a terminal";
    for (std::size_t i = 0; i < std::size(ConsoleCases); ++i)
        EXPECT_EQ(UnitsFromHex(run.Lines[i + 1]), ConsoleCases[i].Shown + u" ") << ConsoleCases[i].Name;
}

TEST(ConsoleOutputTest, APipeStillGetsTheBytes) {
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    const int pipe = ::_open_osfhandle(reinterpret_cast<intptr_t>(writeEnd), _O_WRONLY);
    ASSERT_GE(pipe, 0);
    const int savedError = ::_dup(StandardErrorFd);
    ASSERT_GE(savedError, 0);
    ASSERT_EQ(::_dup2(pipe, StandardErrorFd), 0);
    ::_close(pipe);
    const bool terminal = IsTerminal(StandardErrorFd);
    const std::string line = "caf\xC3\xA9 \xE9\n";
    int error = 0;
    const std::int64_t written = WriteDescriptor(StandardErrorFd, line.data(), line.size(), error);
    ::_dup2(savedError, StandardErrorFd);
    ::_close(savedError);
    EXPECT_FALSE(terminal);
    EXPECT_EQ(written, static_cast<std::int64_t>(line.size())) << "error " << error;
    std::string got(line.size() + 1, '\0');
    DWORD read = 0;
    ASSERT_TRUE(::ReadFile(readEnd, got.data(), static_cast<DWORD>(got.size()), &read, nullptr));
    got.resize(read);
    ::CloseHandle(readEnd);
    EXPECT_EQ(got, line);
}
