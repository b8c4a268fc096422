#include "tools/KeyedList.h"

#include "tools/ConfigStore.h"
#include "tools/DelimitedList.h"
#include "tools/Numbers.h"
#include "tools/SortedList.h"
#include "tools/TextUtils.h"

#include <cmath>
#include <limits>

namespace {

constexpr QChar ItemDelimiter = u';';

// Rounds to the nearest integer, a tie going to the even neighbour, whatever the floating
// point rounding mode is; the result saturates to the 32-bit range.
int RoundHalfEven(double value) {
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (whole <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(whole);
}

// The index of the first line of the key (prefix is the normalised key and "="), or -1. A
// list in key order is searched once; a hand-edited file may not be in order, so a miss is
// checked line by line before the key counts as missing, and a setter never adds a second
// line for a key the file has.
int FindKey(const TStrings& list, const QString& prefix) {
    const int index = SortedFind(prefix, &list, true, false);
    if (index >= 0)
        return index;
    const int count = list.Count();
    for (int i = 0; i < count; ++i) {
        const QString line = list.Get(i);
        if (SameTextAscii(QStringView(line).left(prefix.size()), prefix))
            return i;
    }
    return -1;
}

// A key written twice by hand has more lines than the one FindKey answers; the getters read
// only that one, so a setter drops the others and the key is one line from then on.
void RemoveOtherLinesOfKey(TStrings& list, const QString& prefix, int kept) {
    for (int i = list.Count() - 1; i >= 0; --i) {
        if (i != kept && SameTextAscii(QStringView(list.Get(i)).left(prefix.size()), prefix))
            list.Delete(i);
    }
}

} // namespace

void ListSetValue(TStrings& list, const QString& key, const QString& value) {
    const QString normalized = NormalizeName(key);
    if (normalized.isEmpty())
        return;
    const QString prefix = normalized + u'=';
    int index = FindKey(list, prefix);
    if (index < 0)
        index = SortedAdd(prefix, list, true);
    list.Put(index, prefix + value);
    RemoveOtherLinesOfKey(list, prefix, index);
}

void ListSetFloat(TStrings& list, const QString& key, double value) {
    ListSetValue(list, key, FloatToText(value));
}

void ListSetBool(TStrings& list, const QString& key, bool value) {
    ListSetValue(list, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ListSetItems(TStrings& list, const QString& key, const TStrings& items) {
    ListSetValue(list, key, JoinList(&items, ItemDelimiter, 0));
}

QString ListGetValue(const TStrings& list, const QString& key, const QString& defaultValue) {
    const QString normalized = NormalizeName(key);
    if (normalized.isEmpty())
        return defaultValue;
    const int index = FindKey(list, normalized + u'=');
    if (index < 0)
        return defaultValue;
    const QString line = list.Get(index);
    return Trim(QStringView(line).mid(line.indexOf(u'=') + 1));
}

double ListGetFloat(const TStrings& list, const QString& key, double defaultValue, double min, double max) {
    const QString text = ListGetValue(list, key, QString());
    if (text.isEmpty())
        return defaultValue;
    double value = TextToFloat(text);
    if (min == max)
        return value;
    if ((min != 0 || min < max) && value < min)
        value = min;
    if ((max != 0 || min < max) && value > max)
        value = max;
    return value;
}

int ListGetInt(const TStrings& list, const QString& key, int defaultValue, int min, int max) {
    return RoundHalfEven(ListGetFloat(list, key, defaultValue, min, max));
}

bool ListGetBool(const TStrings& list, const QString& key, bool defaultValue) {
    const int value = RoundHalfEven(ListGetFloat(list, key, -1, 0, 1));
    if (value < 0)
        return defaultValue;
    return value > 0;
}

void ListGetItems(const TStrings& list, const QString& key, TStrings& target, bool clearFirst) {
    const TScratchListUse use;
    TStringList& scratch = use.List();
    scratch.Clear();
    const QString text = ListGetValue(list, key, QString());
    if (text.isEmpty())
        return;
    SplitList(text, &scratch, ItemDelimiter, false);
    if (&target == &scratch)
        return;
    if (clearFirst)
        target.Clear();
    for (const QString& item : scratch.Lines())
        target.Add(item);
}
