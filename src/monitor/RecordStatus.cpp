#include "monitor/RecordStatus.h"
#include <QStringList>

TRecordStatus MakeRecordStatus(bool secondRecordOn, const TRecordHealth& health) {
    QStringList detail;
    if (!health.MinuteFailure.isEmpty())
        detail << QStringLiteral("Minute record not written: ") + health.MinuteFailure;
    if (!health.SecondFailure.isEmpty())
        detail << QStringLiteral("Second record not written: ") + health.SecondFailure;
    QString text = secondRecordOn ? QStringLiteral("SR") : QString();
    if (!health.SecondFailure.isEmpty()) text = QStringLiteral("SR!");
    if (!health.MinuteFailure.isEmpty()) text = QStringLiteral("REC!");
    return {text, detail.join(QLatin1Char('\n'))};
}
