// The program's own text operations. They work on UTF-16 code units and never consult
// the locale, unlike QString::trimmed or QString::toUpper.
#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// Removes leading and trailing code units <= U+0020 (U+0000 and all control characters).
QString Trim(QStringView text);

// Maps a-z to A-Z; every other code unit stays as it is.
QString Upper(QStringView text);

// Removes every U+0020; TAB, line breaks and all other characters stay.
QString RemoveSpaces(QStringView text);

// Keeps the space, 0-9, A-Z and a-z; removes every other character.
QString KeepNameChars(QStringView text);

// upper(KeepNameChars(RemoveSpaces(trim(text)))): the ASCII letters and digits of text,
// upper-cased. The form of data set names, keys and algorithm names.
QString NormalizeName(QStringView text);

// The bytes of text as the code units U+0000 to U+00FF: the names of the algorithm table and
// hexadecimal digests, which are ASCII.
QString Latin1(std::string_view text);

// The code units of text, as crypt/ takes text; valid while text's characters are.
std::u16string_view Utf16(QStringView text);

// True when the two texts are equal after Upper.
bool SameTextAscii(QStringView a, QStringView b);

// A file name as platform/ takes it: UTF-8 on every system (platform/ makes the system's own
// form, UTF-16 on Windows). A lone surrogate, which no file name holds, becomes '?'.
std::string SystemName(QStringView name);

// A name platform/ gave back, as text; bytes that are not UTF-8 become U+FFFD.
QString NameFromSystem(std::string_view name);
