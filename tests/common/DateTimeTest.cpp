#include "common/DateTime.h"
#include "common/Clock.h"

#include <gmock/gmock.h>

#include <cmath>
#include <tuple>

namespace {

auto Fields(const TDateTimeParts& p) {
    return std::tie(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.MSec);
}

MATCHER_P(IsParts, expected, "") {
    *result_listener << "which is " << arg.Year << '-' << arg.Month << '-' << arg.Day << ' ' << arg.Hour
                     << ':' << arg.Minute << ':' << arg.Second << '.' << arg.MSec;
    return Fields(arg) == Fields(expected);
}

TDateTimeParts Parts(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return {y, mo, d, h, mi, s, ms};
}

class DateTimeRoundTrip : public ::testing::TestWithParam<TDateTimeParts> {};

TEST_P(DateTimeRoundTrip, DecodeGivesBackEveryPart) {
    const TDateTimeParts& p = GetParam();
    EXPECT_THAT(DecodeDateTime(EncodeDateTime(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.MSec)),
                IsParts(p));
}

INSTANTIATE_TEST_SUITE_P(Dates, DateTimeRoundTrip,
                         ::testing::Values(Parts(1899, 12, 30), Parts(2026, 1, 1, 0, 0, 0, 1),
                                           Parts(2026, 12, 31, 23, 59, 59, 999),
                                           Parts(2024, 2, 29, 23, 59, 59, 999),
                                           Parts(2100, 2, 28, 12, 0, 0, 500),
                                           Parts(2038, 1, 19, 3, 14, 7, 999), Parts(1899, 12, 29, 6)));

TEST(DateTime, CountsDaysFromTheEpochWithTheTimeAsFraction) {
    EXPECT_EQ(EncodeDateTime(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDateTime(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDateTime(2000, 1, 1, 18), 36526.75);
    // Before the epoch the time of day still counts forward from that day's midnight.
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6), -1.25);
}

TEST(DateTime, DecodeCarriesRoundingIntoTheNextSecondAndDay) {
    constexpr double ms = 1.0 / 86'400'000;
    EXPECT_THAT(DecodeDateTime(EncodeDateTime(2024, 2, 29) - 0.4 * ms), IsParts(Parts(2024, 2, 29)));
    EXPECT_THAT(DecodeDateTime(EncodeDateTime(2024, 2, 28, 12, 0, 59, 999) + 0.6 * ms),
                IsParts(Parts(2024, 2, 28, 12, 1)));
}

TEST(DateTime, WholeSecondsCountTheMillisecondTime) {
    EXPECT_EQ(WholeSeconds(1.5), 129'600);
    EXPECT_EQ(WholeSeconds(EncodeDateTime(1899, 12, 30, 0, 0, 1, 999)), 1);
    EXPECT_EQ(WholeSeconds(EncodeDateTime(2000, 1, 1, 0, 0, 0, 999)), 36526LL * 86400);
    // A whole second whose day count lies a hair below it is still that second.
    const TDateTime below = std::nextafter(EncodeDateTime(2024, 5, 29, 10, 0, 7), 0.0);
    EXPECT_EQ(WholeSeconds(below), WholeSeconds(EncodeDateTime(2024, 5, 29, 10, 0, 6)) + 1);
    EXPECT_EQ(WholeSeconds(-0.5 / 86400), -1) << "before the epoch the count still goes down";
}

TEST(DateTime, QDateTimeKeepsTheLocalWallTime) {
    const QDateTime local(QDate(2026, 3, 7), QTime(9, 5, 4, 321));
    const TDateTime value = FromQDateTime(local);
    EXPECT_THAT(DecodeDateTime(value), IsParts(Parts(2026, 3, 7, 9, 5, 4, 321)));
    EXPECT_EQ(ToQDateTime(value), local);
    EXPECT_EQ(ToQDateTime(value).timeSpec(), Qt::LocalTime);
}

class DateTimeFormat : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(DateTimeFormat, ZeroPadsEveryFieldAndDropsTheMilliseconds) {
    const TDateTime value = EncodeDateTime(2006, 3, 7, 9, 5, 4, 999);
    EXPECT_EQ(FormatDateTime(QString::fromLatin1(GetParam().first), value).toStdString(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Patterns, DateTimeFormat,
                         ::testing::Values(std::pair{"yyyy/mm/dd hh:nn", "2006/03/07 09:05"},
                                           std::pair{"yyyy/mm/dd hh:nn:ss", "2006/03/07 09:05:04"},
                                           std::pair{"yyyymmdd", "20060307"},
                                           std::pair{"_yymmddhhnn", "_0603070905"},
                                           std::pair{"[yyyyy] m n", "[2006y] m n"}));

TEST(ManualClock, AdvancesByMillisecondsAcrossMidnight) {
    ManualClock clock(EncodeDateTime(2024, 2, 28, 23, 59, 59, 500));
    clock.AdvanceMs(500);
    EXPECT_THAT(DecodeDateTime(clock.Now()), IsParts(Parts(2024, 2, 29)));
    clock.AdvanceMs(86'400'000 + 1);
    EXPECT_THAT(DecodeDateTime(clock.Now()), IsParts(Parts(2024, 3, 1, 0, 0, 0, 1)));
}

} // namespace
