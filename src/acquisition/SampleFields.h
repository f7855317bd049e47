#pragma once
#include "acquisition/MeasurementStore.h"
#include "common/MemberRef.h"
#include <array>
#include <cstddef>

using TFieldRef = TMemberRef<TSampleRec>;

// One value of the sample and every place it appears. A place number is the value's position in
// that place's order, -1 where it does not appear; each place's positions run from 0 without gaps
// or repeats, which the compiler checks when the place is selected.
struct TSampleField {
    TFieldRef Ref;
    // The instrument's code, and its place in the read rotation: group Poll / 10, in request order.
    const char* Code = nullptr;
    int Poll = -1;
    // In the unit lines of the exports, the second record and the calibration work file.
    const char* Unit = "";

    // The minute statistics aggregate the long minute record's columns: Minute is that column and
    // the accumulator's slot; MinuteShort the short layout's column. The extrema an empty minute
    // holds start at MaxStart and MinStart.
    const char* MinuteName = nullptr;
    int Minute = -1;
    int MinuteShort = -1;
    float MaxStart = -999;
    float MinStart = 999;
    // The minute record puts the direction of the averaged vector before this value's triple.
    bool VectorAverage = false;

    // The short log's columns; the plot data's, which the second record shares with its own format.
    const char* ExportName = nullptr;
    int ShortLog = -1;
    int PlotData = -1;
    const char* SecondFormat = nullptr;

    // The calibration work file's columns and the calibration statistics' channels.
    const char* WorkName = nullptr;
    int WorkColumn = -1;
    int Channel = -1;

    // The monitor list: caption, format and row; rows no value claims are separators.
    const char* Label = nullptr;
    const char* ListFormat = nullptr;
    int ListRow = -1;
};

namespace sample_fields_detail {
using R = TSampleRec;
// clang-format off
inline constexpr TSampleField Rows[] = {
    {.Ref = MemberRef<&R::Azimuth>(), .Code = "M05", .Poll = 1, .Unit = "°",
     .MinuteName = "方位", .Minute = 1, .MinuteShort = 1, .VectorAverage = true,
     .ExportName = "方位", .ShortLog = 1, .PlotData = 1, .SecondFormat = "%1.0f,",
     .Label = "方位", .ListFormat = "%3.0f °", .ListRow = 3},
    {.Ref = MemberRef<&R::Depression>(), .Code = "M06", .Poll = 2, .Unit = "°",
     .MinuteName = "俯角", .Minute = 2, .MinuteShort = 2,
     .ExportName = "俯角", .ShortLog = 2, .PlotData = 2, .SecondFormat = "%1.0f,",
     .Label = "俯角", .ListFormat = "%3.0f °", .ListRow = 4},
    {.Ref = MemberRef<&R::WindSpeed>(), .Code = "M01", .Poll = 0, .Unit = "m/s.",
     .MinuteName = "風速", .Minute = 0, .MinuteShort = 0, .MaxStart = 0,
     .ExportName = "風速", .ShortLog = 0, .PlotData = 0, .SecondFormat = "%1.3f,",
     .WorkName = "風速", .WorkColumn = 0, .Channel = 0,
     .Label = "風速", .ListFormat = "%1.3f m/s.", .ListRow = 0},
    {.Ref = MemberRef<&R::AirTemp>(), .Code = "M11", .Poll = 6,
     .MinuteName = "気温", .Minute = 3, .MinuteShort = 3,
     .Label = "気温", .ListFormat = "%1.1f ℃", .ListRow = 5},
    {.Ref = MemberRef<&R::AirTempInternal>(), .Code = "C11", .Poll = 8, .Unit = "℃",
     .MinuteName = "気温（高精度）", .Minute = 4,
     .ExportName = "気温(参考)", .ShortLog = 3, .PlotData = 3, .SecondFormat = "%1.1f,",
     .WorkName = "気温", .WorkColumn = 1,
     .Label = "気温(内部用)", .ListFormat = "%1.3f ℃", .ListRow = 9},
    {.Ref = MemberRef<&R::WindSpeedRaw>(), .Code = "C01", .Poll = 7, .Unit = "m/s.",
     .MinuteName = "風速（生値）", .Minute = 5, .MaxStart = 0,
     .ExportName = "風速(生)", .ShortLog = 4,
     .WorkName = "風速(RAW)", .WorkColumn = 3,
     .Label = "風速(生値)", .ListFormat = "%1.3f m/s.", .ListRow = 1},
    {.Ref = MemberRef<&R::WindSpeedUncorr>(), .Code = "C02", .Poll = 18, .Unit = "m/s.",
     .MinuteName = "風速（高精度）", .Minute = 6, .MaxStart = 0,
     .ExportName = "風速(補正前)", .ShortLog = 5,
     .Label = "風速(補正前)", .ListFormat = "%1.3f m/s.", .ListRow = 2},
    {.Ref = MemberRef<&R::WdTemp, 0>(), .Code = "C16", .Poll = 9, .Unit = "℃",
     .MinuteName = "風向用温度1", .Minute = 11,
     .ExportName = "WD温度-1", .ShortLog = 12,
     .WorkName = "WDT-1", .WorkColumn = 6, .Channel = 3,
     .Label = "WD温度1", .ListFormat = "%1.3f ℃", .ListRow = 12},
    {.Ref = MemberRef<&R::WdTemp, 1>(), .Code = "C17", .Poll = 10, .Unit = "℃",
     .MinuteName = "風向用温度2", .Minute = 12,
     .ExportName = "WD温度-2", .ShortLog = 13,
     .WorkName = "WDT-2", .WorkColumn = 7, .Channel = 4,
     .Label = "WD温度2", .ListFormat = "%1.3f ℃", .ListRow = 13},
    {.Ref = MemberRef<&R::WdTemp, 2>(), .Code = "C18", .Poll = 11, .Unit = "℃",
     .MinuteName = "風向用温度3", .Minute = 13,
     .ExportName = "WD温度-3", .ShortLog = 14,
     .WorkName = "WDT-3", .WorkColumn = 8, .Channel = 5,
     .Label = "WD温度3", .ListFormat = "%1.3f ℃", .ListRow = 14},
    {.Ref = MemberRef<&R::WdTemp, 3>(), .Code = "C19", .Poll = 12, .Unit = "℃",
     .MinuteName = "風向用温度4", .Minute = 14,
     .ExportName = "WD温度-4", .ShortLog = 15,
     .WorkName = "WDT-4", .WorkColumn = 9, .Channel = 6,
     .Label = "WD温度4", .ListFormat = "%1.3f ℃", .ListRow = 15},
    {.Ref = MemberRef<&R::WdTempDiff, 0>(), .Code = "C36", .Poll = 13, .Unit = "℃",
     .MinuteName = "温度差1", .Minute = 15,
     .ExportName = "温度差-1", .ShortLog = 16,
     .Label = "WD温度差1", .ListFormat = "%1.3f ℃", .ListRow = 16},
    {.Ref = MemberRef<&R::WdTempDiff, 1>(), .Code = "C37", .Poll = 14, .Unit = "℃",
     .MinuteName = "温度差2", .Minute = 16,
     .ExportName = "温度差-2", .ShortLog = 17,
     .Label = "WD温度差2", .ListFormat = "%1.3f ℃", .ListRow = 17},
    {.Ref = MemberRef<&R::WdTempDiff, 2>(), .Code = "C38", .Poll = 15, .Unit = "℃",
     .MinuteName = "温度差3", .Minute = 17,
     .ExportName = "温度差-3", .ShortLog = 18,
     .Label = "WD温度差3", .ListFormat = "%1.3f ℃", .ListRow = 18},
    {.Ref = MemberRef<&R::WdTempDiff, 3>(), .Code = "C39", .Poll = 16, .Unit = "℃",
     .MinuteName = "温度差4", .Minute = 18,
     .ExportName = "温度差-4", .ShortLog = 19,
     .Label = "WD温度差4", .ListFormat = "%1.3f ℃", .ListRow = 19},
    {.Ref = MemberRef<&R::TempDiff>(), .Code = "C32", .Poll = 27, .Unit = "℃",
     .WorkName = "温度差", .WorkColumn = 2, .Channel = 7,
     .Label = "温度差", .ListFormat = "%1.3f ℃", .ListRow = 20},
    {.Ref = MemberRef<&R::VectorX>(), .Code = "M07", .Poll = 3,
     .MinuteName = "ベクトルX", .Minute = 7, .MinuteShort = 4, .MaxStart = -999999, .MinStart = 999999,
     .ExportName = "Vector-X", .ShortLog = 6, .PlotData = 4, .SecondFormat = "%1.3f,",
     .Label = "Vector-X", .ListFormat = "%1.3f", .ListRow = 6},
    {.Ref = MemberRef<&R::VectorY>(), .Code = "M08", .Poll = 4,
     .MinuteName = "ベクトルY", .Minute = 8, .MinuteShort = 5, .MaxStart = -999999, .MinStart = 999999,
     .ExportName = "Vector-Y", .ShortLog = 7, .PlotData = 5, .SecondFormat = "%1.3f,",
     .Label = "Vector-Y", .ListFormat = "%1.3f", .ListRow = 7},
    {.Ref = MemberRef<&R::VectorZ>(), .Code = "M09", .Poll = 5,
     .MinuteName = "ベクトルZ", .Minute = 9, .MinuteShort = 6, .MaxStart = -999999, .MinStart = 999999,
     .ExportName = "Vector-Z", .ShortLog = 8, .PlotData = 6, .SecondFormat = "%1.3f,",
     .Label = "Vector-Z", .ListFormat = "%1.3f", .ListRow = 8},
    {.Ref = MemberRef<&R::VectorLength>(),
     .MinuteName = "ベクトル長", .Minute = 10, .MinuteShort = 7, .MaxStart = -999999, .MinStart = 999999,
     .ExportName = "Vector長さ", .ShortLog = 9},
    {.Ref = MemberRef<&R::CpuUse>(), .Code = "C50", .Poll = 17,
     .MinuteName = "CPU使用率", .Minute = 19, .MaxStart = 0,
     .Label = "CPU使用率", .ListFormat = "%1.1f %%", .ListRow = 21},
    {.Ref = MemberRef<&R::SupplyVoltage>(),
     .MinuteName = "電源電圧", .Minute = 20, .MaxStart = 0},
    {.Ref = MemberRef<&R::AdCount>(), .Code = "C52", .Poll = 19,
     .MinuteName = "AD変換回数", .Minute = 21, .MaxStart = 0,
     .Label = "AD変換回数", .ListFormat = "%d /s.", .ListRow = 22},
    {.Ref = MemberRef<&R::DaOutput>(),
     .MinuteName = "DA出力", .Minute = 22, .MaxStart = 0},
    {.Ref = MemberRef<&R::AtTemp, 0>(), .Code = "C21", .Poll = 25, .Unit = "℃",
     .ExportName = "AT温度-1", .ShortLog = 10,
     .WorkName = "AT-1", .WorkColumn = 4, .Channel = 1,
     .Label = "AT温度1", .ListFormat = "%1.3f ℃", .ListRow = 10},
    {.Ref = MemberRef<&R::AtTemp, 1>(), .Code = "C22", .Poll = 26, .Unit = "℃",
     .ExportName = "AT温度-2", .ShortLog = 11,
     .WorkName = "AT-2", .WorkColumn = 5, .Channel = 2,
     .Label = "AT温度2", .ListFormat = "%1.3f ℃", .ListRow = 11},
    {.Ref = MemberRef<&R::ModelNumber>(), .Code = "S00", .Poll = 20,
     .Label = "モデル番号", .ListFormat = "%1.2f", .ListRow = 24},
    {.Ref = MemberRef<&R::FirmwareVersion>(), .Code = "S01", .Poll = 21,
     .Label = "バージョン", .ListFormat = "%1.2f", .ListRow = 25},
    {.Ref = MemberRef<&R::SystemStatus>(), .Code = "S11", .Poll = 22,
     .Label = "システム状態", .ListFormat = "%d", .ListRow = 26},
    {.Ref = MemberRef<&R::HardwareStatus>(), .Code = "S12", .Poll = 23,
     .Label = "ハード状態", .ListFormat = "%d", .ListRow = 27},
    {.Ref = MemberRef<&R::SoftwareStatus>(), .Code = "S13", .Poll = 24,
     .Label = "ソフト状態", .ListFormat = "%d", .ListRow = 28},
    {.Ref = MemberRef<&R::Debug, 0>(), .Code = "C191", .Poll = 28,
     .ExportName = "DBG#0", .ShortLog = 20,
     .Label = "Dbg-#0", .ListFormat = "%1.3f", .ListRow = 30},
    {.Ref = MemberRef<&R::Debug, 1>(), .Code = "C192", .Poll = 29,
     .ExportName = "DBG#1", .ShortLog = 21,
     .Label = "Dbg-#1", .ListFormat = "%1.3f", .ListRow = 31},
    {.Ref = MemberRef<&R::Debug, 2>(), .ExportName = "DBG#2", .ShortLog = 22},
    {.Ref = MemberRef<&R::Debug, 3>(), .ExportName = "DBG#3", .ShortLog = 23},
};
// clang-format on

// Not a constant expression: reached only when a place's positions are wrong, it stops the build.
void PlaceOutOfOrder();

template <int TSampleField::*Place> constexpr int CountIn() {
    int n = 0;
    for (const TSampleField& f : Rows)
        n += f.*Place >= 0;
    return n;
}
} // namespace sample_fields_detail

// Every value of the sample, in the record's member order.
inline constexpr auto& SampleFields = sample_fields_detail::Rows;

// The values at a place, in its order. With `size` larger than the place's count, the positions
// left unclaimed stay empty (nullptr); without, there may be none.
template <int TSampleField::*Place, int Size = sample_fields_detail::CountIn<Place>()>
constexpr std::array<const TSampleField*, Size> SelectFields() {
    std::array<const TSampleField*, Size> selected{};
    for (const TSampleField& f : SampleFields) {
        const int at = f.*Place;
        if (at < 0) continue;
        if (at >= Size || selected[std::size_t(at)]) sample_fields_detail::PlaceOutOfOrder();
        selected[std::size_t(at)] = &f;
    }
    return selected;
}

// The polled values in request order: ten codes a group, three groups.
inline constexpr auto PolledFields = SelectFields<&TSampleField::Poll>();
inline constexpr int CodeCount = int(PolledFields.size());
inline constexpr std::array<const char*, CodeCount> CodeTable = [] {
    std::array<const char*, CodeCount> codes{};
    for (int i = 0; i < CodeCount; ++i)
        codes[std::size_t(i)] = PolledFields[std::size_t(i)]->Code;
    return codes;
}();
