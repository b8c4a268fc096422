#include "tools/Numbers.h"

#include "tests/tools/CommaLocale.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

struct TextToFloatCase {
    const char16_t* text;
    double expected;
};

const TextToFloatCase TextToFloatCases[] = {
    // Strict form.
    {u"12.5", 12.5},
    {u"  -3  ", -3},
    {u"1e3", 1000},
    {u"1E+3", 1000},
    {u"+4", 4},
    {u"1e-5", 0.00001},
    {u".5", 0.5},
    {u"5.", 5},
    {u"\t7\r\n", 7},
    {u"0.1", 0.1},
    {u"123456789012345678", 123456789012345678.0},
    // A mantissa without digits counts as 0.
    {u".", 0},
    {u"e5", 0},
    // Cleaned: separators, signs and stray characters.
    {u"12,5", 125},
    {u"1,234.56", 1234.56},
    {u"1.234,56", 1.23456},
    {u"1 000", 1000},
    {u"5-", -5},
    {u"1-2", -12},
    {u"--5", -5},
    {u"+-5", -5},
    {u"$ 12.50", 12.5},
    {u"1.2.3", 1.23},
    {u"1e5e6", 1e56},
    {u"1e", 1},
    {u"1e-5x", -100000},
    {u"1e.5", 0},
    {u"\u0661\u0662", 0},
    // Nothing to read.
    {u"", 0},
    {u"abc", 0},
    {u"-", 0},
    {u"+", 0},
    {u"e", 0},
    {u"   ", 0},
    // Out of the double range: overflow saturates, underflow rounds.
    {u"1E400", DBL_MAX},
    {u"-1E400", -DBL_MAX},
    {u"1e99999999999999999999", DBL_MAX},
    {u"1E400x", 0},
    {u"-1e999 ", -DBL_MAX},
    {u"1E-400", 0},
    {u"0.000000000000000000000000001e-390", 0},
    {u"1.7976931348623157e308", DBL_MAX},
    {u"4.9e-324", 4.9e-324},
};

TEST(TextToFloat, ReadsEveryCase) {
    for (const TextToFloatCase& c : TextToFloatCases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(TextToFloat(text), c.expected) << "text \"" << text.toStdString() << "\"";
    }
}

TEST(TextToFloat, NegativeZeroKeepsItsSignOnlyInStrictForm) {
    EXPECT_TRUE(std::signbit(TextToFloat(u"-0")));
    EXPECT_FALSE(std::signbit(TextToFloat(u"abc")));
}

struct CleanCase {
    const char16_t* text;
    const char16_t* expected;
};

const CleanCase CleanCases[] = {
    {u"", u"0"},       {u"abc", u"0"},      {u"-", u"0"},       {u"-e", u"0"},         {u"e", u"0"},
    {u"12,5", u"125"}, {u"1-2", u"-12"},    {u"+4", u"4"},      {u"1e5e6", u"1E56"},   {u"1.2.3", u"1.23"},
    {u"1e", u"1"},     {u"1e-5x", u"-1E5"}, {u"1e.5", u"1E.5"}, {u" 1 000 ", u"1000"}, {u"x.y", u"."},
    {u"E5", u"E5"},    {u"1,5E3", u"15E3"}, {u"-1-1", u"-11"},  {u"\u00BD", u"0"},
};

TEST(CleanNumberText, KeepsSignDigitsFirstSeparatorAndFirstExponent) {
    for (const CleanCase& c : CleanCases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(CleanNumberText(text), QString::fromUtf16(c.expected)) << "text \"" << text.toStdString() << "\"";
    }
}

struct ClampCase {
    int value, low, high, expected;
};

const ClampCase ClampCases[] = {
    {5, 0, 10, 5},
    {-3, 0, 10, 0},
    {12, 0, 10, 10},
    {10, 0, 10, 10},
    {0, 0, 10, 0},
    // low > high: the upper bound is tested first.
    {7, 10, 5, 5},
    {3, 10, 5, 10},
    {5, 10, 5, 10},
    {6, 10, 5, 5},
    {11, 10, 5, 5},
    {INT_MIN, INT_MIN, INT_MAX, INT_MIN},
    {INT_MAX, 0, 0, 0},
};

TEST(ClampInt, BoundsTheValue) {
    for (const ClampCase& c : ClampCases)
        EXPECT_EQ(ClampInt(c.value, c.low, c.high), c.expected)
            << "value " << c.value << " low " << c.low << " high " << c.high;
}

struct FormatCase {
    double value;
    const char* expected;
};

const FormatCase FormatCases[] = {
    {0, "0"},
    {-0.0, "0"},
    {-8, "-8"},
    {1072, "1072"},
    {2.5, "2.5"},
    {0.0001, "0.0001"},
    {0.001234, "0.001234"},
    {0.00001, "1E-5"},
    {1.5e-5, "1.5E-5"},
    {1e20, "1E20"},
    {123456789012345, "123456789012345"},
    {999999999999999, "999999999999999"},
    {1e15, "1E15"},
    {1234567890123456, "1.23456789012346E15"},
    {0.1 + 0.2, "0.3"},
    {1.0 / 3.0, "0.333333333333333"},
    {-2.0 / 3.0, "-0.666666666666667"},
    {9.999999999999999, "10"},
    {DBL_MAX, "1.79769313486232E308"},
    {4.9e-324, "4.94065645841247E-324"},
    {-1.25e-100, "-1.25E-100"},
    {100, "100"},
    {NAN, "NAN"},
    {INFINITY, "INF"},
    {-INFINITY, "-INF"},
};

TEST(FloatToText, WritesTheGeneralForm) {
    for (const FormatCase& c : FormatCases)
        EXPECT_EQ(FloatToText(c.value).toStdString(), c.expected) << "value " << c.value;
}

TEST(FloatToText, ReadsBackWithin15Digits) {
    for (const double value : {1072.0, -8.0, 2.5, 0.0001, 1.5e-5, 1e20, 123.456, -0.001})
        EXPECT_EQ(TextToFloat(FloatToText(value)), value) << "value " << value;
}

// The decimal separator is "." whatever the locale says.
TEST(Numbers, IgnoreACommaLocale) {
    TCommaLocale locale;
    if (!locale.Active())
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (scripts/ensure-locale generates it)";

    // The locale is really in effect for the C library and for Qt.
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.1f", 2.5);
    ASSERT_STREQ(buffer, "2,5");
    ASSERT_EQ(QLocale().toString(2.5), QStringLiteral("2,5"));

    EXPECT_EQ(TextToFloat(u"12.5"), 12.5);
    EXPECT_EQ(TextToFloat(u"12,5"), 125);
    EXPECT_EQ(TextToFloat(u"1.234,56"), 1.23456);
    EXPECT_EQ(CleanNumberText(u"1,5.5"), QStringLiteral("15.5"));
    EXPECT_EQ(FloatToText(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(FloatToText(1234567.5), QStringLiteral("1234567.5"));
    EXPECT_EQ(FloatToText(1.5e-5), QStringLiteral("1.5E-5"));
}

} // namespace
