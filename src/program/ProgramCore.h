#pragma once
#include "acquisition/Exchange.h"
#include "acquisition/MeasurementStore.h"
#include "acquisition/PollingCycle.h"
#include "calibration/Calibration.h"
#include "common/Notifier.h"
#include "common/ProgramFolders.h"
#include "link/DeviceLink.h"
#include "monitor/Monitor.h"
#include "settings/Settings.h"

class Clock;
class PortSettingsPrompt;
class SerialPort;
class UserPrompts;

// Composes the subsystems and orders the main timer's tick; it decides nothing itself. Each
// subsystem owns and resets its own state. Views follow the notifications, which name what
// happened, and call the subsystems' operations; a whole run needs no window.
class TProgramCore {
  public:
    // Record rows go to `recordStorage`, the file system unless a test or benchmark says otherwise.
    TProgramCore(SerialPort& port, Clock& clock, UserPrompts& prompts, PortSettingsPrompt& portPrompt,
                 const TProgramFolders& folders,
                 std::unique_ptr<RecordStorage> recordStorage = std::make_unique<TFileStorage>(),
                 TRecordWriter::TMode recordMode = TRecordWriter::TMode::Thread);
    TProgramCore(const TProgramCore&) = delete;
    TProgramCore& operator=(const TProgramCore&) = delete;

    TMeasurementStore Store;
    TDeviceLink Link;
    TExchange Exchange;
    TPollingCycle Polling;
    TMonitor Monitor;
    TSettings Settings;
    TCalibration Calibration;

    // A polling step has decoded the last answer and sent the next request.
    TNotifier<> PollDone;
    // A second of polling is complete: the history has shifted, the firmware flag is current.
    TNotifier<> SecondDone;
    // The tick's steps are all done, polling or not.
    TNotifier<> TickDone;
    // The link opened or closed (by the user or by a fault); the link already tells the port's
    // name, or none.
    TNotifier<bool> LinkStateChanged;

    // The program's start-up, with a window or without: sample reset, polling allowed, the parameter
    // set at its defaults with BaseSetpoint.ini over them, the second-record switch and the port
    // settings loaded. Raises EComPort when Port0.ini cannot be read; the rest is loaded by then.
    void Create();
    // The window program's start-up, which main() calls before any window: Create(), with Port0.ini's
    // failure shown to the user; the program comes up with the settings in memory.
    void StartUp();
    // The main window shown: the history starts empty.
    void Show();
    // One 200 ms tick.
    void MainTimerTimer();
    // Loads the port settings and opens the link; polling starts at the next tick. A port that does
    // not open leaves the program idle, without a message.
    void BBStartClick();
    void BBStopClick();
    // Opens the link with the settings in memory and allows polling: the start button without the
    // reload. False when the port did not open (the link's OpenFailure() says why).
    bool OpenPort();
    // The program's end: the port closes, the second-record switch is stored.
    void Shutdown();

    // Whether the system setting window is shown: the calibration's statistics run only then.
    void SetSettingsViewVisible(bool visible) { settingsViewVisible_ = visible; }
    bool SettingsViewVisible() const { return settingsViewVisible_; }

    TDateTime Now() const;
    // The port is open and no one holds polling paused.
    bool IsPolling() const;

  private:
    void PollingTick();

    Clock& clock_;
    UserPrompts& prompts_;
    TNotifier<bool>::Subscription linkFollowing_;
    // The stop button's own pause; starting ends it, and only it.
    TPollingPause stopPause_;
    bool settingsViewVisible_ = false;
};
