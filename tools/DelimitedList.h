// Conversions between a string list and one line of delimited text.
//
// JoinList and SplitList are a matched pair with a small format of their own: items are
// trimmed and non-empty, separated by the delimiter D followed by a blank ("a; b; c" for
// D = ";"), and a "D " inside an item is written as "D." There is no quoting.
//
// SplitTextToList reads comma-separated style text with quoted fields into a list that it
// updates in place. Positions and lengths count UTF-16 code units.
#pragma once

#include "tools/Strings.h"

#include <QChar>
#include <QString>
#include <QStringView>

// Joins the trimmed, non-empty lines of list with "D " between them, each "D " inside a line
// written as "D.". Lines are taken while the result is shorter than limit; a result then
// longer than limit is cut to limit characters (the cut may fall inside an item). A limit of
// 0 means twice the length of the list's text form, which the result never reaches; a
// negative limit gives the empty text. An absent or empty list gives the empty text.
QString JoinList(const TStrings* list, QChar delimiter, int limit);

// Appends the items of text to list (clearing it first when clearFirst is set): items end at
// each "D ", every "D." inside an item turns back into "D ", items are not trimmed, and a
// separator at the very end adds no empty item. Does nothing for an absent list.
void SplitList(const QString& text, TStrings* list, QChar delimiter, bool clearFirst);

// Splits text into fields at delimiter (U+0000: DetectDelimiter chooses it). Blanks (U+0020
// only) before a field are skipped; an unquoted field runs to the next delimiter and keeps
// its trailing blanks; a field starting with a double quote runs to the closing quote, a
// doubled quote inside standing for one, and whatever follows the closing quote up to the
// next delimiter is dropped; a quoted field without a closing quote runs to the end. A text
// ending in the delimiter has a final empty field. In an unquoted field two double quotes in
// a row become one. The fields overwrite the list's lines from index 0 (so whatever else the
// list keeps per line stays), further fields are appended and surplus lines deleted, all
// inside one BeginUpdate/EndUpdate. Returns the number of fields, which is the list's new
// count. Failures of the list pass on to the caller.
int SplitTextToList(const QString& text, TStrings& list, QChar delimiter);

// The most frequent of the candidates "," ";" TAB ":" "|" "&" "\" "/" in text (quoted parts
// included); a tie goes to the one listed first, and a text without any gives ",".
QChar DetectDelimiter(QStringView text);

// Replaces every non-overlapping occurrence of find in text, from left to right, with
// replacement; text coming from a replacement is not searched again. With ignoreCase the
// letters a-z and A-Z match each other (no other case folding). An empty text or an empty
// find changes nothing.
void ReplaceAllText(QString& text, const QString& find, const QString& replacement, bool ignoreCase);
