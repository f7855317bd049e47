#include "calibration/CalFiles.h"
#include "calibration/CalStatistics.h"
#include "support/DistinctSample.h"
#include <gmock/gmock.h>

namespace {

// A sample whose values all differ, so that a column or channel reading another value shows.
TEST(CalColumns, WorkFileColumnsByteForByte) {
    const QStringList lines =
        CalCsvLines(HistoryOf(DistinctSample(0.25f), EncodeDateTime(2024, 5, 29, 10, 1, 2)));
    EXPECT_THAT(lines,
                ::testing::ElementsAre(",風速,気温,温度差,風速(RAW),AT-1,AT-2,WDT-1,WDT-2,WDT-3,WDT-4,",
                                       ",m/s.,℃,℃,m/s.,℃,℃,℃,℃,℃,℃,",
                                       "2024/05/29 10:01:02,3.25,5.25,16.25,6.25,25.25,26.25,8.25,9.25,"
                                       "10.25,11.25,"));
}

TEST(CalColumns, ChannelsReadSpeedTheTwoAirSensorsTheFourDirectionSensorsAndTheDifference) {
    const TSampleRec s = DistinctSample(0.25f);
    std::vector<double> read;
    for (int c = 0; c < CalChannelCount; ++c)
        read.push_back(ChannelValue(s, c));
    EXPECT_THAT(read, ::testing::ElementsAre(3.25, 25.25, 26.25, 8.25, 9.25, 10.25, 11.25, 16.25));
}

} // namespace
