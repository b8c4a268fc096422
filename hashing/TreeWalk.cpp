#include "hashing/TreeWalk.h"

#include "platform/FolderListing.h"

#include <algorithm>

namespace {

constexpr const char* NotRegular = "not a regular file";

std::string CannotRead(int error) {
    return "Cannot read folder: " + SystemErrorText(error);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + '/' + name;
}

// The entries of folder without "." and "..", sorted; false with error set when it cannot be
// read. The folder is closed before this returns.
bool ReadFolder(const std::string& folder, TEntryTypes types, std::vector<TFolderEntry>& entries, int& error) {
    if (!ListFolder(folder, entries, error))
        return false;
    if (types == TEntryTypes::Looked)
        for (TFolderEntry& entry : entries)
            entry.Kind.reset();
    // std::string compares as unsigned bytes: the byte order of the names.
    std::sort(entries.begin(), entries.end(),
              [](const TFolderEntry& a, const TFolderEntry& b) { return a.Name < b.Name; });
    return true;
}

// The kind of what path names; nothing when nothing is there.
std::optional<TFileKind> KindOf(const std::string& path, bool followLinks) {
    const std::optional<TFileInfo> info = LookAtPath(path, followLinks);
    return info ? std::optional(info->Kind) : std::nullopt;
}

// True when path is the file leave; the entry's inode number from the folder spares a look at
// every other entry.
bool IsLeftOut(const std::string& path, std::uint64_t inode, const std::optional<TFileIdentity>& leave) {
    if (!leave || inode != leave->Inode)
        return false;
    const std::optional<TFileInfo> info = LookAtPath(path, false);
    return info && info->Identity == *leave;
}

void WalkFolder(const std::string& folder, TEntryTypes types, TWalkVisitor& visitor,
                const std::optional<TFileIdentity>& leave) {
    std::vector<TFolderEntry> entries;
    int error = 0;
    if (!ReadFolder(folder, types, entries, error)) {
        visitor.Failed(folder, CannotRead(error));
        return;
    }
    for (TFolderEntry& entry : entries) {
        const std::string path = Join(folder, entry.Name);
        if (IsLeftOut(path, entry.Inode, leave))
            continue;
        std::optional<TFileKind> kind = entry.Kind ? entry.Kind : KindOf(path, false);
        if (kind == TFileKind::Link) {
            kind = KindOf(path, true);
            if (kind == TFileKind::Folder)
                continue;
        }
        if (!kind || kind == TFileKind::Regular)
            visitor.File(path);
        else if (kind == TFileKind::Folder)
            WalkFolder(path, types, visitor, leave);
        else
            visitor.Skipped(path, NotRegular);
    }
}

} // namespace

void WalkInputs(const std::vector<std::string>& inputs, bool recursive, TWalkVisitor& visitor,
                std::optional<TFileIdentity> leave, TEntryTypes types) {
    for (const std::string& input : inputs) {
        if (recursive && KindOf(input, true) == TFileKind::Folder)
            WalkFolder(input, types, visitor, leave);
        else
            visitor.Input(input);
    }
}
