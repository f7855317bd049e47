#pragma once
#include "calibration/CalStatistics.h"
#include "calibration/CalView.h"
#include "common/Notifier.h"
#include <QString>
#include <optional>

class Clock;
class TSettings;
class TSettingsSends;
class UserPrompts;
struct TMeasurementStore;

// The factory calibration, headless: the step machine and its sequencer, the statistics, the
// confirmations, the work files and the page's view state. The core calls OnTick (every tick, after
// the settings write step) and OnSecond (once a second of polling); the page shows `View` and calls
// the button operations. Prompts come only from the button operations.
class TCalibration {
  public:
    TCalibration(TSettings& settings, TMeasurementStore& store, Clock& clock, UserPrompts& prompts,
                 QString dataDir);
    TCalibration(const TCalibration&) = delete;
    TCalibration& operator=(const TCalibration&) = delete;

    int CalStep = 0;
    int SeqRetry = 0;
    int SeqTickCount = 0;
    TCalStats Stats;
    TCalView View;

    // The view state changed (a second's refresh or a button).
    TNotifier<> ViewChanged;
    // The current parameter set was replaced or changed: the direct page shows it again.
    TNotifier<> ParamsChanged;

    // Every main-timer tick; the sequencer runs on every second call.
    void OnTick();
    // Once a second of polling: the statistics only while the system setting window is visible.
    void OnSecond(bool settingsViewVisible);
    void RunSequencer();

    // The buttons. `serialNo` is the serial-number edit's text at the click.
    void BBCalStartClick(const QString& serialNo);
    void BBATRcvFinClick();
    void BBWSTRcvFinClick();
    void BBWSTClearClick();
    void BB0mCalFinClick();
    void BB4mCalFinClick();
    void BBFinClick();

    // The calibration's file with `suffix`; nothing when the serial number cannot be a file name.
    std::optional<QString> CalFilePath(const QString& suffix) const;
    // Silent, like every background setpoint save; an unsafe serial number writes nothing.
    void SaveCalSetpoint();

  private:
    void ShowCalState();
    // False (after the error box) when the work file could not be written.
    bool WriteWorkFile(const QString& suffix);
    void CheckCorrection(void (TSettingsSends::*resend)());
    void Finish(int step);

    TSettings& settings_;
    TMeasurementStore& store_;
    Clock& clock_;
    UserPrompts& prompts_;
    QString dataDir_;
    TNotifier<int>::Subscription defaultStepFollowing_;
};
