// The files that quviro-cli's INPUT arguments stand for, in the order they are to be hashed.
//
// Without recursion every input is a name to hash, as given. With it, an input that is a
// folder (after links are followed) is walked depth first: the entries of each folder in byte
// order of their names, named FOLDER/ENTRY from the folder's name as given. Inside a walk, a
// link to a file is hashed, a link to a folder is not followed (this keeps loops out), and a
// dangling link is handed on as a name to hash (whose open then fails). FIFOs, sockets and
// devices are skipped. A folder is read whole before its entries are visited, whatever its depth;
// its files are handed on with the folder held open (TFileName::Folder) for their opens, and
// with what the listing said of them, so that a file of the walk is opened without a look first.
// At most MaxHeldFolders folders are held at once, however long their files wait to be opened;
// the files of any other folder are opened by their whole path.
#pragma once

#include "platform/Files.h"

#include <optional>
#include <string>
#include <vector>

// Folders a walk holds open at once for the opens of their files, which may wait in the jobs
// after the walk has moved on, unless told fewer; the files of any folder beyond are opened by
// their whole path.
inline constexpr int MaxHeldFolders = 2;

class TWalkVisitor {
public:
    virtual ~TWalkVisitor() = default;
    // A name to hash: a regular file when the walk found it (KnownRegular), or an entry whose
    // open is to decide (missing, dangling).
    virtual void File(const TFileName& name) = 0;
    // An input as given that is not walked: a name the user chose, whatever it leads to.
    virtual void Input(const std::string& name) { File(name); }
    // An entry that is not hashed; reason is e.g. "not a regular file".
    virtual void Skipped(const std::string& name, const std::string& reason) = 0;
    // A folder that could not be read; message is e.g. "Cannot read folder: Permission denied".
    virtual void Failed(const std::string& name, const std::string& message) = 0;

protected:
    TWalkVisitor() = default;
    TWalkVisitor(const TWalkVisitor&) = default;
    TWalkVisitor& operator=(const TWalkVisitor&) = default;
};

// Where the walk learns what a folder's entry is: from the folder's listing, or by asking the
// file system about each entry (LookAtPath), as it must where listings carry no types (some
// network and older file systems). Both give the same walk; tests choose Looked to reach the second.
enum class TEntryTypes { Listed, Looked };

// Visits inputs in order; with recursive, folders among them are walked, at most heldFolders of
// them held open at once. A walk passes over the file leave (the list being written, when it lies
// inside a walked folder) without a word.
void WalkInputs(const std::vector<std::string>& inputs, bool recursive, TWalkVisitor& visitor,
                std::optional<TFileIdentity> leave = std::nullopt, TEntryTypes types = TEntryTypes::Listed,
                int heldFolders = MaxHeldFolders);
