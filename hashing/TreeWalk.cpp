#include "hashing/TreeWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace {

constexpr const char* NotRegular = "not a regular file";

struct TEntry {
    std::string Name;
    unsigned char Type;
    ino_t Inode;
};

std::string CannotRead(int error) {
    return std::string("Cannot read folder: ") + std::strerror(error);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + '/' + name;
}

// The entries of folder without "." and "..", sorted; false with error set when it cannot be
// read. The folder is closed before this returns.
bool ReadFolder(const std::string& folder, TEntryTypes types, std::vector<TEntry>& entries, int& error) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        error = errno;
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            error = errno;
            break;
        }
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            entries.push_back({entry->d_name,
                               types == TEntryTypes::Listed ? entry->d_type : static_cast<unsigned char>(DT_UNKNOWN),
                               entry->d_ino});
    }
    ::closedir(dir);
    if (error != 0)
        return false;
    // std::string compares as unsigned bytes: the byte order of the names.
    std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) { return a.Name < b.Name; });
    return true;
}

unsigned char TypeOf(const std::string& path, bool followLinks, bool& exists) {
    struct stat info {};
    exists = (followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) == 0;
    if (!exists)
        return DT_UNKNOWN;
    if (S_ISREG(info.st_mode))
        return DT_REG;
    if (S_ISDIR(info.st_mode))
        return DT_DIR;
    if (S_ISLNK(info.st_mode))
        return DT_LNK;
    return DT_FIFO; // any other kind is skipped alike
}

// True when path is the file leave; the entry's inode number from the folder spares a stat for
// every other entry.
bool IsLeftOut(const std::string& path, ino_t inode, const std::optional<TFileIdentity>& leave) {
    struct stat info {};
    return leave && inode == leave->Inode && ::lstat(path.c_str(), &info) == 0 && info.st_dev == leave->Device &&
           info.st_ino == leave->Inode;
}

void WalkFolder(const std::string& folder, TEntryTypes types, TWalkVisitor& visitor,
                const std::optional<TFileIdentity>& leave) {
    std::vector<TEntry> entries;
    int error = 0;
    if (!ReadFolder(folder, types, entries, error)) {
        visitor.Failed(folder, CannotRead(error));
        return;
    }
    for (TEntry& entry : entries) {
        const std::string path = Join(folder, entry.Name);
        if (IsLeftOut(path, entry.Inode, leave))
            continue;
        bool exists = true;
        unsigned char type = entry.Type;
        if (type == DT_UNKNOWN)
            type = TypeOf(path, false, exists);
        if (type == DT_LNK) {
            type = TypeOf(path, true, exists);
            if (type == DT_DIR)
                continue;
        }
        if (!exists || type == DT_REG)
            visitor.File(path);
        else if (type == DT_DIR)
            WalkFolder(path, types, visitor, leave);
        else
            visitor.Skipped(path, NotRegular);
    }
}

} // namespace

void WalkInputs(const std::vector<std::string>& inputs, bool recursive, TWalkVisitor& visitor,
                std::optional<TFileIdentity> leave, TEntryTypes types) {
    for (const std::string& input : inputs) {
        bool exists = false;
        if (recursive && TypeOf(input, true, exists) == DT_DIR)
            WalkFolder(input, types, visitor, leave);
        else
            visitor.File(input);
    }
}
