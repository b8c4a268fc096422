#include "platform/FolderListing.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>

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
    // Closed however the listing ends: adding an entry may throw when memory runs out.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) {
        error = errno;
        return false;
    }
    int failure = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            failure = errno;
            break;
        }
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            entries.push_back({entry->d_name, KindOf(entry->d_type), static_cast<std::uint64_t>(entry->d_ino)});
    }
    if (failure != 0) {
        error = failure;
        return false;
    }
    return true;
}
