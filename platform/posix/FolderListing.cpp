#include "platform/FolderListing.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
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

bool ListFolder(const std::string& folder, std::vector<TFolderEntry>& entries, int& error, TFolderHold* hold) {
    // O_DIRECTORY refuses anything else before it is opened, so a FIFO's open cannot wait here.
    TFileHandle opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC));
    if (!opened.IsOpen()) {
        error = errno;
        return false;
    }
    // The listing owns and closes a descriptor of its own; the held one is a copy, made only when
    // a descriptor is left for it.
    TFileHandle held;
    if (hold)
        held = TFileHandle(::fcntl(opened.Get(), F_DUPFD_CLOEXEC, 0));
    // Closed however the listing ends: adding an entry may throw when memory runs out.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(opened.Get()), ::closedir);
    if (!dir) {
        error = errno;
        return false;
    }
    opened.Release();
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
    if (held.IsOpen())
        *hold = std::make_shared<const TFileHandle>(std::move(held));
    return true;
}
