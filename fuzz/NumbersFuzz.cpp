// Lenient numbers on arbitrary text: nothing throws, every result is finite (overflow
// saturates), CleanNumberText always answers its documented shape, and a text in strict form
// reads as the standard library reads it.
#include "fuzz/FuzzInput.h"
#include "tools/Numbers.h"
#include "tools/TextUtils.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// "-"? digits "."? digits ("E" digits)?, not empty, not "-", not ending in "E", at most one
// "." and one "E", the "." never after the "E" except as CleanNumberText keeps it.
bool CleanShape(const QString& text) {
    if (text.isEmpty() || text == u"-" || text.endsWith(u'E'))
        return false;
    int points = 0;
    int marks = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'-' && i == 0)
            continue;
        if (c == u'.')
            ++points;
        else if (c == u'E')
            ++marks;
        else if (c < u'0' || c > u'9')
            return false;
    }
    return points <= 1 && marks <= 1;
}

// The strict form: sign, digits with at most one ".", then optionally an exponent with at
// least one digit. Leading blanks are gone after trimming.
bool StrictForm(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const std::size_t mantissa = i;
    bool point = false;
    for (; i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || (s[i] == '.' && !point)); ++i)
        point = point || s[i] == '.';
    if (i == mantissa)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t digits = i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
            ++i;
        if (i == digits)
            return false;
    }
    return i == s.size();
}

void CheckFinite(double value, const QString& text) {
    if (!std::isfinite(value))
        FuzzFailure("TextToFloat gave a value that is not finite", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFuzzInput input(data, size);
    const QString text = input.Text();

    double value = 0;
    QString cleaned;
    try {
        value = TextToFloat(text);
        cleaned = CleanNumberText(text);
    } catch (...) {
        FuzzFailure("a lenient number routine threw", text);
    }
    CheckFinite(value, text);
    if (!CleanShape(cleaned))
        FuzzFailure("CleanNumberText answered an unexpected shape", text + QStringLiteral(" -> ") + cleaned);
    CheckFinite(TextToFloat(cleaned), cleaned);

    // A strict text must read as from_chars reads it, where from_chars gives a value.
    const QString trimmed = Trim(text);
    bool ascii = true;
    for (const QChar c : trimmed)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        std::string s = trimmed.toStdString();
        if (StrictForm(s)) {
            if (s[0] == '+')
                s.erase(0, 1);
            double expected = 0;
            const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), expected);
            if (error == std::errc() && end == s.data() + s.size() && expected != value)
                FuzzFailure("a strict text reads differently from from_chars", text);
            if (error == std::errc::result_out_of_range && std::abs(value) > 1 &&
                std::abs(value) != std::numeric_limits<double>::max())
                FuzzFailure("an overflowing strict text does not saturate", text);
        }
    }
    return 0;
}
