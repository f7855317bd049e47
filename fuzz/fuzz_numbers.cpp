// The number parsers against the C library's conversion in the "C" locale, with the grammar and the
// range rules written here: blanks around the number, an optional sign, digits with at most one
// point (a digit on at least one side), an optional exponent with digits; a result that is infinite,
// or zero or subnormal from a non-zero number, is refused. The process runs in a locale with a
// decimal comma where one is installed, so that any dependence on the locale would show.
#include "FuzzSupport.h"
#include "common/NumberParse.h"
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <regex>

namespace {

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

const std::regex& Grammar() {
    static const std::regex g(R"([ \t]*([+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?)[ \t]*)",
                              std::regex::ECMAScript | std::regex::optimize);
    return g;
}

// The number without its blanks, and whether its digits before the exponent are all zeros.
struct TReference {
    bool Grammatical = false;
    std::string Number;
    bool ZeroDigits = true;
};

TReference Reference(const QString& text) {
    TReference r;
    const QByteArray utf8 = text.toUtf8();
    std::cmatch m;
    if (!std::regex_match(utf8.constData(), utf8.constData() + utf8.size(), m, Grammar())) return r;
    r.Grammatical = true;
    r.Number = m[1].str();
    for (char c : m[2].str())
        if (c >= '1' && c <= '9') r.ZeroDigits = false;
    return r;
}

template <typename T> bool Same(T a, T b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

// Refused: infinite, or zero or subnormal where the digits were not all zeros.
template <typename T> bool InRange(T value, bool zeroDigits) {
    if (!std::isfinite(value)) return false;
    if (value == 0) return zeroDigits;
    return std::isnormal(value);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name)) break;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 400) return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const TReference ref = Reference(text);
    const auto extended = ParseExtended(text);
    const auto number = ParseNumber(text);
    const auto single = ParseSingle(text);
    const auto integer = ParseTruncatedInt(text);
    if (!ref.Grammatical) {
        FUZZ_CHECK(!extended && !number && !single && !integer,
                   "not a number, but converted: " + Shown(text));
        return 0;
    }
    const long double e = strtold_l(ref.Number.c_str(), nullptr, CLocale());
    const double d = strtod_l(ref.Number.c_str(), nullptr, CLocale());

    FUZZ_CHECK(extended.has_value() == InRange(e, ref.ZeroDigits), "extended refusal: " + Shown(text));
    if (extended) FUZZ_CHECK(Same(*extended, e), "extended value: " + Shown(text));

    FUZZ_CHECK(number.has_value() == InRange(d, ref.ZeroDigits), "double refusal: " + Shown(text));
    if (number) FUZZ_CHECK(Same(*number, d), "double value: " + Shown(text));

    // Single precision is the extended value rounded once more, as the instrument's values are held.
    // Past the largest float by half a unit of its last place the rounding gives infinity.
    bool singleOk = extended.has_value();
    float f = 0;
    if (singleOk) {
        const long double magnitude = std::fabs(e);
        const long double halfUnitPast = (long double)FLT_MAX + std::ldexp(1.0L, 127 - 24);
        if (magnitude >= halfUnitPast) {
            singleOk = false;
        } else {
            f = magnitude > FLT_MAX ? (std::signbit(e) ? -FLT_MAX : FLT_MAX) : float(e);
            singleOk = InRange(f, ref.ZeroDigits);
        }
    }
    FUZZ_CHECK(single.has_value() == singleOk, "single refusal: " + Shown(text));
    if (single) FUZZ_CHECK(Same(*single, f), "single value: " + Shown(text));

    // Integers: the extended value truncated toward zero, if it fits 32 bits.
    bool intOk = extended.has_value();
    long double whole = 0;
    if (intOk) {
        whole = std::trunc(e);
        intOk = whole >= INT32_MIN && whole <= INT32_MAX;
    }
    FUZZ_CHECK(integer.has_value() == intOk, "integer refusal: " + Shown(text));
    if (integer) FUZZ_CHECK(*integer == qint32(whole), "integer value: " + Shown(text));
    return 0;
}
