#include "program/ProgramCore.h"
#include "common/Clock.h"
#include "common/UserPrompts.h"
#include "link/SerialPort.h"

TProgramCore::TProgramCore(SerialPort& port, Clock& clock, UserPrompts& prompts,
                           PortSettingsPrompt& portPrompt, const TProgramFolders& folders,
                           std::unique_ptr<RecordStorage> recordStorage, TRecordWriter::TMode recordMode)
    : Link(port, prompts, portPrompt, folders.Config), Exchange(Link), Polling(Exchange, Store),
      Monitor(Store, Link, clock, prompts, folders, std::move(recordStorage), recordMode),
      Settings(Exchange, Polling, Link, folders), Calibration(Settings, Store, clock, prompts, folders.Data),
      clock_(clock), prompts_(prompts) {
    linkFollowing_ = Link.LinkStateChanged.Follow([this](bool open) {
        if (open) {
            Exchange.ForgetAnswer();
            Polling.LinkOpened();
        }
        LinkStateChanged.Notify(open);
    });
}

void TProgramCore::Create() {
    Store.ResetAtStart();
    stopPause_.Release();
    Monitor.ResetAtStart();
    Settings.ResetAtStart();
    // The system setting window's creation loaded it, right after the main window's; the core does,
    // so that a run without windows has the same set. Before the port's file, whose failure raises.
    Settings.LoadBaseSetpoint();
    Monitor.LoadRecordSettings();
    Link.LoadPortSettings();
}

void TProgramCore::StartUp() {
    try {
        Create();
    } catch (const EComPort& e) {
        prompts_.ShowError(e.Message());
    }
}

void TProgramCore::Show() {
    Store.ClearHistory();
}

TDateTime TProgramCore::Now() const {
    return clock_.Now();
}

bool TProgramCore::IsPolling() const {
    return Link.ComPortM.Connected() && Exchange.PollingAllowed();
}

// The order of the tick:
//   port open and polling allowed? polling step (PollDone); every fifth: history shift, firmware
//                                  flag (SecondDone) — otherwise the sample is marked invalid
//   settings write step, polling or not, then the calibration sequencer (every second call)
//   monitor step (once per new wall-clock second), then TickDone
// Nothing in it may ask the user anything: a prompt would stall the tick and every sequence.
void TProgramCore::MainTimerTimer() {
    const TTickScope tick(prompts_);
    if (IsPolling())
        PollingTick();
    else
        Store.CurrentSample.Valid = false;
    // Polling or not: the write sequence switches polling off itself and must go on stepping.
    Settings.WriteTick();
    // The calibration sequencer runs on every second call.
    Calibration.OnTick();
    Monitor.OnMainTick();
    TickDone.Notify();
}

void TProgramCore::PollingTick() {
    Polling.PollStep();
    Store.CurrentSample.Valid = Polling.SampleCurrent();
    PollDone.Notify();
    if (!Polling.CountTick()) return;
    Store.ShiftHistory(clock_.Now());
    Polling.UpdateFirmwareFlag();
    Calibration.OnSecond(settingsViewVisible_);
    SecondDone.Notify();
}

void TProgramCore::BBStartClick() {
    try {
        Link.LoadPortSettings();
    } catch (const EComPort& e) {
        // The settings in memory still stand; the user learns why the file was not used.
        prompts_.ShowError(e.Message());
    }
    OpenPort();
}

bool TProgramCore::OpenPort() {
    const bool opened = Link.OpenLink();
    stopPause_.Release();
    return opened;
}

void TProgramCore::BBStopClick() {
    Link.CloseLink();
    stopPause_ = Exchange.PausePolling();
}

void TProgramCore::Shutdown() {
    Link.CloseLink();
    Monitor.SaveRecordSettings();
}
