// The program's text operations (text/PlainText.h) for the QString text of the window and its
// settings, and the conversions at that edge. Each answers what its text/ namesake answers, on
// the same UTF-16 code units; text that comes from below as std::u16string (Latin1,
// NameFromSystem) becomes a QString through ToQString.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <string>
#include <string_view>
#include <vector>

QString Trim(QStringView text);
QString Upper(QStringView text);
QString RemoveSpaces(QStringView text);
QString KeepNameChars(QStringView text);
QString NormalizeName(QStringView text);
bool SameTextAscii(QStringView a, QStringView b);
std::string SystemName(QStringView name);

// The code units of text, as the layers below the window take text; valid while text's
// characters are.
std::u16string_view Utf16(QStringView text);

// The texts of a list, as the layers below the window take a list of texts.
std::vector<std::u16string> Utf16List(const QStringList& texts);

// Text from the layers below the window as a QString, every code unit kept: unlike
// QString::fromStdU16String, a leading U+FEFF stays text.
QString ToQString(std::u16string_view text);
