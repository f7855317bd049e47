#include "monitor/MonitorList.h"
#include "acquisition/MeasurementStore.h"
#include "acquisition/SampleFields.h"
#include "common/NumberFormat.h"

namespace {

// Rows no value claims are separators: their value cell stays empty.
constexpr auto Rows = SelectFields<&TSampleField::ListRow, MonitorListRows>();

QString Caption(const TSampleField* row) {
    return row ? QString::fromUtf8(row->Label) : QStringLiteral("----------");
}

QString FormatRow(const TSampleField* row, const TSampleRec& sample) {
    if (!row) return {};
    // An integer goes through FormatPrintf's integer overload, so "%d" never sees a rounded float.
    if (row->Ref.IsInteger()) return FormatPrintf(row->ListFormat, qint64(row->Ref.Int(sample)));
    return FormatPrintf(row->ListFormat, double(row->Ref.Float(sample)));
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
    const TSampleField* row = Rows[size_t(index.row())];
    if (index.column() == 0) return Caption(row);
    // Before the first refresh the value cells are empty.
    return refreshed_ ? FormatRow(row, sample_) : QString();
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
