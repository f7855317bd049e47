#include "monitor/MinuteStatistics.h"
#include "monitor/MonitorList.h"
#include "monitor/RecordRows.h"
#include "support/DistinctSample.h"
#include <gtest/gtest.h>

// The texts every value appears in, byte for byte: headers, and rows of a sample whose values all
// differ, so that a column moved, swapped, dropped or formatted otherwise shows here.
namespace {

std::string Text(const QStringList& lines) {
    return lines.join(QLatin1Char('\n')).toStdString();
}
std::string Text(std::initializer_list<const char*> lines) {
    QStringList list;
    for (const char* line : lines)
        list << QString::fromUtf8(line);
    return Text(list);
}

const TDateTime At = EncodeDateTime(2024, 5, 29, 10, 1, 2);

TMinuteResult DistinctMinute() {
    TMinuteResult m;
    m.Average = DistinctSample(0.25f);
    m.Maximum = DistinctSample(100.5f);
    m.Minimum = DistinctSample(-50.75f);
    m.VectorAzimuth = 12.5;
    return m;
}

TEST(SampleColumns, ShortMinuteRecord) {
    EXPECT_EQ(Text(MinuteRecordHeader(false) << MinuteRecordRow(DistinctMinute(), At, false)),
              Text({",風速,,,方位,,,,俯角,,,気温,,,ベクトルX,,,ベクトルY,,,ベクトルZ,,,ベクトル長,,,",
                    "時刻,Avg,Max,Min,算出平均,単純平均,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,"
                    "Min,Avg,Max,Min,Avg,Max,Min,",
                    "2024/05/29 "
                    "10:01,3.25,103.5,-47.75,12.5,1.25,101.5,-49.75,2.25,102.5,-48.75,4.25,104.5,-46.75,17."
                    "25,117.5,-33.75,18.25,118.5,-32.75,19.25,119.5,-31.75,20.25,120.5,-30.75,"}));
}

TEST(SampleColumns, LongMinuteRecordHasNoCommaAfterItsLastHeaderGroup) {
    EXPECT_EQ(
        Text(MinuteRecordHeader(true) << MinuteRecordRow(DistinctMinute(), At, true)),
        Text({",風速,,,方位,,,,俯角,,,気温,,,気温（高精度）,,,風速（生値）,,,風速（高精度）,,,ベクトルX,,,"
              "ベクトルY,,,ベクトルZ,,,ベクトル長,,,風向用温度1,,,風向用温度2,,,風向用温度3,,,風向用温度4,,,"
              "温度差1,,,温度差2,,,温度差3,,,温度差4,,,CPU使用率,,,電源電圧,,,AD変換回数,,,DA出力,,",
              "時刻,Avg,Max,Min,算出平均,単純平均,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,"
              "Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,"
              "Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,"
              "Max,Min,Avg,Max,Min",
              "2024/05/29 "
              "10:01,3.25,103.5,-47.75,12.5,1.25,101.5,-49.75,2.25,102.5,-48.75,4.25,104.5,-46.75,5.25,105.5,"
              "-45.75,6.25,106.5,-44.75,7.25,107.5,-43.75,17.25,117.5,-33.75,18.25,118.5,-32.75,19.25,119.5,-"
              "31.75,20.25,120.5,-30.75,8.25,108.5,-42.75,9.25,109.5,-41.75,10.25,110.5,-40.75,11.25,111.5,-"
              "39.75,12.25,112.5,-38.75,13.25,113.5,-37.75,14.25,114.5,-36.75,15.25,115.5,-35.75,21.25,121.5,"
              "-29.75,22.25,122.5,-28.75,23,123,-27,24.25,124.5,-26.75,"}));
}

TEST(SampleColumns, SecondRecord) {
    EXPECT_EQ(Text(SecondRecordHeader("COM7") << SecondRecordRow(DistinctSample(0.25f), At)),
              Text({"COM7,風速,方位,俯角,気温(参考),Vector-X,Vector-Y,Vector-Z,", "時刻,m/s.,°,°,℃,,,,,,",
                    "2024/05/29 10:01:02,3.250,1,2,5.3,17.250,18.250,19.250,"}));
}

TEST(SampleColumns, Exports) {
    const TSampleHistory history = HistoryOf(DistinctSample(0.25f), At);
    EXPECT_EQ(Text(ExportLines(history, TExportKind::ShortLog)),
              Text({",風速,方位,俯角,気温(参考),風速(生),風速(補正前),Vector-X,Vector-Y,Vector-Z,Vector長さ,"
                    "AT温度-1,AT温度-2,WD温度-1,WD温度-2,WD温度-3,WD温度-4,温度差-1,温度差-2,温度差-3,温度差-"
                    "4,DBG#0,DBG#1,DBG#2,DBG#3,",
                    ",m/s.,°,°,℃,m/s.,m/s.,,,,,℃,℃,℃,℃,℃,℃,℃,℃,℃,℃,,,,,",
                    "2024/05/29 "
                    "10:01:02,3.25,1.25,2.25,5.25,6.25,7.25,17.25,18.25,19.25,20.25,25.25,26.25,8.25,9.25,10."
                    "25,11.25,12.25,13.25,14.25,15.25,32.25,33.25,34.25,35.25,"}));
    EXPECT_EQ(Text(ExportLines(history, TExportKind::PlotData)),
              Text({",風速,方位,俯角,気温(参考),Vector-X,Vector-Y,Vector-Z,", ",m/s.,°,°,℃,,,,,,",
                    "2024/05/29 10:01:02,3.25,1.25,2.25,5.25,17.25,18.25,19.25,"}));
}

// Captions and values; the separators' value cells stay empty, and nothing is editable.
TEST(SampleColumns, MonitorList) {
    TMonitorListModel list;
    list.SetSample(DistinctSample(0.25f));
    QStringList shown;
    for (int r = 0; r < list.rowCount(); ++r) {
        shown << list.data(list.index(r, 0)).toString() + QLatin1Char('|') +
                     list.data(list.index(r, 1)).toString();
        EXPECT_FALSE(list.flags(list.index(r, 1)).testFlag(Qt::ItemIsEditable)) << r;
    }
    EXPECT_EQ(Text(shown), Text({"風速|3.250 m/s.",
                                 "風速(生値)|6.250 m/s.",
                                 "風速(補正前)|7.250 m/s.",
                                 "方位|  1 °",
                                 "俯角|  2 °",
                                 "気温|4.3 ℃",
                                 "Vector-X|17.250",
                                 "Vector-Y|18.250",
                                 "Vector-Z|19.250",
                                 "気温(内部用)|5.250 ℃",
                                 "AT温度1|25.250 ℃",
                                 "AT温度2|26.250 ℃",
                                 "WD温度1|8.250 ℃",
                                 "WD温度2|9.250 ℃",
                                 "WD温度3|10.250 ℃",
                                 "WD温度4|11.250 ℃",
                                 "WD温度差1|12.250 ℃",
                                 "WD温度差2|13.250 ℃",
                                 "WD温度差3|14.250 ℃",
                                 "WD温度差4|15.250 ℃",
                                 "温度差|16.250 ℃",
                                 "CPU使用率|21.3 %",
                                 "AD変換回数|23 /s.",
                                 "----------|",
                                 "モデル番号|27.25",
                                 "バージョン|28.25",
                                 "システム状態|29",
                                 "ハード状態|30",
                                 "ソフト状態|31",
                                 "----------|",
                                 "Dbg-#0|32.250",
                                 "Dbg-#1|33.250"}));
}

} // namespace
