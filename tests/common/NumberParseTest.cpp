#include "common/NumberParse.h"

#include <gtest/gtest.h>

#include <QString>
#include <clocale>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

namespace {

using ParseCase = std::tuple<const char*, std::optional<double>>;

class ParseNumberTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumberTable, ConvertsOnlyPlainDecimals) {
    const auto& [text, expected] = GetParam();
    EXPECT_EQ(ParseNumber(QString::fromUtf8(text)), expected);
    const auto extended = ParseExtended(QString::fromUtf8(text));
    EXPECT_EQ(extended ? std::optional(double(*extended)) : std::nullopt, expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseNumberTable,
                         ::testing::Values(ParseCase{"0", 0.0}, ParseCase{"-12.5", -12.5},
                                           ParseCase{"+3", 3.0}, ParseCase{".5", 0.5}, ParseCase{"5.", 5.0},
                                           ParseCase{"-.25", -0.25}, ParseCase{" 3.5", 3.5},
                                           ParseCase{"3.5 ", 3.5}, ParseCase{"\t3.5", 3.5},
                                           ParseCase{"  7.25\t ", 7.25}, ParseCase{"1e3", 1000.0},
                                           ParseCase{"2.5E-2", 0.025}, ParseCase{"1e+2", 100.0},
                                           ParseCase{"007", 7.0}, ParseCase{"0.1", 0.1}));

class RejectedNumber : public ::testing::TestWithParam<const char*> {};

TEST_P(RejectedNumber, DoesNotConvert) {
    const QString text = QString::fromUtf8(GetParam());
    EXPECT_EQ(ParseExtended(text), std::nullopt);
    EXPECT_EQ(ParseNumber(text), std::nullopt);
    EXPECT_EQ(ParseSingle(text), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Texts, RejectedNumber,
                         ::testing::Values("", "   ", "abc", "12a", "inf", "-infinity", "nan", "0x10", "1,5",
                                           "1.2.3", ".", "-", "+-1", "1e", "e5", "1e+", "1 2", "- 1", "１２",
                                           "3.5\n", "\r3.5", "1e5000", "-1e5000", "1e-5000", "-1e-5000"));

// Whether a number converts as extended, double and single: one that the type could hold only as
// infinity, zero or a subnormal does not.
using RangeCase = std::tuple<const char*, bool, bool, bool>;

class RangeTable : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RangeTable, ConvertsOnlyWithinTheNormalRange) {
    const auto& [text, extended, number, single] = GetParam();
    const QString t = QString::fromUtf8(text);
    EXPECT_EQ(ParseExtended(t).has_value(), extended);
    EXPECT_EQ(ParseNumber(t).has_value(), number);
    EXPECT_EQ(ParseSingle(t).has_value(), single);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RangeTable,
    ::testing::Values(RangeCase{"1e39", true, true, false}, RangeCase{"-1e39", true, true, false},
                      RangeCase{"1e400", true, false, false}, RangeCase{"1.2e-38", true, true, true},
                      RangeCase{"1e-40", true, true, false}, RangeCase{"-1e-45", true, true, false},
                      RangeCase{"1e-46", true, true, false}, RangeCase{"2.3e-308", true, true, false},
                      RangeCase{"1e-310", true, false, false}, RangeCase{"1e-4940", false, false, false},
                      RangeCase{"0e-5000", true, true, true}, RangeCase{"-0.0", true, true, true}));

TEST(NumberParse, SingleIsRoundedFromTheExtendedValue) {
    EXPECT_EQ(ParseSingle(u"0.1"), 0.1f);
    EXPECT_EQ(ParseSingle(u"17.03"), 17.03f);
    // Above the largest float, but rounds down to it.
    EXPECT_EQ(ParseSingle(u"-3.4028235e38"), -std::numeric_limits<float>::max());
    // Below the smallest normal float, but rounds up to it.
    EXPECT_EQ(ParseSingle(u"1.1754943e-38"), std::numeric_limits<float>::min());
}

TEST(NumberParse, ExtendedKeepsMoreThanDouble) {
    EXPECT_EQ(ParseExtended(u"0.1"), 0.1L);
    EXPECT_NE(ParseExtended(u"0.1"), static_cast<long double>(0.1));
    EXPECT_TRUE(ParseExtended(u"1e400"));
    EXPECT_EQ(ParseNumber(u"1e400"), std::nullopt);
}

class ParseTruncatedIntTable
    : public ::testing::TestWithParam<std::tuple<const char*, std::optional<qint32>>> {};

TEST_P(ParseTruncatedIntTable, TruncatesTowardZero) {
    EXPECT_EQ(ParseTruncatedInt(QString::fromUtf8(std::get<0>(GetParam()))), std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParseTruncatedIntTable,
    ::testing::Values(std::tuple{"12.9", 12}, std::tuple{"-3.7", -3}, std::tuple{"-0.5", 0},
                      std::tuple{"1.5e2", 150}, std::tuple{"2147483647.9", 2147483647},
                      std::tuple{"-2147483648.9", -2147483647 - 1}, std::tuple{"2147483648", std::nullopt},
                      std::tuple{"-2147483649", std::nullopt}, std::tuple{"1e10", std::nullopt},
                      std::tuple{"", std::nullopt}, std::tuple{"12,9", std::nullopt}, std::tuple{"1e-300", 0},
                      std::tuple{"1e-5000", std::nullopt}));

TEST(NumberParse, IgnoresTheLocaleDecimalComma) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
    const auto point = ParseNumber(u"1.5");
    const auto comma = ParseNumber(u"1,5");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(point, 1.5);
    EXPECT_EQ(comma, std::nullopt);
}

} // namespace
