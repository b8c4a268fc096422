#include "platform/ShellFolders.h"

char SystemPathDelimiter() {
    return '/';
}

std::string SystemAppDataFolder() {
    return {};
}
