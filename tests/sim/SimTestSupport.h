#pragma once
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace simtest {

using Items = QList<QPair<QString, QString>>;

// "AD,K1=V1,K2=V2," after `head`, as key/value pairs; an item without "=" has an empty key so that a
// malformed answer shows up in comparisons.
inline Items ParseItems(const QByteArray& payload, const QByteArray& head) {
    Items items;
    if (!payload.startsWith(head)) return {{"<no " + QString(head) + ">", QString(payload)}};
    for (const QByteArray& item : payload.mid(head.size()).split(',')) {
        if (item.isEmpty()) continue;
        const qsizetype eq = item.indexOf('=');
        items.append(eq < 0 ? qMakePair(QString(), QString(item))
                            : qMakePair(QString(item.left(eq)), QString(item.mid(eq + 1))));
    }
    return items;
}

// Checks a whole wire frame by its own arithmetic rather than through the codec under use.
inline bool WireFrameOk(const QByteArray& wire) {
    const qsizetype close = wire.size() - 5;
    if (!wire.startsWith('<') || !wire.endsWith("\r\n") || close < 1 || wire[close] != '>') return false;
    bool ok = false;
    const uint check = wire.mid(close + 1, 2).toUInt(&ok, 16);
    if (!ok || wire.mid(close + 1, 2) != wire.mid(close + 1, 2).toUpper()) return false;
    uint sum = check;
    for (qsizetype i = 0; i <= close; ++i)
        sum += quint8(wire[i]);
    return sum % 256 == 0;
}

// The payload of a frame from WireFrameOk.
inline QByteArray WirePayload(const QByteArray& wire) {
    return wire.mid(1, wire.size() - 6);
}

} // namespace simtest
