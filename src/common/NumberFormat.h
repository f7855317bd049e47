#pragma once
#include <QString>
#include <concepts>

// Up to 15 significant digits, trailing zeros dropped, a point as separator; exponent notation
// ("1E-5", "-2.5E-7", "1E20") only below 0.0001 or beyond 15 integer digits.
QString FormatGeneral(double value);

// Fixed point with `decimals` digits, rounded on the exact stored value with halves away from zero,
// right-aligned to `width` characters.
QString FormatFixed(double value, int decimals, int width = 0);

// printf-style: "%W.Df" (FormatFixed) and "%d" / "%Wd" (integer, right-aligned). Any other text in
// the pattern stands for itself. Locale-independent. The value fills the first conversion; later ones
// are left as written, so a pattern with two is filled by formatting the result again.
QString FormatPrintf(const char* pattern, double value);
QString FormatPrintf(const char* pattern, qint64 value);
// Without it, an int or a qsizetype argument would be ambiguous between the two above.
template <std::integral T> QString FormatPrintf(const char* pattern, T value) {
    return FormatPrintf(pattern, qint64(value));
}
