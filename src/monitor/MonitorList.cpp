#include "monitor/MonitorList.h"
#include "acquisition/MeasurementStore.h"
#include "common/NumberFormat.h"

namespace {

struct TRowSource {
    const char* Caption;
    const char* Format; // nullptr: a separator, its value cell stays empty
    double (*Value)(const TSampleRec&);
};

// Integer fields go through FormatPrintf's integer overload, so "%d" never sees a rounded float.
template <auto Field> double Float(const TSampleRec& s) {
    return double(s.*Field);
}
template <auto Field, int I> double Element(const TSampleRec& s) {
    return double((s.*Field)[I]);
}

constexpr const char* Separator = "----------";

const std::array<TRowSource, MonitorListRows> Rows = {{
    {"風速", "%1.3f m/s.", Float<&TSampleRec::WindSpeed>},
    {"風速(生値)", "%1.3f m/s.", Float<&TSampleRec::WindSpeedRaw>},
    {"風速(補正前)", "%1.3f m/s.", Float<&TSampleRec::WindSpeedUncorr>},
    {"方位", "%3.0f °", Float<&TSampleRec::Azimuth>},
    {"俯角", "%3.0f °", Float<&TSampleRec::Depression>},
    {"気温", "%1.1f ℃", Float<&TSampleRec::AirTemp>},
    {"Vector-X", "%1.3f", Float<&TSampleRec::VectorX>},
    {"Vector-Y", "%1.3f", Float<&TSampleRec::VectorY>},
    {"Vector-Z", "%1.3f", Float<&TSampleRec::VectorZ>},
    {"気温(内部用)", "%1.3f ℃", Float<&TSampleRec::AirTempInternal>},
    {"AT温度1", "%1.3f ℃", Element<&TSampleRec::AtTemp, 0>},
    {"AT温度2", "%1.3f ℃", Element<&TSampleRec::AtTemp, 1>},
    {"WD温度1", "%1.3f ℃", Element<&TSampleRec::WdTemp, 0>},
    {"WD温度2", "%1.3f ℃", Element<&TSampleRec::WdTemp, 1>},
    {"WD温度3", "%1.3f ℃", Element<&TSampleRec::WdTemp, 2>},
    {"WD温度4", "%1.3f ℃", Element<&TSampleRec::WdTemp, 3>},
    {"WD温度差1", "%1.3f ℃", Element<&TSampleRec::WdTempDiff, 0>},
    {"WD温度差2", "%1.3f ℃", Element<&TSampleRec::WdTempDiff, 1>},
    {"WD温度差3", "%1.3f ℃", Element<&TSampleRec::WdTempDiff, 2>},
    {"WD温度差4", "%1.3f ℃", Element<&TSampleRec::WdTempDiff, 3>},
    {"温度差", "%1.3f ℃", Float<&TSampleRec::TempDiff>},
    {"CPU使用率", "%1.1f %%", Float<&TSampleRec::CpuUse>},
    {"AD変換回数", "%d /s.", Float<&TSampleRec::AdCount>},
    {Separator, nullptr, nullptr},
    {"モデル番号", "%1.2f", Float<&TSampleRec::ModelNumber>},
    {"バージョン", "%1.2f", Float<&TSampleRec::FirmwareVersion>},
    {"システム状態", "%d", Float<&TSampleRec::SystemStatus>},
    {"ハード状態", "%d", Float<&TSampleRec::HardwareStatus>},
    {"ソフト状態", "%d", Float<&TSampleRec::SoftwareStatus>},
    {Separator, nullptr, nullptr},
    {"Dbg-#0", "%1.3f", Element<&TSampleRec::Debug, 0>},
    {"Dbg-#1", "%1.3f", Element<&TSampleRec::Debug, 1>},
}};

QString FormatRow(const TRowSource& row, const TSampleRec& sample) {
    if (!row.Format) return {};
    const double value = row.Value(sample);
    // The integer fields hold 32-bit integers, which a double carries exactly.
    if (QByteArrayView(row.Format).contains("%d")) return FormatPrintf(row.Format, qint64(value));
    return FormatPrintf(row.Format, value);
}

const QString HeaderTexts[2] = {QStringLiteral("Name"), QStringLiteral("Data")};

} // namespace

int TMonitorListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : MonitorListRows;
}

int TMonitorListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant TMonitorListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= MonitorListRows) return {};
    const TRowSource& source = Rows[size_t(index.row())];
    if (index.column() == 0) return QString::fromUtf8(source.Caption);
    // Before the first refresh the value cells are empty.
    return refreshed_ ? FormatRow(source, sample_) : QString();
}

QVariant TMonitorListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section > 1) return {};
    return HeaderTexts[section];
}

Qt::ItemFlags TMonitorListModel::flags(const QModelIndex& index) const {
    // Shown only: selectable for reading, never editable.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void TMonitorListModel::SetSample(const TSampleRec& sample) {
    sample_ = sample;
    refreshed_ = true;
    Q_EMIT dataChanged(index(0, 1), index(MonitorListRows - 1, 1), {Qt::DisplayRole});
}
