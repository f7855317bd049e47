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
                                           ParseCase{"-.25", -0.25}, ParseCase{"  7.25  ", 7.25},
                                           ParseCase{"\t1\t", 1.0}, ParseCase{"1e3", 1000.0},
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
                                           "1.2.3", ".", "-", "+-1", "1e", "e5", "1e+", "1 2", "- 1",
                                           "１２"));

TEST(NumberParse, SingleIsRoundedFromTheExtendedValue) {
    EXPECT_EQ(ParseSingle(u"0.1"), 0.1f);
    EXPECT_EQ(ParseSingle(u"17.03"), 17.03f);
    // Above the largest float, but rounds down to it.
    EXPECT_EQ(ParseSingle(u"-3.4028235e38"), -std::numeric_limits<float>::max());
    EXPECT_EQ(ParseSingle(u"1e39"), std::nullopt);
    EXPECT_EQ(ParseSingle(u"x"), std::nullopt);
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
                      std::tuple{"", std::nullopt}, std::tuple{"12,9", std::nullopt}));

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
