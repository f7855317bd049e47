#pragma once
#include <QAbstractTableModel>
#include <QString>
#include <array>

struct TSampleRec;

inline constexpr int MonitorListRows = 32;

struct TMonitorListRow {
    QString Caption;
    QString Value; // empty for the separator rows
    bool operator==(const TMonitorListRow&) const = default;
};
using TMonitorListTexts = std::array<TMonitorListRow, MonitorListRows>;

// Every row of the monitor list for a sample: caption and formatted value.
TMonitorListTexts MakeMonitorListTexts(const TSampleRec& sample);

// The monitor list as a read-only table of name and value, for any view to show. The header row
// ("Name", "Data") is the horizontal header; data row r of the list is model row r - 1.
class TMonitorListModel final : public QAbstractTableModel {
  public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Only the rows whose text changed are reported to the views.
    void SetTexts(const TMonitorListTexts& texts);
    const TMonitorListTexts& Texts() const { return texts_; }

  private:
    TMonitorListTexts texts_{};
};
