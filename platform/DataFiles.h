// The data folder and the files in it: created owner-only, replaced atomically.
//
// Input text and salts may be secrets, so the folder is made 0700 and its files 0600, and a
// file is replaced only through a complete, synced new file renamed over it, never written in
// place.
#pragma once

#include <string>
#include <string_view>

// Creates folder and its missing parents, each owner-only (0700); true when folder is a folder
// afterwards, also when it was one already. An empty path is no folder.
bool CreateOwnerOnlyFolders(const std::string& folder);

// Replaces the file at path with bytes without ever leaving a partly written file there: the
// bytes go to a new owner-only file named temporaryStem plus six unique characters, in the same
// folder, which is synced and renamed over path; then the folder is synced so that the rename
// lasts. A link at path is replaced itself, so nothing outside the folder is written. On any
// failure the new file is removed and the previous file stays whole.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, const std::string& temporaryStem);

// True when path (links followed) is a regular file whose mode denies the user writing it, by
// the owner, group or other bits that apply to the user. The mode decides for root too.
bool ModeDeniesWriting(const std::string& path);

// Removes the file at path (a link itself, not its target); false when nothing was removed.
bool RemoveFile(const std::string& path);
