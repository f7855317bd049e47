#include "common/NumberFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <double-conversion/double-to-string.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using double_conversion::DoubleToStringConverter;

// The digits of a non-negative value from double-conversion, which rounds the exact binary value
// with halves away from zero: value = 0.<digits> x 10^point. Trailing zeros may be missing.
class Digits {
  public:
    Digits(double magnitude, DoubleToStringConverter::DtoaMode mode, int requested) {
        // At most 309 digits before the point, `requested` after it, and the terminating zero.
        const size_t needed = size_t(requested) + 311;
        if (needed > small_.size()) large_.resize(needed);
        char* buffer = large_.empty() ? small_.data() : large_.data();
        bool negative = false;
        DoubleToStringConverter::DoubleToAscii(magnitude, mode, requested, buffer, int(needed), &negative,
                                               &length_, &point_);
        digits_ = buffer;
    }

    std::string_view Text() const { return {digits_, size_t(length_)}; }
    int Point() const { return point_; }
    // The digit that stands for 10^power, '0' beyond the digits given.
    char At(int power) const {
        const int index = point_ - 1 - power;
        return index >= 0 && index < length_ ? digits_[index] : '0';
    }

  private:
    std::array<char, 512> small_;
    std::vector<char> large_;
    const char* digits_ = nullptr;
    int length_ = 0;
    int point_ = 0;
};

const char* NonFinite(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

QString Justified(const std::string& text, int width) {
    return QString::fromLatin1(text.data(), qsizetype(text.size())).rightJustified(width, QLatin1Char(' '));
}

struct Conversion {
    int width = 0;
    int precision = -1; // none given
    char type = 0;
};

// Fills the first "%W.Df" or "%Wd" of the pattern with `format`; later conversions stay as written, so a
// pattern holding two can be filled by formatting the result again.
template <typename Format> QString Expand(const char* pattern, Format format) {
    QByteArray out;
    bool filled = false;
    const auto readNumber = [](const char*& p) {
        int n = 0;
        for (; *p >= '0' && *p <= '9'; ++p)
            n = std::min(n * 10 + (*p - '0'), 9999);
        return n;
    };
    for (const char* p = pattern; p && *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            p += 2;
            continue;
        }
        const char* q = p + 1;
        Conversion c;
        c.width = readNumber(q);
        if (*q == '.') {
            ++q;
            c.precision = readNumber(q);
        }
        if (!filled && (*q == 'f' || *q == 'd')) {
            c.type = *q;
            out += format(c).toLatin1();
            filled = true;
            p = q + 1;
        } else {
            out += *p++;
        }
    }
    return QString::fromUtf8(out);
}

} // namespace

QString FormatGeneral(double value) {
    if (!std::isfinite(value)) return QString::fromLatin1(NonFinite(value));
    if (value == 0) return QStringLiteral("0");
    const Digits d(std::fabs(value), DoubleToStringConverter::PRECISION, 15);
    std::string_view digits = d.Text();
    while (digits.size() > 1 && digits.back() == '0')
        digits.remove_suffix(1);
    const int e = d.Point() - 1; // the power of ten of the first digit
    std::string text = value < 0 ? "-" : "";
    if (e < -4 || e >= 15) {
        text += digits[0];
        if (digits.size() > 1) (text += '.') += digits.substr(1);
        text += 'E' + std::to_string(e);
    } else if (e >= 0) {
        const size_t integerDigits = size_t(e) + 1;
        text += digits.substr(0, integerDigits);
        if (digits.size() < integerDigits) text.append(integerDigits - digits.size(), '0');
        if (digits.size() > integerDigits) (text += '.') += digits.substr(integerDigits);
    } else {
        (text += "0." + std::string(size_t(-e - 1), '0')) += digits;
    }
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QString FormatFixed(double value, int decimals, int width) {
    if (!std::isfinite(value)) return Justified(NonFinite(value), width);
    decimals = std::max(decimals, 0);
    const Digits d(std::fabs(value), DoubleToStringConverter::FIXED, decimals);
    // As printf does, a negative value keeps its sign even when it rounds to zero.
    std::string text = std::signbit(value) ? "-" : "";
    for (int power = std::max(d.Point() - 1, 0); power >= 0; --power)
        text += d.At(power);
    if (decimals > 0) {
        text += '.';
        for (int power = -1; power >= -decimals; --power)
            text += d.At(power);
    }
    return Justified(text, width);
}

QString FormatPrintf(const char* pattern, double value) {
    return Expand(pattern, [value](const Conversion& c) {
        return FormatFixed(value, c.type == 'd' ? 0 : (c.precision < 0 ? 6 : c.precision), c.width);
    });
}

QString FormatPrintf(const char* pattern, qint64 value) {
    return Expand(pattern, [value](const Conversion& c) {
        if (c.type == 'f') return FormatFixed(double(value), c.precision < 0 ? 6 : c.precision, c.width);
        return QString::number(value).rightJustified(c.width, QLatin1Char(' '));
    });
}
