#include "common/NumberFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>
#include <tuple>

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

class FormatGeneralTable : public ::testing::TestWithParam<std::tuple<double, const char*>> {};

TEST_P(FormatGeneralTable, Formats) {
    EXPECT_EQ(FormatGeneral(std::get<0>(GetParam())).toStdString(), std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatGeneralTable,
    ::testing::Values(std::tuple{double(0.1f), "0.100000001490116"},
                      std::tuple{double(17.03f), "17.0300006866455"}, std::tuple{2.5, "2.5"},
                      std::tuple{3.0, "3"}, std::tuple{-3.0, "-3"}, std::tuple{100.0, "100"},
                      std::tuple{0.3, "0.3"}, std::tuple{1 / 3.0, "0.333333333333333"},
                      std::tuple{2 / 3.0, "0.666666666666667"}, std::tuple{0.0001, "0.0001"},
                      std::tuple{0.00012345, "0.00012345"}, std::tuple{0.00001, "1E-5"},
                      std::tuple{-2.5e-7, "-2.5E-7"}, std::tuple{0.0, "0"}, std::tuple{-0.0, "0"},
                      std::tuple{123456789012345.0, "123456789012345"},
                      std::tuple{1234567890123456.0, "1.23456789012346E15"}, std::tuple{1e20, "1E20"},
                      std::tuple{1.5e16, "1.5E16"}, std::tuple{1e15, "1E15"},
                      // Rounding to 15 digits carries into a sixteenth integer digit, or up to 0.0001.
                      std::tuple{999999999999999.9, "1E15"}, std::tuple{0.00009999999999999995, "0.0001"},
                      // Exactly half at the sixteenth digit rounds away from zero, not to even.
                      std::tuple{1234567890123445.0, "1.23456789012345E15"},
                      std::tuple{std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
                      std::tuple{Nan, "NAN"}, std::tuple{Inf, "INF"}, std::tuple{-Inf, "-INF"}));

class FormatFixedTable : public ::testing::TestWithParam<std::tuple<double, int, int, const char*>> {};

TEST_P(FormatFixedTable, Formats) {
    const auto& [value, decimals, width, expected] = GetParam();
    EXPECT_EQ(FormatFixed(value, decimals, width).toStdString(), expected);
}

INSTANTIATE_TEST_SUITE_P(Values, FormatFixedTable,
                         ::testing::Values(
                             // Exact halves go away from zero, where printf would go to even.
                             std::tuple{2.5, 0, 0, "3"}, std::tuple{-2.5, 0, 0, "-3"},
                             std::tuple{0.5, 0, 0, "1"}, std::tuple{0.125, 2, 0, "0.13"},
                             // Stored just below the half, so they round down.
                             std::tuple{2.675, 2, 0, "2.67"}, std::tuple{1.005, 2, 0, "1.00"},
                             std::tuple{-0.4, 0, 0, "-0"}, std::tuple{0.4, 0, 0, "0"},
                             std::tuple{0.0, 2, 0, "0.00"}, std::tuple{0.06, 0, 0, "0"},
                             std::tuple{0.05, 1, 0, "0.1"}, std::tuple{9.96, 1, 0, "10.0"},
                             std::tuple{999.5, 0, 0, "1000"}, std::tuple{double(17.03f), 7, 0, "17.0300007"},
                             std::tuple{1e20, 1, 0, "100000000000000000000.0"}, std::tuple{4.6, 0, 3, "  5"},
                             std::tuple{359.6, 0, 3, "360"}, std::tuple{-1.25, 1, 6, "  -1.3"},
                             std::tuple{12345.0, 0, 3, "12345"}, std::tuple{Nan, 1, 5, "  NAN"}));

TEST(FormatPrintf, FillsTheConversionAndKeepsTheText) {
    EXPECT_EQ(FormatPrintf("%1.3f m/s.", 2.0), QStringLiteral("2.000 m/s."));
    EXPECT_EQ(FormatPrintf("[%6.1f]", -2.25), QStringLiteral("[  -2.3]"));
    EXPECT_EQ(FormatPrintf("%f", 0.1), QStringLiteral("0.100000"));
    EXPECT_EQ(FormatPrintf("%.0f%%", 99.5), QStringLiteral("100%"));
    EXPECT_EQ(FormatPrintf("風速 %1.1f m/s", 3.25), QStringLiteral("風速 3.3 m/s"));
    EXPECT_EQ(FormatPrintf("%s %x 100%", 1.0), QStringLiteral("%s %x 100%"));
    EXPECT_EQ(FormatPrintf("%3d items", qint64(7)), QStringLiteral("  7 items"));
    EXPECT_EQ(FormatPrintf("No.%d", qint64(-1234567890123)), QStringLiteral("No.-1234567890123"));
    EXPECT_EQ(FormatPrintf("%d", 42), QStringLiteral("42"));
    EXPECT_EQ(FormatPrintf("%5.1f", qint64(3)), QStringLiteral("  3.0"));
}

TEST(FormatPrintf, TwoConversionsAreFilledOneCallAtATime) {
    const QString first = FormatPrintf("Sensor Model %1.2f | Ver. %1.2f", 2.0);
    EXPECT_EQ(first, QStringLiteral("Sensor Model 2.00 | Ver. %1.2f"));
    EXPECT_EQ(FormatPrintf(first.toUtf8().constData(), 1.5), QStringLiteral("Sensor Model 2.00 | Ver. 1.50"));
}

TEST(NumberFormat, IgnoresTheLocaleDecimalComma) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
    const QString text = FormatGeneral(2.5) + ' ' + FormatFixed(2.5, 2);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(text, QStringLiteral("2.5 2.50"));
}

} // namespace
