#include "settings/Settings.h"
#include "link/DeviceLink.h"
#include <QDir>

TSettings::TSettings(TExchange& exchange, TMySts& status, const TDeviceLink& link, QString programDir)
    : Write(exchange, Prm), Sends(exchange, status, Prm), link_(link), programDir_(std::move(programDir)) {}

QString TSettings::BaseSetpointPath() const {
    return QDir(programDir_).filePath(BaseSetpointFileName);
}

QString TSettings::DefaultSetpointPath() const {
    return QDir(programDir_).filePath(DefaultSetpointFileName);
}

void TSettings::LoadBaseSetpoint() {
    // Background file: a failure leaves the set as it was and is not shown.
    (void)Prm.LoadSetpoint(BaseSetpointPath());
}

bool TSettings::OpenWriteWindow() {
    if (!link_.ComPortM.Connected()) return false;
    Write.FormShow();
    return true;
}
