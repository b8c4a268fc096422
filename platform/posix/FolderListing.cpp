#include "platform/FolderListing.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>

namespace {

std::optional<TFileKind> KindOf(unsigned char type) {
    switch (type) {
    case DT_REG:
        return TFileKind::Regular;
    case DT_DIR:
        return TFileKind::Folder;
    case DT_LNK:
        return TFileKind::Link;
    case DT_UNKNOWN:
        return std::nullopt;
    default:
        return TFileKind::Other;
    }
}

} // namespace

bool ListFolder(const std::string& folder, std::vector<TFolderEntry>& entries, int& error) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        error = errno;
        return false;
    }
    int failure = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            failure = errno;
            break;
        }
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            entries.push_back({entry->d_name, KindOf(entry->d_type), static_cast<std::uint64_t>(entry->d_ino)});
    }
    ::closedir(dir);
    if (failure != 0) {
        error = failure;
        return false;
    }
    return true;
}
