#include "calibration/CalFiles.h"
#include "acquisition/SampleFields.h"
#include "common/NumberFormat.h"
#include <QDir>

bool IsFileNameSafeSerialNo(const QString& serialNo) {
    if (serialNo == QLatin1String(".") || serialNo == QLatin1String("..")) return false;
    for (QChar c : serialNo)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || QStringLiteral("/\\:*?\"<>|").contains(c))
            return false;
    return true;
}

std::optional<QString> CalFilePath(const QString& dir, const QString& serialNo, TDateTime calStart,
                                   const QString& suffix) {
    if (!IsFileNameSafeSerialNo(serialNo)) return std::nullopt;
    return QDir(dir).filePath(serialNo + FormatDateTime(QStringLiteral("_yymmddhhnn"), calStart) + suffix);
}

namespace {
constexpr auto WorkColumns = SelectFields<&TSampleField::WorkColumn>();
} // namespace

QStringList CalCsvLines(const TSampleHistory& history) {
    QStringList lines{QStringLiteral(","), QStringLiteral(",")};
    for (const TSampleField* f : WorkColumns) {
        lines[0] += QString::fromUtf8(f->WorkName) + QLatin1Char(',');
        lines[1] += QString::fromUtf8(f->Unit) + QLatin1Char(',');
    }
    for (int n = HistorySize - 1; n >= 1; --n) {
        const TSampleRec& s = history[n];
        // Never filled, or a second in which the instrument was silent: no row of made-up values.
        if (s.Time == 0 || !s.Valid) continue;
        QString row = FormatDateTime(QStringLiteral("yyyy/mm/dd hh:nn:ss"), s.Time) + QLatin1Char(',');
        for (const TSampleField* f : WorkColumns)
            row += FormatGeneral(f->Ref.Value(s)) + QLatin1Char(',');
        lines << row;
    }
    return lines;
}

FileResult WriteCalCsv(const QString& path, const TSampleHistory& history) {
    return ReplaceFile(path, CalCsvLines(history), TUnmappable::Refuse);
}
