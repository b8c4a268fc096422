// Keyed value lists: string lists of KEY=VALUE lines kept in ascending key order (the order
// of SortedList.h), so that a lookup is one binary search. The list's own order is never
// sorted: a list read from a file stays in file order, and where a hand-edited file is out of
// order a key the search misses is looked for line by line, so every key present is found and
// a setter overwrites its line instead of adding a second one (and removes any second line a
// hand edit gave the key).
//
// Keys are normalised to their ASCII letters and digits, upper-cased ("Main Form" gives
// MAINFORM); a key that normalises to nothing is ignored by the setters, and the getters
// answer their default for it. A value is everything after the first "=" of its line; it is
// stored exactly as given and read back trimmed.
//
// Typed forms: floats in the FloatToText form (so integers as plain digits), Booleans as
// "1" and "0", item lists joined with JoinList and ";" ("a; b; c").
//
// ListGetItems works in ScratchList() (the settings store's work list, ConfigStore.h): the
// store lists must exist, and the call is not re-entrant.
#pragma once

#include "tools/Strings.h"

#include <QString>

// Stores value under key: overwrites the line of that key that the getters read, or inserts
// the line at its sorted place. Other lines of the key (a key written twice by hand) are
// removed, so the key is one line afterwards.
void ListSetValue(TStrings& list, const QString& key, const QString& value);
// Stores FloatToText(value).
void ListSetFloat(TStrings& list, const QString& key, double value);
// Stores "1" for true, "0" for false.
void ListSetBool(TStrings& list, const QString& key, bool value);
// Stores JoinList(&items, ';', 0).
void ListSetItems(TStrings& list, const QString& key, const TStrings& items);

// The trimmed value of key; defaultValue (untouched) when the key is missing. A present but
// empty value answers the empty text.
QString ListGetValue(const TStrings& list, const QString& key, const QString& defaultValue);

// The value read with TextToFloat (a text without digits reads as 0, an overflow saturates);
// defaultValue when the key is missing or its value empty, without applying the range.
// Range: min == max means none; otherwise min applies when min != 0 or min < max, then max
// applies when max != 0 or min < max. So a bound of 0 is no bound unless the other bound lies
// beyond it, and inverted non-zero bounds (10, 5) give max for every present value.
double ListGetFloat(const TStrings& list, const QString& key, double defaultValue, double min, double max);

// ListGetFloat with the integers as doubles, rounded to the nearest integer with ties to
// even (2.5 gives 2, 3.5 gives 4) and saturated to the 32-bit range.
int ListGetInt(const TStrings& list, const QString& key, int defaultValue, int min, int max);

// ListGetFloat with default -1 and range 0..1, rounded as ListGetInt: defaultValue when that
// is negative (key or value missing), else true when it is above 0. "1", "7" and "0.51" read
// as true; "0", "0.5", "-3" and "yes" read as false.
bool ListGetBool(const TStrings& list, const QString& key, bool defaultValue);

// Splits the value of key with SplitList and ';' into ScratchList() (emptied first), then,
// unless target is ScratchList() itself, appends those items to target, after emptying it
// when clearFirst is set. A missing key or empty value leaves target as it was, even with
// clearFirst.
void ListGetItems(const TStrings& list, const QString& key, TStrings& target, bool clearFirst);
