#pragma once
#include <QString>
#include <QtGlobal>

inline const QString VersionText = QStringLiteral("0.80");

// The program status record, one for the whole run. Every layer may read it; each field is written
// by the subsystem that owns what it describes.
struct TMySts {
    bool ServiceMode = false;
    bool CurrentFirmware = false;
    qint32 VerifyCount = 0;
    bool WritePending = false;
    bool SecRec = false;
    QString PortName;
};
