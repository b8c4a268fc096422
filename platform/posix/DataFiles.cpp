#include "platform/DataFiles.h"

#include "platform/Descriptors.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool InGroup(gid_t group) {
    if (group == ::getegid())
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = groups.empty() ? 0 : ::getgroups(static_cast<int>(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(count, 0), group) != groups.begin() + std::max(count, 0);
}

} // namespace

bool CreateOwnerOnlyFolders(const std::string& folder) {
    if (folder.empty())
        return false;
    if (IsFolder(folder))
        return true;
    // Walk down from the root, creating each missing level owner-only.
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        const std::string level = folder.substr(0, slash);
        if (::mkdir(level.c_str(), S_IRWXU) != 0 && !IsFolder(level))
            return false;
    }
    return ::mkdir(folder.c_str(), S_IRWXU) == 0 || IsFolder(folder);
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, const std::string& temporaryStem) {
    std::string temporary = temporaryStem + "XXXXXX";
    // mkostemp creates the file exclusively, owner-only.
    TFileHandle file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!file.IsOpen())
        return false;

    int error = 0;
    const bool written = ::fchmod(file.Get(), S_IRUSR | S_IWUSR) == 0 &&
                         WriteAllToDescriptor(file.Get(), bytes, error) && ::fsync(file.Get()) == 0 && file.Close() &&
                         ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        return false;
    }

    // Make the rename itself durable; the file is already complete, so a failure here is not
    // a failed save.
    const TFileHandle directory(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen())
        ::fsync(directory.Get());
    return true;
}

bool ModeDeniesWriting(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    mode_t writeBit = S_IWOTH;
    if (info.st_uid == ::geteuid())
        writeBit = S_IWUSR;
    else if (InGroup(info.st_gid))
        writeBit = S_IWGRP;
    return (info.st_mode & writeBit) == 0;
}

bool RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}
