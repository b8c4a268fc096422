#include "hashing/TreeWalk.h"

#include "platform/FolderListing.h"

#include <algorithm>
#include <memory>

namespace {

constexpr const char* NotRegular = "not a regular file";

std::string CannotRead(int error) {
    return "Cannot read folder: " + SystemErrorText(error);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + '/' + name;
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

class TWalk {
public:
    TWalk(TEntryTypes types, TWalkVisitor& visitor, const std::optional<TFileIdentity>& leave, int heldFolders)
        : m_types(types), m_visitor(visitor), m_leave(leave), m_heldFolders(heldFolders) {}

    void Folder(const std::string& folder) {
        std::vector<TFolderEntry> entries;
        TFolderHold hold;
        int error = 0;
        if (!ReadFolder(folder, entries, hold, error)) {
            m_visitor.Failed(folder, CannotRead(error));
            return;
        }
        for (TFolderEntry& entry : entries) {
            TFileName name(Join(folder, entry.Name));
            if (IsLeftOut(name.Path, entry.Inode, m_leave))
                continue;
            std::optional<TFileKind> kind = entry.Kind ? entry.Kind : KindOf(name.Path, false);
            if (kind == TFileKind::Link) {
                kind = KindOf(name.Path, true);
                if (kind == TFileKind::Folder)
                    continue;
            }
            if (kind == TFileKind::Folder) {
                Folder(name.Path);
            } else if (kind && kind != TFileKind::Regular) {
                m_visitor.Skipped(name.Path, NotRegular);
            } else {
                name.Folder = hold;
                name.KnownRegular = kind.has_value();
                m_visitor.File(name);
            }
        }
    }

private:
    // The entries of folder without "." and "..", sorted, and the folder held open for their
    // opens while fewer than the walk may hold are; false with error set when it cannot be read.
    bool ReadFolder(const std::string& folder, std::vector<TFolderEntry>& entries, TFolderHold& hold, int& error) {
        // A folder is let go when the last of its files has been opened.
        std::erase_if(m_held, [](const std::weak_ptr<const TFileHandle>& held) { return held.expired(); });
        const bool mayHold = m_held.size() < static_cast<std::size_t>(std::max(m_heldFolders, 0));
        if (!ListFolder(folder, entries, error, mayHold ? &hold : nullptr))
            return false;
        if (hold)
            m_held.push_back(hold);
        if (m_types == TEntryTypes::Looked)
            for (TFolderEntry& entry : entries)
                entry.Kind.reset();
        // std::string compares as unsigned bytes: the byte order of the names.
        std::sort(entries.begin(), entries.end(),
                  [](const TFolderEntry& a, const TFolderEntry& b) { return a.Name < b.Name; });
        return true;
    }

    TEntryTypes m_types;
    TWalkVisitor& m_visitor;
    const std::optional<TFileIdentity>& m_leave;
    int m_heldFolders;
    std::vector<std::weak_ptr<const TFileHandle>> m_held;
};

} // namespace

void WalkInputs(const std::vector<std::string>& inputs, bool recursive, TWalkVisitor& visitor,
                std::optional<TFileIdentity> leave, TEntryTypes types, int heldFolders) {
    TWalk walk(types, visitor, leave, heldFolders);
    for (const std::string& input : inputs) {
        if (recursive && KindOf(input, true) == TFileKind::Folder)
            walk.Folder(input);
        else
            visitor.Input(input);
    }
}
