// Data sets: string lists kept between runs, each in a file of its own in DataFolder().
//
// A data set name is reduced to its ASCII letters and digits, upper-cased ("System Config"
// and "system_config" both give SYSTEMCONFIG); the file is DataFolder() + "DataSet_" + that
// + ".dblst". A name without ASCII letters or digits addresses no file.
//
// File format: no header. An optional byte-order mark (see TextEncoding.h), then the list's
// text form in the list's remembered encoding (TStrings::Encoding). A plain list writes every
// line followed by CR LF. On reading, a line ends at CR LF, lone CR or lone LF, a final line
// break adds no empty line, and a NUL character is text (kept and written back).
//
// Both operations go through the list's virtual Clear, Text and SetText, so a list that
// stands for a control (a memo's adapter) keeps its own text form.
#pragma once

#include "tools/Strings.h"

#include <QString>

// Files larger than this are not loaded, and lists whose file would be larger are not saved
// (what a save writes, a load accepts): a settings file never comes near it, and a huge or
// binary file put in its place must not exhaust memory.
inline constexpr qint64 DataSetMaxFileSize = 64 * 1024 * 1024;

// The file path of the data set name, or the empty text when the name normalises to nothing
// or DataFolder() is empty.
QString DataSetPath(const QString& name);

// Empties list (always, first), then fills it from the data set's file and makes the
// detected encoding its remembered encoding. Answers true only when the file existed and was
// read and decoded whole. False, with the list empty, for a name that addresses no file, an
// empty DataFolder(), a missing file, a path that is not a regular file after following
// links, a file larger than DataSetMaxFileSize, a read error, or a list that refuses the
// text. Never throws.
//
// A file that exists but does not load (anything but a missing file or folder) is remembered
// for the rest of the process: SaveDataSet refuses to write over it until a later load of it
// succeeds, so an empty list never replaces data that could not be read.
bool LoadDataSet(TStrings& list, const QString& name);

// Writes list to the data set's file in its remembered encoding, replacing the file
// atomically: the bytes go to a new owner-only (0600) file in the same folder, which is
// flushed to disk and then renamed over the old one. A link at the file's path is replaced
// by the new file, never written through. The folder is not created. Answers true when the
// file was written; on any failure false, and the previous file stays whole. Never throws.
//
// Refused (false, nothing written): a file that existed but did not load in this process (see
// LoadDataSet); a file (links followed) that is read-only for the user by its mode, the write
// bit of the owner, group or others as the user is one of them, root included; a list whose
// file would be larger than DataSetMaxFileSize.
bool SaveDataSet(const TStrings& list, const QString& name);
