#include "tools/SortedList.h"

#include "tools/TextUtils.h"

#include <algorithm>

namespace {

// Three-way comparison of two texts that are already upper-cased.
int CompareKeys(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

QString Probe(const TStrings& list, int index, qsizetype keyLength, bool prefixMode) {
    const QString line = list.Get(index);
    return Upper(prefixMode ? QStringView(line).left(keyLength) : QStringView(line));
}

int FindInList(QStringView key, const TStrings& list, bool prefixMode, bool insertionPoint) {
    const int count = list.Count();
    if (key.isEmpty())
        return (count > 0 && list.Get(count - 1).isEmpty()) ? 0 : -1;

    const QString upperKey = Upper(key);
    int low = 0;
    int high = count - 1;
    int hit = -1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int order = CompareKeys(upperKey, Probe(list, middle, upperKey.size(), prefixMode));
        if (order < 0) {
            high = middle - 1;
        } else if (order > 0) {
            low = middle + 1;
        } else if (!prefixMode) {
            return middle;
        } else {
            // Keep going left so that the search ends at the first line with this prefix.
            hit = middle;
            high = middle - 1;
        }
    }
    if (hit >= 0)
        return hit;
    return insertionPoint ? low : -1;
}

} // namespace

int SortedFind(QStringView key, const TStrings* list, bool prefixMode, bool insertionPoint) {
    if (list == nullptr)
        return -1;
    try {
        return FindInList(key, *list, prefixMode, insertionPoint);
    } catch (...) {
        return -1;
    }
}

int SortedInsert(const QString& text, TStrings& list, bool& found, bool prefixMode) {
    found = false;
    const QString key = Upper(Trim(text));
    if (key.isEmpty())
        return -1;

    const int index = SortedFind(key, &list, prefixMode, true);
    if (index >= list.Count())
        return list.Add(text);

    const QString line = Upper(list.Get(index));
    if (line == key || (prefixMode && QStringView(line).left(key.size()) == key)) {
        found = true;
        return index;
    }
    list.Insert(index, text);
    return index;
}

int SortedAdd(const QString& text, TStrings& list, bool prefixMode) {
    bool found = false;
    return SortedInsert(text, list, found, prefixMode);
}
