// The program's own text operations on UTF-16 text: a character is one UTF-16 code unit, and
// nothing here consults the locale.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Removes leading and trailing code units <= U+0020 (U+0000 and all control characters).
std::u16string Trim(std::u16string_view text);

// Maps a-z to A-Z; every other code unit stays as it is.
std::u16string Upper(std::u16string_view text);

// Removes every U+0020; TAB, line breaks and all other characters stay.
std::u16string RemoveSpaces(std::u16string_view text);

// Keeps the space, 0-9, A-Z and a-z; removes every other character.
std::u16string KeepNameChars(std::u16string_view text);

// Upper(KeepNameChars(RemoveSpaces(Trim(text)))): the ASCII letters and digits of text,
// upper-cased. The form of data set names, keys and algorithm names.
std::u16string NormalizeName(std::u16string_view text);

// True when the two texts are equal after Upper.
bool SameTextAscii(std::u16string_view a, std::u16string_view b);

// The bytes of text as the code units U+0000 to U+00FF: the names of the algorithm table and
// hexadecimal digests, which are ASCII.
std::u16string Latin1(std::string_view text);

// Splits text into lines at CR LF, lone CR and lone LF; a final break adds no empty line.
std::vector<std::u16string> SplitLines(std::u16string_view text);

// A file name as platform/ takes it: UTF-8 on every system (platform/ makes the system's own
// form, UTF-16 on Windows). A lone surrogate, which no file name holds, becomes '?'.
std::string SystemName(std::u16string_view name);

// A name platform/ gave back, as text; bytes that are not UTF-8 become U+FFFD.
std::u16string NameFromSystem(std::string_view name);
