#include "platform/ShellFolders.h"

#include "platform/windows/SystemNames.h"

#include <shlobj.h>

char SystemPathDelimiter() {
    return '\\';
}

std::string SystemAppDataFolder() {
    // The shell's folders fit MAX_PATH: the call takes no buffer size.
    wchar_t folder[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE) || folder[0] == L'\0')
        return {};
    std::string path = Utf8Name(folder);
    if (path.back() != SystemPathDelimiter())
        path += SystemPathDelimiter();
    return path;
}
