#pragma once
#include "common/ProgramFolders.h"
#include "common/TextFile.h"
#include "settings/SettingsSends.h"
#include "settings/WritePrm.h"
#include "settings/WriteSequence.h"
#include <QString>

class TDeviceLink;
class TExchange;
class TPollingCycle;

inline const QString NotConnectedText = QStringLiteral("接続していないので、実行できません！");

// Device settings, headless: the current parameter set and its files, the write sequence and the
// sends of the calibration. The core constructs it, calls WriteTick() once per main-timer tick, and
// the windows follow the notifications of `Write` and `Sends` and call the operations.
class TSettings {
  public:
    TSettings(TExchange& exchange, const TPollingCycle& polling, const TDeviceLink& link,
              const TProgramFolders& folders);
    TSettings(const TSettings&) = delete;
    TSettings& operator=(const TSettings&) = delete;

    // The current parameter set.
    TWritePrm Prm;
    TWriteSequence Write;
    TSettingsSends Sends;

    // The main window's creation: the parameter set takes its defaults.
    void ResetAtStart() { Prm.SetDefaults(); }
    // The system setting window's creation. Silent: a background load.
    void LoadBaseSetpoint();
    // OK of the system setting window, and the user's own setpoint files. A failure carries the
    // system's reason for the error box of the window that asked.
    FileResult SaveBaseSetpoint() const { return Prm.SaveSetpoint(BaseSetpointPath()); }
    FileResult SaveSetpointFile(const QString& path) const { return Prm.SaveSetpoint(path); }
    FileResult LoadSetpointFile(const QString& path) { return Prm.LoadSetpoint(path); }
    // BaseSetpoint.ini in the config folder; DefaultPrm.krv in the data folder, where the
    // technician's setpoint files and the calibration's own are kept.
    QString BaseSetpointPath() const;
    QString DefaultSetpointPath() const;
    // The folder the setpoint files' dialogs start in.
    const QString& SetpointDir() const { return folders_.Data; }

    // The write button, after the page's texts are read: opens the write window's sequence, or
    // refuses (NotConnectedText) while the port is closed.
    bool OpenWriteWindow();

    // The write sequence's step; called once per main-timer tick, polling or not.
    void WriteTick() { Write.WriteTick(); }

  private:
    const TDeviceLink& link_;
    TProgramFolders folders_;
};
