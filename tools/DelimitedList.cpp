#include "tools/DelimitedList.h"

#include "tools/TextUtils.h"

namespace {

// Replaces the first occurrence of from with to, over and over, until none is left. After a
// replacement at p no new occurrence can start before p, so each search starts there.
void ReplaceRepeatedly(QString& text, QStringView from, QStringView to) {
    qsizetype position = 0;
    while ((position = text.indexOf(from, position)) >= 0)
        text.replace(position, from.size(), to.toString());
}

// The character at a 1-based position.
QChar At(const QString& text, qsizetype position) {
    return text[position - 1];
}

} // namespace

QString JoinList(const TStrings* list, QChar delimiter, int limit) {
    QString result;
    if (list == nullptr || list->Count() <= 0)
        return result;

    qsizetype bound = limit;
    if (limit == 0)
        bound = 2 * list->Text().size();

    const QString separator = QString(delimiter) + u' ';
    const QString escaped = QString(delimiter) + u'.';
    const int count = list->Count();
    for (int i = 0; i < count && result.size() < bound; ++i) {
        QString item = Trim(list->Get(i));
        if (item.isEmpty())
            continue;
        ReplaceRepeatedly(item, separator, escaped);
        if (!result.isEmpty())
            result += separator;
        result += item;
    }
    if (result.size() > bound)
        result.truncate(bound < 0 ? 0 : bound);
    return result;
}

void SplitList(const QString& text, TStrings* list, QChar delimiter, bool clearFirst) {
    if (list == nullptr)
        return;
    if (clearFirst)
        list->Clear();

    const QString separator = QString(delimiter) + u' ';
    const QString escaped = QString(delimiter) + u'.';
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf(separator, start);
        QString item = end < 0 ? text.mid(start) : text.mid(start, end - start);
        start = end < 0 ? text.size() : end + separator.size();
        ReplaceRepeatedly(item, escaped, separator);
        list->Add(item);
    }
}

int SplitTextToList(const QString& text, TStrings& list, QChar delimiter) {
    int old = list.Count();
    if (delimiter == QChar(0))
        delimiter = DetectDelimiter(text);

    const QChar quote = u'"';
    const qsizetype n = text.size();
    int written = 0;
    TStringsUpdate update(list);

    auto store = [&](const QString& field) {
        if (written < old)
            list.Put(written, field);
        else
            list.Add(field);
        ++written;
    };

    // Positions below are 1-based.
    qsizetype pos = 1;
    while (n >= 1 && pos <= n) {
        bool quoteSeen = false;
        qsizetype start = pos;
        while (start <= n && At(text, start) == u' ')
            ++start;

        QString field;
        if (start > n) {
            pos = n + 1;
        } else if (At(text, start) == quote) {
            qsizetype q = start + 1;
            qsizetype close = 0;
            while (close == 0 && q < n) {
                if (At(text, q) == quote) {
                    ++q;
                    if (At(text, q) != quote)
                        close = q - 1;
                    else
                        quoteSeen = true;
                }
                ++q;
            }
            if (close == 0)
                close = At(text, n) == quote ? n : n + 1;
            field = text.mid(start, close - start - 1);
            pos = close + 1;
            while (pos < n && At(text, pos) != delimiter)
                ++pos;
            ++pos;
        } else if (At(text, start) == delimiter) {
            pos = start + 1;
        } else {
            qsizetype q = start + 1;
            while (q <= n && At(text, q) != delimiter) {
                if (At(text, q) == quote)
                    quoteSeen = true;
                ++q;
            }
            field = text.mid(start - 1, q - start);
            pos = q + 1;
        }
        if (quoteSeen)
            ReplaceAllText(field, QStringLiteral("\"\""), QStringLiteral("\""), false);
        store(field);
    }
    if (n >= 1 && At(text, n) == delimiter)
        store(QString());

    while (old > written) {
        list.Delete(written);
        --old;
    }
    return written;
}

QChar DetectDelimiter(QStringView text) {
    static constexpr char16_t candidates[] = {u',', u';', u'\t', u':', u'|', u'&', u'\\', u'/'};
    constexpr int candidateCount = int(std::size(candidates));
    qsizetype counts[candidateCount] = {};
    for (const QChar c : text)
        for (int i = 0; i < candidateCount; ++i)
            if (c == candidates[i])
                ++counts[i];

    // The bonus (8 - place) / 8 for the places 1 to 8 breaks ties in the candidates' order.
    QChar best = candidates[0];
    double bestScore = 0.0;
    for (int i = 0; i < candidateCount; ++i) {
        const double score = double(counts[i]) + double(candidateCount - 1 - i) / candidateCount;
        if (score > bestScore) {
            bestScore = score;
            best = candidates[i];
        }
    }
    return best;
}

void ReplaceAllText(QString& text, const QString& find, const QString& replacement, bool ignoreCase) {
    if (text.isEmpty() || find.isEmpty())
        return;

    // Upper keeps every length, so positions in the working copy are positions in the text.
    const QString work = ignoreCase ? Upper(text) : text;
    const QString key = ignoreCase ? Upper(find) : find;
    QString result;
    qsizetype from = 0;
    qsizetype match = 0;
    while ((match = work.indexOf(key, from)) >= 0) {
        result += QStringView(text).mid(from, match - from);
        result += replacement;
        from = match + key.size();
    }
    if (from == 0)
        return;
    result += QStringView(text).mid(from);
    text = result;
}
