#include "tools/Numbers.h"

#include "tools/TextUtils.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr char16_t DecimalSeparator = u'.';

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Reads text in the strict form (see TextToFloat in the header). Answers false when the text
// is not in that form. The value is found with from_chars, which never consults the locale;
// the text is first rewritten into the form from_chars accepts (no "+", a digit before the
// exponent). A value beyond the double range saturates to the largest finite double of its
// sign and sets overflow.
bool StrictToFloat(QStringView text, double& value, bool& overflow) {
    overflow = false;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;

    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
        if (i == n)
            return false;
    }

    std::string mantissa;
    bool pointSeen = false;
    bool digitSeen = false;
    // Decimal exponent of the first significant digit, for telling overflow from underflow.
    long long magnitude = 0;
    bool significantSeen = false;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (IsDigit(c)) {
            digitSeen = true;
            mantissa += char(c);
            if (c != u'0' && !significantSeen) {
                significantSeen = true;
                if (!pointSeen)
                    magnitude = 1;
            } else if (significantSeen && !pointSeen) {
                ++magnitude;
            } else if (!significantSeen && pointSeen) {
                --magnitude;
            }
        } else if (c == DecimalSeparator && !pointSeen) {
            pointSeen = true;
            mantissa += '.';
        } else {
            break;
        }
    }

    long long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool exponentNegative = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            exponentNegative = text[i] == u'-';
            ++i;
        }
        if (i == n || !IsDigit(text[i].unicode()))
            return false;
        for (; i < n && IsDigit(text[i].unicode()); ++i) {
            // Beyond a million the value is zero or infinite anyway; stop counting there.
            if (exponent < 1000000)
                exponent = exponent * 10 + (text[i].unicode() - u'0');
        }
        if (exponentNegative)
            exponent = -exponent;
    }
    if (i != n)
        return false;

    if (!digitSeen || !significantSeen) {
        value = negative ? -0.0 : 0.0;
        return true;
    }

    std::string number = mantissa;
    number.append("e").append(std::to_string(exponent));
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (error == std::errc::result_out_of_range) {
        overflow = magnitude + exponent > 0;
        parsed = overflow ? std::numeric_limits<double>::max() : 0.0;
    } else if (error != std::errc() || end != number.data() + number.size()) {
        return false;
    }
    value = negative ? -parsed : parsed;
    return true;
}

} // namespace

double TextToFloat(QStringView text) {
    const QString trimmed = Trim(text);
    double value = 0.0;
    bool overflow = false;
    if (StrictToFloat(trimmed, value, overflow))
        return value;
    // Cleaning changed the text, so a cleaned value out of range counts as not a number.
    if (StrictToFloat(CleanNumberText(trimmed), value, overflow) && !overflow)
        return value;
    return 0.0;
}

QString CleanNumberText(QStringView text) {
    if (text.isEmpty())
        return QStringLiteral("0");

    QString result;
    if (text.contains(u'-'))
        result += u'-';
    bool separatorSeen = false;
    bool exponentSeen = false;
    for (const QChar c : text) {
        if (IsDigit(c.unicode())) {
            result += c;
        } else if (c == DecimalSeparator) {
            if (!separatorSeen)
                result += c;
            separatorSeen = true;
        } else if (c == u'e' || c == u'E') {
            if (!exponentSeen)
                result += u'E';
            exponentSeen = true;
        }
    }
    if (result.endsWith(u'E'))
        result.chop(1);
    if (result.isEmpty() || result == u"-")
        return QStringLiteral("0");
    return result;
}

int ClampInt(int value, int low, int high) {
    if (value > high)
        return high;
    if (value < low)
        return low;
    return value;
}

QString FloatToText(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0.0)
        return QStringLiteral("0");

    // Scientific form with 15 significant digits does the rounding: "d.dddddddddddddde+XX".
    char buffer[40];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    if (error != std::errc())
        return QStringLiteral("0");
    const std::string_view scientific(buffer, size_t(end - buffer));
    const size_t exponentMark = scientific.find('e');
    std::string digits;
    for (const char c : scientific.substr(0, exponentMark))
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    const std::string_view exponentText = scientific.substr(exponentMark + 1);
    const size_t skip = exponentText.front() == '+' ? 1 : 0;
    std::from_chars(exponentText.data() + skip, exponentText.data() + exponentText.size(), exponent);

    // e in the form 0.d1d2... x 10^e.
    const int e = exponent + 1;
    const int count = int(digits.size());
    std::string text = value < 0 ? "-" : "";
    if (e >= -3 && e <= 15) {
        if (e <= 0)
            text.append("0.").append(size_t(-e), '0').append(digits);
        else if (e >= count)
            text.append(digits).append(size_t(e - count), '0');
        else
            text.append(digits, 0, size_t(e)).append(".").append(digits, size_t(e));
    } else {
        text.append(digits, 0, 1);
        if (count > 1)
            text.append(".").append(digits, 1);
        text.append("E").append(std::to_string(exponent));
    }
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}
