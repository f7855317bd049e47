#include "monitor/RecordRows.h"
#include "acquisition/MeasurementStore.h"
#include "common/NumberFormat.h"
#include "monitor/MinuteStatistics.h"
#include <initializer_list>

namespace {

using Q = TQuantity;

// The long layout's quantities after the azimuth, in column order.
constexpr Q LongColumns[] = {
    Q::Depression,    Q::AirTemp,     Q::AirTempInternal, Q::WindSpeedRaw, Q::WindSpeedUncorr, Q::VectorX,
    Q::VectorY,       Q::VectorZ,     Q::VectorLength,    Q::WdTemp0,      Q::WdTemp1,         Q::WdTemp2,
    Q::WdTemp3,       Q::WdTempDiff0, Q::WdTempDiff1,     Q::WdTempDiff2,  Q::WdTempDiff3,     Q::CpuUse,
    Q::SupplyVoltage, Q::AdCount,     Q::DaOutput};
constexpr Q ShortColumns[] = {Q::Depression, Q::AirTemp, Q::VectorX, Q::VectorY, Q::VectorZ, Q::VectorLength};

void AddValue(QString& row, double value) {
    row += FormatGeneral(value);
    row += QLatin1Char(',');
}

void AddTriple(QString& row, const TMinuteResult& m, Q q) {
    AddValue(row, QuantityValue(m.Average, q));
    AddValue(row, QuantityValue(m.Maximum, q));
    AddValue(row, QuantityValue(m.Minimum, q));
}

template <std::size_t N> void AddTriples(QString& row, const TMinuteResult& m, const Q (&columns)[N]) {
    for (Q q : columns)
        AddTriple(row, m, q);
}

QString Stamp(const char* pattern, TDateTime t) {
    return FormatDateTime(QString::fromLatin1(pattern), t);
}

struct TExportColumns {
    const char* Names;
    const char* Units;
    std::initializer_list<float (*)(const TSampleRec&)> Values;
};

template <auto Field> float Get(const TSampleRec& s) {
    return s.*Field;
}
template <auto Field, int I> float At(const TSampleRec& s) {
    return (s.*Field)[I];
}

const TExportColumns ShortLog = {
    "風速,方位,俯角,気温(参考),風速(生),風速(補正前),Vector-X,Vector-Y,Vector-Z,Vector長さ,AT温度-1,AT温度-2,"
    "WD温度-1,WD温度-2,WD温度-3,WD温度-4,温度差-1,温度差-2,温度差-3,温度差-4,DBG#0,DBG#1,DBG#2,DBG#3,",
    "m/s.,°,°,℃,m/s.,m/s.,,,,,℃,℃,℃,℃,℃,℃,℃,℃,℃,℃,,,,,",
    {Get<&TSampleRec::WindSpeed>,       Get<&TSampleRec::Azimuth>,      Get<&TSampleRec::Depression>,
     Get<&TSampleRec::AirTempInternal>, Get<&TSampleRec::WindSpeedRaw>, Get<&TSampleRec::WindSpeedUncorr>,
     Get<&TSampleRec::VectorX>,         Get<&TSampleRec::VectorY>,      Get<&TSampleRec::VectorZ>,
     Get<&TSampleRec::VectorLength>,    At<&TSampleRec::AtTemp, 0>,     At<&TSampleRec::AtTemp, 1>,
     At<&TSampleRec::WdTemp, 0>,        At<&TSampleRec::WdTemp, 1>,     At<&TSampleRec::WdTemp, 2>,
     At<&TSampleRec::WdTemp, 3>,        At<&TSampleRec::WdTempDiff, 0>, At<&TSampleRec::WdTempDiff, 1>,
     At<&TSampleRec::WdTempDiff, 2>,    At<&TSampleRec::WdTempDiff, 3>, At<&TSampleRec::Debug, 0>,
     At<&TSampleRec::Debug, 1>,         At<&TSampleRec::Debug, 2>,      At<&TSampleRec::Debug, 3>}};

const TExportColumns PlotData = {"風速,方位,俯角,気温(参考),Vector-X,Vector-Y,Vector-Z,",
                                 "m/s.,°,°,℃,,,,,,",
                                 {Get<&TSampleRec::WindSpeed>, Get<&TSampleRec::Azimuth>,
                                  Get<&TSampleRec::Depression>, Get<&TSampleRec::AirTempInternal>,
                                  Get<&TSampleRec::VectorX>, Get<&TSampleRec::VectorY>,
                                  Get<&TSampleRec::VectorZ>}};

} // namespace

QStringList MinuteRecordHeader(bool longLayout) {
    if (!longLayout)
        return {
            QStringLiteral(",風速,,,方位,,,,俯角,,,気温,,,ベクトルX,,,ベクトルY,,,ベクトルZ,,,ベクトル長,,,"),
            QStringLiteral("時刻,Avg,Max,Min,算出平均,単純平均,Max,Min,Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,"
                           "Avg,Max,Min,Avg,Max,Min,Avg,Max,Min,")};
    QString second = QStringLiteral("時刻,Avg,Max,Min,算出平均,単純平均,Max,Min,");
    QStringList groups;
    for (std::size_t i = 0; i < std::size(LongColumns); ++i)
        groups << QStringLiteral("Avg,Max,Min");
    second += groups.join(QLatin1Char(','));
    return {QStringLiteral(",風速,,,方位,,,,俯角,,,気温,,,気温（高精度）,,,風速（生値）,,,風速（高精度）,,,"
                           "ベクトルX,,,ベクトルY,,,"
                           "ベクトルZ,,,ベクトル長,,,風向用温度1,,,風向用温度2,,,風向用温度3,,,風向用温度4,,,"
                           "温度差1,,,温度差2,,,"
                           "温度差3,,,温度差4,,,CPU使用率,,,電源電圧,,,AD変換回数,,,DA出力,,"),
            second};
}

QString MinuteRecordRow(const TMinuteResult& m, TDateTime closedAt, bool longLayout) {
    QString row = Stamp("yyyy/mm/dd hh:nn", closedAt) + QLatin1Char(',');
    AddTriple(row, m, Q::WindSpeed);
    AddValue(row, m.VectorAzimuth);
    AddTriple(row, m, Q::Azimuth);
    if (longLayout)
        AddTriples(row, m, LongColumns);
    else
        AddTriples(row, m, ShortColumns);
    return row;
}

QString MinuteRecordFileName(TDateTime now) {
    return QStringLiteral("RT_") + Stamp("yyyymmdd", now) + QStringLiteral(".RCD");
}

QStringList SecondRecordHeader(const QString& portName) {
    return {portName + QStringLiteral(",風速,方位,俯角,気温(参考),Vector-X,Vector-Y,Vector-Z,"),
            QStringLiteral("時刻,m/s.,°,°,℃,,,,,,")};
}

QString SecondRecordRow(const TSampleRec& s, TDateTime now) {
    return Stamp("yyyy/mm/dd hh:nn:ss", now) + QLatin1Char(',') +
           FormatPrintf("%1.3f,", double(s.WindSpeed)) + FormatPrintf("%1.0f,", double(s.Azimuth)) +
           FormatPrintf("%1.0f,", double(s.Depression)) + FormatPrintf("%1.1f,", double(s.AirTempInternal)) +
           FormatPrintf("%1.3f,", double(s.VectorX)) + FormatPrintf("%1.3f,", double(s.VectorY)) +
           FormatPrintf("%1.3f,", double(s.VectorZ));
}

QString SecondRecordPortPart(const QString& portName) {
    QString part = portName.mid(
        qMax(portName.lastIndexOf(QLatin1Char('/')), portName.lastIndexOf(QLatin1Char('\\'))) + 1);
    for (QChar& c : part)
        if (c.unicode() < 0x20 || QStringView(u"<>:\"|?*").contains(c)) c = QLatin1Char('_');
    return part;
}

QString SecondRecordFileName(const QString& portName, TDateTime now) {
    return QStringLiteral("RT_") + SecondRecordPortPart(portName) + QLatin1Char('_') +
           Stamp("yyyymmdd", now) + QStringLiteral(".csv");
}

QStringList ExportLines(const TSampleHistory& history, TExportKind kind) {
    const TExportColumns& columns = kind == TExportKind::ShortLog ? ShortLog : PlotData;
    QStringList lines = {QLatin1Char(',') + QString::fromUtf8(columns.Names),
                         QLatin1Char(',') + QString::fromUtf8(columns.Units)};
    for (int n = TSampleHistory::size() - 1; n >= 1; --n) {
        const TSampleRec& entry = history[n];
        // Never filled, or a second in which the instrument was silent: no row of made-up values.
        if (entry.Time == 0 || !entry.Valid) continue;
        QString row = Stamp("yyyy/mm/dd hh:nn:ss", entry.Time) + QLatin1Char(',');
        for (auto value : columns.Values)
            AddValue(row, double(value(entry)));
        lines << row;
    }
    return lines;
}
