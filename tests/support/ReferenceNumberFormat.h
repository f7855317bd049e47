#pragma once
// The number formats as they were before they moved to double-conversion: every digit from the exact
// decimal expansion that glibc's printf gives ("%.800e"), rounded here. Kept as the reference that
// the library-based formats must match digit for digit, and as the old cost in the benchmarks.
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace reference {
namespace detail {

// A non-negative value as significant digits (no leading or trailing zeros; none for zero) and the
// power of ten of the first digit.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

inline void StripTrailingZeros(Decimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

// The exact expansion of the stored binary value: no double has more than 767 significant digits, and
// glibc prints every one of them, so the caller can round the way it wants rather than printf's way
// (ties to even) and regardless of the locale's decimal point.
inline Decimal ExactDecimal(double magnitude) {
    char buf[900];
    std::snprintf(buf, sizeof buf, "%.800e", magnitude);
    Decimal d;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') d.digits += *p;
    }
    if (*p == 'e') d.exponent = std::atoi(p + 1);
    StripTrailingZeros(d);
    if (d.digits.empty()) d.exponent = 0;
    return d;
}

// Keeps `count` leading digits; the dropped ones round half away from zero, as the digits are exact.
inline void RoundTo(Decimal& d, int count) {
    if (count >= int(d.digits.size())) return;
    if (count < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    const bool up = d.digits[count] >= '5';
    d.digits.resize(count);
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[i];
        }
    }
    StripTrailingZeros(d);
    if (d.digits.empty()) d.exponent = 0;
}

inline const char* NonFinite(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

inline QString Justified(const std::string& text, int width) {
    return QString::fromLatin1(text.data(), qsizetype(text.size())).rightJustified(width, QLatin1Char(' '));
}

} // namespace detail

inline QString FormatGeneral(double value) {
    using namespace detail;
    if (!std::isfinite(value)) return QString::fromLatin1(NonFinite(value));
    if (value == 0) return QStringLiteral("0");
    Decimal d = ExactDecimal(std::fabs(value));
    RoundTo(d, 15);
    const int e = d.exponent;
    const std::string& digits = d.digits;
    std::string text = value < 0 ? "-" : "";
    if (e < -4 || e >= 15) {
        text += digits[0];
        if (digits.size() > 1) text += '.' + digits.substr(1);
        text += 'E' + std::to_string(e);
    } else if (e >= 0) {
        const size_t integerDigits = size_t(e) + 1;
        text += digits.substr(0, integerDigits);
        if (digits.size() < integerDigits) text.append(integerDigits - digits.size(), '0');
        if (digits.size() > integerDigits) text += '.' + digits.substr(integerDigits);
    } else {
        text += "0." + std::string(size_t(-e - 1), '0') + digits;
    }
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

inline QString FormatFixed(double value, int decimals, int width = 0) {
    using namespace detail;
    if (!std::isfinite(value)) return Justified(NonFinite(value), width);
    decimals = std::max(decimals, 0);
    Decimal d = ExactDecimal(std::fabs(value));
    if (!d.digits.empty()) RoundTo(d, d.exponent + 1 + decimals);
    const auto digitAt = [&d](int power) {
        const int index = d.exponent - power;
        return index >= 0 && index < int(d.digits.size()) ? d.digits[size_t(index)] : '0';
    };
    // As printf does, a negative value keeps its sign even when it rounds to zero.
    std::string text = std::signbit(value) ? "-" : "";
    for (int power = std::max(d.exponent, 0); power >= 0; --power)
        text += digitAt(power);
    if (decimals > 0) {
        text += '.';
        for (int power = -1; power >= -decimals; --power)
            text += digitAt(power);
    }
    return Justified(text, width);
}

} // namespace reference
