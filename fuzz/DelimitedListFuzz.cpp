// Round trips of the delimited list formats:
// - JoinList then SplitList gives the trimmed non-empty lines, where the one known loss of the
//   format applies: a "D." inside an item comes back as "D ".
// - Fields written in quoted comma-separated form come back from SplitTextToList exactly,
//   whatever the list held before; fields free of quotes, delimiters and leading blanks come
//   back from the plain joined form too.
#include "fuzz/FuzzInput.h"
#include "tools/DelimitedList.h"
#include "tools/TextUtils.h"

namespace {

QString ExpectedItem(const QString& line, QChar delimiter) {
    QString item = Trim(line);
    for (qsizetype i = 0; i + 1 < item.size(); ++i)
        if (item[i] == delimiter && item[i + 1] == u'.')
            item[i + 1] = u' ';
    return item;
}

QString Describe(const TStrings& list) {
    QString text;
    for (int i = 0; i < list.Count(); ++i)
        text += u'[' + list.Get(i) + u']';
    return text;
}

void CheckJoinSplit(const QStringList& lines, QChar delimiter) {
    TStringList list;
    for (const QString& line : lines)
        list.Add(line);
    const QString joined = JoinList(&list, delimiter, 0);

    TStringList expected;
    for (const QString& line : lines)
        if (!Trim(line).isEmpty())
            expected.Add(ExpectedItem(line, delimiter));

    TStringList split;
    split.Add(QStringLiteral("kept"));
    SplitList(joined, &split, delimiter, true);
    if (Describe(split) != Describe(expected))
        FuzzFailure("JoinList/SplitList round trip",
                    Describe(list) + QStringLiteral(" -> ") + joined + QStringLiteral(" -> ") + Describe(split));
}

void CheckSplitText(const QStringList& fields, QChar delimiter, int previousCount, bool quoted) {
    QString text;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += delimiter;
        if (quoted)
            text += u'"' + QString(fields[i]).replace(u'"', QStringLiteral("\"\"")) + u'"';
        else
            text += fields[i];
    }

    TStringList list;
    for (int i = 0; i < previousCount; ++i)
        list.Add(QStringLiteral("old"));
    const int count = SplitTextToList(text, list, delimiter);

    TStringList expected;
    for (const QString& field : fields)
        expected.Add(field);
    if (count != list.Count() || Describe(list) != Describe(expected))
        FuzzFailure("SplitTextToList round trip", text + QStringLiteral(" -> ") + Describe(list));
}

bool PlainField(const QString& field, QChar delimiter) {
    return !field.contains(u'"') && !field.contains(delimiter) && !field.startsWith(u' ');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFuzzInput input(data, size);
    static const char16_t Delimiters[] = u",;\t:|&\\/";
    const QChar delimiter(Delimiters[input.Range(0, 7)]);
    const int previousCount = int(input.Range(0, 7));

    QStringList parts;
    while (!input.Empty())
        parts.append(input.Text());

    CheckJoinSplit(parts, delimiter);

    // A single empty field cannot be written unquoted: the empty text has no field.
    const bool plain =
        std::all_of(parts.begin(), parts.end(), [&](const QString& f) { return PlainField(f, delimiter); });
    CheckSplitText(parts, delimiter, previousCount, true);
    if (plain && !(parts.size() == 1 && parts[0].isEmpty()))
        CheckSplitText(parts, delimiter, previousCount, false);
    return 0;
}
