// Lenient number reading and the program's text form of numbers. Nothing here consults the
// locale: the decimal separator is always ".", whatever the user's locale or the C locale say.
#pragma once

#include <QString>
#include <QStringView>

// Turns any text into a double without ever reporting bad text. The trimmed text is first
// read strictly: optional leading blanks, an optional "+" or "-", decimal digits with at most
// one "." (a mantissa without digits counts as 0), then optionally "E" or "e", an optional
// sign and one or more digits, and nothing else. If that fails, the text is reduced with
// CleanNumberText and read strictly again; if that fails too, the result is 0.
// A text in strict form too large for a double saturates to the largest finite double of its
// sign (1E400 gives 1.7976931348623157E308); a cleaned text too large for a double gives 0
// (1E400x). A value too small rounds (1E-400 gives 0).
double TextToFloat(QStringView text);

// Reduces text to an optional leading "-" (present when text holds a "-" anywhere), its
// digits, its first "." and its first "E"/"e" (written "E"), in their order; everything else
// is dropped, a final "E" is removed, and a result that is empty or just "-" becomes "0".
// "12,5" gives "125", "1-2" gives "-12", "1e5e6" gives "1E56", "abc" gives "0".
QString CleanNumberText(QStringView text);

// high when value > high, else low when value < low, else value. The upper bound is tested
// first, so with low > high every value above high gives high and every other value low.
int ClampInt(int value, int low, int high);

// The general text form of a double: at most 15 significant digits, "." as the decimal
// separator, no thousands separator, no trailing zeros. Fixed notation when the value's
// decimal exponent e (value = 0.d1d2... x 10^e) lies in -3..15 ("-8", "1072", "0.0001",
// "2.5"), otherwise one digit, "." and the other digits if any, "E", "-" for a negative
// exponent and the exponent's digits ("1.5E-5", "1E20"). Not-a-number gives "NAN" and the
// infinities give "INF" and "-INF"; TextToFloat reads those three as 0.
QString FloatToText(double value);
