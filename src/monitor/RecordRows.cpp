#include "monitor/RecordRows.h"
#include "acquisition/MeasurementStore.h"
#include "common/NumberFormat.h"
#include "monitor/MinuteStatistics.h"
#include <span>

namespace {

using TFields = std::span<const TSampleField* const>;

constexpr auto ShortColumns = SelectFields<&TSampleField::MinuteShort>();
constexpr auto ShortLogColumns = SelectFields<&TSampleField::ShortLog>();
// The second record shares the plot data's columns.
constexpr auto PlotColumns = SelectFields<&TSampleField::PlotData>();

void AddValue(QString& row, double value) {
    row += FormatGeneral(value);
    row += QLatin1Char(',');
}

QString Stamp(const char* pattern, TDateTime t) {
    return FormatDateTime(QString::fromLatin1(pattern), t);
}

// Each text followed by a comma.
template <class Text> QString Cells(TFields fields, Text text) {
    QString cells;
    for (const TSampleField* f : fields) {
        cells += QString::fromUtf8(text(*f));
        cells += QLatin1Char(',');
    }
    return cells;
}
QString Names(TFields fields) {
    return Cells(fields, [](const TSampleField& f) { return f.ExportName; });
}
// The plot columns' unit line has two empty cells more than it has columns.
QString Units(TFields fields, bool plotColumns) {
    return Cells(fields, [](const TSampleField& f) { return f.Unit; }) +
           (plotColumns ? QStringLiteral(",,") : QString());
}

QStringList MinuteHeaderOf(TFields columns, bool longLayout) {
    QString names = QStringLiteral(",");
    QString captions = QStringLiteral("時刻,");
    for (const TSampleField* f : columns) {
        names += QString::fromUtf8(f->MinuteName) + QStringLiteral(",,,");
        if (f->VectorAverage) {
            names += QLatin1Char(',');
            captions += QStringLiteral("算出平均,単純平均,Max,Min,");
        } else {
            captions += QStringLiteral("Avg,Max,Min,");
        }
    }
    // The long layout's lines end without the last comma.
    if (longLayout) {
        names.chop(1);
        captions.chop(1);
    }
    return {names, captions};
}

// Made once: a header goes with every row, though only a new file writes it.
const QStringList MinuteHeaders[2] = {MinuteHeaderOf(ShortColumns, false),
                                      MinuteHeaderOf(MinuteFields, true)};
const QString PlotNames = Names(PlotColumns);
const QString PlotUnits = Units(PlotColumns, true);
const QString ShortLogNames = Names(ShortLogColumns);
const QString ShortLogUnits = Units(ShortLogColumns, false);

} // namespace

QStringList MinuteRecordHeader(bool longLayout) {
    return MinuteHeaders[longLayout];
}

QString MinuteRecordRow(const TMinuteResult& m, TDateTime closedAt, bool longLayout) {
    QString row = Stamp("yyyy/mm/dd hh:nn", closedAt) + QLatin1Char(',');
    for (const TSampleField* f : longLayout ? TFields(MinuteFields) : TFields(ShortColumns)) {
        if (f->VectorAverage) AddValue(row, m.VectorAzimuth);
        AddValue(row, f->Ref.Value(m.Average));
        AddValue(row, f->Ref.Value(m.Maximum));
        AddValue(row, f->Ref.Value(m.Minimum));
    }
    return row;
}

QString MinuteRecordFileName(TDateTime now) {
    return QStringLiteral("RT_") + Stamp("yyyymmdd", now) + QStringLiteral(".RCD");
}

QStringList SecondRecordHeader(const QString& portName) {
    return {portName + QLatin1Char(',') + PlotNames, QStringLiteral("時刻,") + PlotUnits};
}

QString SecondRecordRow(const TSampleRec& s, TDateTime now) {
    QString row = Stamp("yyyy/mm/dd hh:nn:ss", now) + QLatin1Char(',');
    for (const TSampleField* f : PlotColumns)
        row += FormatPrintf(f->SecondFormat, f->Ref.Value(s));
    return row;
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
    const bool plot = kind == TExportKind::PlotData;
    const TFields columns = plot ? TFields(PlotColumns) : TFields(ShortLogColumns);
    QStringList lines = {QLatin1Char(',') + (plot ? PlotNames : ShortLogNames),
                         QLatin1Char(',') + (plot ? PlotUnits : ShortLogUnits)};
    for (int n = TSampleHistory::size() - 1; n >= 1; --n) {
        const TSampleRec& entry = history[n];
        // Never filled, or a second in which the instrument was silent: no row of made-up values.
        if (entry.Time == 0 || !entry.Valid) continue;
        QString row = Stamp("yyyy/mm/dd hh:nn:ss", entry.Time) + QLatin1Char(',');
        for (const TSampleField* f : columns)
            AddValue(row, f->Ref.Value(entry));
        lines << row;
    }
    return lines;
}
