#include "calibration/CalFiles.h"
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

QStringList CalCsvLines(const TSampleHistory& history) {
    QStringList lines{QStringLiteral(",風速,気温,温度差,風速(RAW),AT-1,AT-2,WDT-1,WDT-2,WDT-3,WDT-4,"),
                      QStringLiteral(",m/s.,℃,℃,m/s.,℃,℃,℃,℃,℃,℃,")};
    for (int n = HistorySize - 1; n >= 1; --n) {
        const TSampleRec& s = history[n];
        // Never filled, or a second in which the instrument was silent: no row of made-up values.
        if (s.Time == 0 || !s.Valid) continue;
        QString row = FormatDateTime(QStringLiteral("yyyy/mm/dd hh:nn:ss"), s.Time) + QLatin1Char(',');
        for (float v : {s.WindSpeed, s.AirTempInternal, s.TempDiff, s.WindSpeedRaw, s.AtTemp[0], s.AtTemp[1],
                        s.WdTemp[0], s.WdTemp[1], s.WdTemp[2], s.WdTemp[3]})
            row += FormatGeneral(double(v)) + QLatin1Char(',');
        lines << row;
    }
    return lines;
}

FileResult WriteCalCsv(const QString& path, const TSampleHistory& history) {
    return ReplaceFile(path, CalCsvLines(history), TUnmappable::Refuse);
}
