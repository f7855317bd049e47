#include "common/NumberFormat.h"
#include "support/ReferenceNumberFormat.h"

#include <gtest/gtest.h>

#include <QtGlobal>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

// The formats come from double-conversion; the reference is the exact expansion that glibc's printf
// gives, rounded by hand. Both must agree on every string: random bit patterns (subnormals and the
// largest magnitudes among them), exact ties at the rounding digit, values that come from floats,
// and the borders where the general format turns to exponent notation.
namespace {

constexpr double Max = std::numeric_limits<double>::max();
constexpr double DenormMin = std::numeric_limits<double>::denorm_min();
constexpr double Min = std::numeric_limits<double>::min();

// The reference is slow under the sanitizers; KRV_FORMAT_CHECK_SCALE=40 checks a million strings.
int Count(int base) {
    const int scale = qEnvironmentVariableIntValue("KRV_FORMAT_CHECK_SCALE");
    return base * std::max(scale, 1);
}

struct Mismatch {
    int failures = 0;
    void Check(const QString& got, const QString& want, double value, const std::string& how = {}) {
        if (got == want || ++failures > 20) return;
        ADD_FAILURE() << "value " << std::hexfloat << value << std::defaultfloat << " (" << value << ")"
                      << how << ": got " << got.toStdString() << ", want " << want.toStdString();
    }
};

void CheckGeneral(Mismatch& m, double v) {
    m.Check(FormatGeneral(v), reference::FormatGeneral(v), v);
}

void CheckFixed(Mismatch& m, double v, int decimals, int width = 0) {
    m.Check(FormatFixed(v, decimals, width), reference::FormatFixed(v, decimals, width), v,
            " at " + std::to_string(decimals) + " decimals, width " + std::to_string(width));
}

TEST(NumberFormatReference, EdgeValuesAgreeInBothFormats) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  DenormMin,
                                  -DenormMin,
                                  Min,
                                  -Min,
                                  Max,
                                  -Max,
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  1e15,
                                  1e15 - 0.5,
                                  1e16,
                                  999999999999999.9,
                                  999999999999999.4,
                                  0.0001,
                                  0.00009999999999999995,
                                  0.000099999999999999995,
                                  1e-4 - 1e-20,
                                  9.5,
                                  99.5,
                                  999.5,
                                  0.95,
                                  0.995,
                                  1e21,
                                  1e22,
                                  1e60,
                                  1e61,
                                  9.999999999999999e59,
                                  1e300,
                                  2.0 / 3.0,
                                  1.0 / 3.0};
    for (int p = -330; p <= 310; ++p) {
        const double power = std::pow(10.0, p);
        values.insert(values.end(), {power, std::nextafter(power, 0.0), std::nextafter(power, Max)});
    }
    Mismatch m;
    for (size_t i = 0; i < values.size(); ++i) {
        const double v = values[i];
        CheckGeneral(m, v);
        for (const int decimals : {0, 1, 2, 3, 6, 17, 20, 21, 60, 101})
            CheckFixed(m, v, decimals);
        // Past what the library's own fixed format takes, and past the last digit of any double.
        if (i % 8 == 0)
            for (const int decimals : {340, 1100})
                CheckFixed(m, v, decimals);
    }
    EXPECT_EQ(m.failures, 0);
}

// Every bit pattern is as likely as any other: most are very large or very small.
TEST(NumberFormatReference, RandomBitPatternsAgree) {
    std::mt19937_64 random(18);
    std::uniform_int_distribution<int> decimals(0, 24);
    Mismatch m;
    for (int i = 0; i < Count(5'000); ++i) {
        const double v = std::bit_cast<double>(random());
        CheckGeneral(m, v);
        CheckFixed(m, v, decimals(random));
    }
    EXPECT_EQ(m.failures, 0);
}

// Values of the size the program writes, many of them singles widened as the records do.
TEST(NumberFormatReference, MeasurementSizedValuesAgree) {
    std::mt19937_64 random(1803);
    std::uniform_real_distribution<double> magnitude(-6, 6);
    std::uniform_int_distribution<int> decimals(0, 7), width(0, 12);
    Mismatch m;
    for (int i = 0; i < Count(12'000); ++i) {
        double v = std::pow(10.0, magnitude(random)) * (random() & 1 ? -1 : 1);
        if (i % 2) v = double(float(v));
        CheckGeneral(m, v);
        CheckFixed(m, v, decimals(random), width(random));
    }
    EXPECT_EQ(m.failures, 0);
}

// m / 2^(d+1) with m odd is exactly half a unit of the d-th decimal: the ties that halves-away-from-
// zero decides. Their neighbours one step either way must round the other way or the same.
TEST(NumberFormatReference, ExactTiesAtTheRoundingDigitAgree) {
    std::mt19937_64 random(2675);
    std::uniform_int_distribution<int> decimals(0, 20);
    Mismatch m;
    for (int i = 0; i < Count(6'000); ++i) {
        const int d = decimals(random);
        const std::uint64_t odd = (random() >> 12) | 1;
        const double tie = std::ldexp(double(odd), -(d + 1)) * (i % 2 ? -1 : 1);
        for (const double v : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, tie * 2)})
            CheckFixed(m, v, d);
    }
    EXPECT_EQ(m.failures, 0);
}

// Whole numbers with sixteen or seventeen digits ending in 5 are exact halves at the fifteenth
// significant digit (below 2^53), and the largest ones are stored a hair off.
TEST(NumberFormatReference, TiesAtTheFifteenthSignificantDigitAgree) {
    std::mt19937_64 random(15);
    std::uniform_int_distribution<std::uint64_t> tenths(100'000'000'000'000, 900'719'925'474'099);
    Mismatch m;
    for (int i = 0; i < Count(3'000); ++i) {
        const double whole = double(tenths(random) * 10 + 5);
        for (const double v : {whole, -whole, whole * 10, whole / 1e20, whole * 1e-30})
            CheckGeneral(m, v);
    }
    EXPECT_EQ(m.failures, 0);
}

} // namespace
