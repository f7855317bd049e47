#pragma once
#include "acquisition/MeasurementStore.h"
#include <QAbstractTableModel>
#include <QString>
inline constexpr int MonitorListRows = 32;

// The monitor list as a read-only table of name and value, for any view to show. The header row
// ("Name", "Data") is the horizontal header; data row r of the list is model row r - 1. It keeps
// the sample of the last refresh and formats a value only when a view asks for it, so a list that
// nobody shows costs a copy a second, not thirty formatted numbers.
class TMonitorListModel final : public QAbstractTableModel {
  public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The values column now shows `sample`.
    void SetSample(const TSampleRec& sample);

  private:
    TSampleRec sample_;
    bool refreshed_ = false;
};
