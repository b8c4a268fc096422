// Keyed getters over an arbitrary stored file (any lines, in any order): nothing throws, an
// integer with a proper range (min < max) and a default inside it stays inside it, floats are
// finite, and a value set through the setters is read back, in a line of its own only when the
// list had none for its key.
#include "fuzz/FuzzInput.h"
#include "tools/ConfigStore.h"
#include "tools/KeyedList.h"
#include "tools/TextUtils.h"

#include <algorithm>
#include <cmath>

namespace {

void CheckGetters(const TStrings& list, const QString& key, int low, int high, const QString& context) {
    const int fallback = int(low + (std::int64_t{high} - low) / 2);
    const int value = ListGetInt(list, key, fallback, low, high);
    if (value < low || value > high)
        FuzzFailure("ListGetInt left its range", context);
    const double number = ListGetFloat(list, key, fallback, double(low), double(high));
    if (!std::isfinite(number) || number < low || number > high)
        FuzzFailure("ListGetFloat left its range", context);
    if (!std::isfinite(ListGetFloat(list, key, 0, 0, 0)))
        FuzzFailure("ListGetFloat without range is not finite", context);
    ListGetBool(list, key, true);
    ListGetValue(list, key, QString());

    TStringList items;
    ListGetItems(list, key, items, true);
    ListGetItems(list, key, ScratchList(), false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool created = (CreateStoreLists(), true);
    (void)created;

    TFuzzInput input(data, size);
    const int low = int(input.Range(INT32_MIN, INT32_MAX - 1));
    const int high = int(input.Range(low + 1LL, INT32_MAX));
    const QString key = input.Text();
    const QString value = input.Text();

    TStringList list;
    list.SetText(input.Text());
    const QString context = QStringLiteral("key ") + key + QStringLiteral(" in ") + list.Text();
    try {
        CheckGetters(list, key, low, high, context);
        for (int i = 0; i < list.Count() && i < 8; ++i)
            CheckGetters(list, list.Get(i).section(u'=', 0, 0), low, high, context);

        // In any order the setters and getters agree, and a key set has one line: the line read,
        // its other lines (a key written twice by hand) removed.
        if (NormalizeName(key).isEmpty())
            return 0;
        const QString prefix = NormalizeName(key) + u'=';
        const auto linesOfKey = [&list, &prefix] {
            int count = 0;
            for (int i = 0; i < list.Count(); ++i)
                count += SameTextAscii(QStringView(list.Get(i)).left(prefix.size()), prefix) ? 1 : 0;
            return count;
        };
        const int before = list.Count();
        const int keyLines = linesOfKey();
        ListSetValue(list, key, value);
        if (ListGetValue(list, key, QStringLiteral("missing")) != Trim(value))
            FuzzFailure("a value set is not read back", context);
        if (list.Count() != (keyLines == 0 ? before + 1 : before + 1 - keyLines) || linesOfKey() != 1)
            FuzzFailure("a setter left the key on other than one line", context);
    } catch (const std::exception& failure) {
        FuzzFailure("a keyed getter threw", context + QStringLiteral(": ") + QString::fromUtf8(failure.what()));
    }
    return 0;
}
