#include "common/NumberParse.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The number as plain ASCII for std::from_chars (which takes no '+'), or empty when the text is not
// a decimal number. Checking the grammar here keeps "inf", "nan" and hex out, which from_chars accepts.
std::string Validated(QStringView text) {
    qsizetype i = 0, end = text.size();
    while (i < end && IsBlank(text[i]))
        ++i;
    while (end > i && IsBlank(text[end - 1]))
        --end;
    std::string out;
    if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-')) out += '-';
        ++i;
    }
    int mantissaDigits = 0;
    const auto digits = [&](int& count) {
        for (; i < end && IsDigit(text[i]); ++i, ++count)
            out += char(text[i].unicode());
    };
    digits(mantissaDigits);
    if (i < end && text[i] == QLatin1Char('.')) {
        out += '.';
        ++i;
        digits(mantissaDigits);
    }
    if (mantissaDigits == 0) return {};
    if (i < end && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        out += 'e';
        ++i;
        if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            out += char(text[i].unicode());
            ++i;
        }
        int exponentDigits = 0;
        digits(exponentDigits);
        if (exponentDigits == 0) return {};
    }
    if (i != end) return {};
    return out;
}

template <typename T> std::optional<T> Convert(QStringView text) {
    const std::string s = Validated(text);
    if (s.empty()) return std::nullopt;
    T value{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    // from_chars refuses numbers beyond the largest and those that round to zero; subnormals only for
    // long double (the C library's path), not for double, so the rule is applied here for every type.
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    if (value != 0 && !std::isnormal(value)) return std::nullopt;
    return value;
}

} // namespace

std::optional<long double> ParseExtended(QStringView text) {
    return Convert<long double>(text);
}

std::optional<double> ParseNumber(QStringView text) {
    return Convert<double>(text);
}

std::optional<float> ParseSingle(QStringView text) {
    const auto extended = ParseExtended(text);
    if (!extended) return std::nullopt;
    // Beyond half a unit above the largest float, the value would round to infinity.
    constexpr float largest = std::numeric_limits<float>::max();
    constexpr long double overflow = largest + 0x1p103L;
    const long double magnitude = std::fabs(*extended);
    if (magnitude >= overflow) return std::nullopt;
    const float value = magnitude > largest ? std::copysign(largest, float(std::signbit(*extended) ? -1 : 1))
                                            : float(*extended);
    if (*extended != 0 && !std::isnormal(value)) return std::nullopt;
    return value;
}

std::optional<qint32> ParseTruncatedInt(QStringView text) {
    const auto extended = ParseExtended(text);
    if (!extended) return std::nullopt;
    const long double whole = std::trunc(*extended);
    if (whole < std::numeric_limits<qint32>::min() || whole > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(whole);
}
