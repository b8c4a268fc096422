#include "platform/CommandLine.h"

#include "platform/windows/SystemNames.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace {

bool HasWildcard(std::wstring_view text) {
    return text.find_first_of(L"*?") != std::wstring_view::npos;
}

// The names pattern's last component matches in its folder, each with the folder part as the
// user typed it; none when the folder part has wildcards too, as the system matches only the
// last component.
std::vector<std::string> Matches(const std::wstring& pattern) {
    const std::size_t separator = pattern.find_last_of(L"\\/:");
    const std::wstring folder = separator == std::wstring::npos ? std::wstring() : pattern.substr(0, separator + 1);
    if (HasWildcard(folder) || !HasWildcard(std::wstring_view(pattern).substr(folder.size())))
        return {};
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE search =
        ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    do {
        const std::wstring_view name(found.cFileName);
        if (name != L"." && name != L"..")
            names.push_back(Utf8Name(folder + found.cFileName));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool Exists(const std::wstring& name) {
    return ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    LPWSTR* const wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (wide == nullptr)
        return arguments;
    for (int i = 1; i < count; ++i) {
        const std::wstring argument(wide[i]);
        std::vector<std::string> matches;
        if (HasWildcard(argument) && !Exists(argument))
            matches = Matches(argument);
        if (matches.empty())
            arguments.push_back(Utf8Name(argument));
        else
            arguments.insert(arguments.end(), matches.begin(), matches.end());
    }
    ::LocalFree(wide);
    return arguments;
}

void UseBinaryStandardStreams() {
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}
