#include "settings/Settings.h"
#include "link/DeviceLink.h"
#include <QDir>

TSettings::TSettings(TExchange& exchange, const TPollingCycle& polling, const TDeviceLink& link,
                     const TProgramFolders& folders)
    : Write(exchange, Prm), Sends(exchange, polling, Prm), link_(link), folders_(folders) {}

QString TSettings::BaseSetpointPath() const {
    return QDir(folders_.Config).filePath(BaseSetpointFileName);
}

QString TSettings::DefaultSetpointPath() const {
    return QDir(folders_.Data).filePath(DefaultSetpointFileName);
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
