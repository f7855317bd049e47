#pragma once
#include "acquisition/Exchange.h"
#include "acquisition/MeasurementStore.h"
#include "acquisition/PollingCycle.h"
#include "link/DeviceLink.h"
#include <functional>

class Clock;
class SerialPort;
class UserPrompts;

// Owns the program-wide state and runs the main timer's tick. Windows show what it holds and forward
// their buttons to it; a whole run needs no window.
class TProgramCore {
  public:
    TProgramCore(SerialPort& port, Clock& clock, UserPrompts& prompts, QString programDir);
    TProgramCore(const TProgramCore&) = delete;
    TProgramCore& operator=(const TProgramCore&) = delete;

    TMeasurementStore Store;
    TDeviceLink Link;
    TExchange Exchange;
    TPollingCycle Polling;

    // The main window's refresh, once a second while polling.
    std::function<void()> ShowLiveValues;
    // The service windows' turns in the tick. OnSecond follows the refresh; OnTick and OnMainTick run
    // on every tick, polling or not.
    std::function<void()> OnSecond;
    std::function<void()> OnTick;
    std::function<void()> OnMainTick;

    // The main window's creation: port settings loaded, sample reset, polling allowed. Raises EComPort
    // when Port0.ini cannot be read.
    void Create();
    // The main window shown: the history starts empty.
    void Show();
    // One 200 ms tick.
    void MainTimerTimer();
    // Loads the port settings and opens the link; polling starts at the next tick. A port that does
    // not open leaves the program idle, without a message.
    void BBStartClick();
    void BBStopClick();
    // The main window's destruction.
    void Shutdown();

    TDateTime Now() const;
    // The port is open and polling is allowed.
    bool IsPolling() const;

  private:
    Clock& clock_;
    UserPrompts& prompts_;
};
