#include "program/ProgramCore.h"
#include "common/Clock.h"
#include "common/UserPrompts.h"
#include "link/SerialPort.h"

TProgramCore::TProgramCore(SerialPort& port, Clock& clock, UserPrompts& prompts, QString programDir)
    : Link(port, Store.MySts, prompts, std::move(programDir)), Exchange(Link), Polling(Exchange, Store),
      clock_(clock), prompts_(prompts) {}

void TProgramCore::Create() {
    Link.Tag = 0;
    Exchange.PollingEnabled = true;
    Store.MySts.ServiceMode = false;
    Store.CurrentSample.AirTemp = 0;
    Store.CurrentSample.WindSpeed = 0;
    Store.CurrentSample.Valid = false;
    Link.LoadPortSettings();
}

void TProgramCore::Show() {
    Store.ClearHistory();
}

TDateTime TProgramCore::Now() const {
    return clock_.Now();
}

bool TProgramCore::IsPolling() const {
    return Link.ComPortM.Connected() && Exchange.PollingEnabled;
}

void TProgramCore::MainTimerTimer() {
    if (IsPolling()) {
        Polling.PollStep();
        Store.CurrentSample.Valid = true;
        if (Polling.CountTick()) {
            Store.ShiftHistory(clock_.Now());
            if (ShowLiveValues) ShowLiveValues();
            Polling.UpdateFirmwareFlag();
            if (OnSecond) OnSecond();
        }
    } else {
        Store.CurrentSample.Valid = false;
    }
    if (OnTick) OnTick();
    if (OnMainTick) OnMainTick();
}

void TProgramCore::BBStartClick() {
    try {
        Link.LoadPortSettings();
    } catch (const EComPort& e) {
        // The settings in memory still stand; the user learns why the file was not used.
        prompts_.ShowError(e.Message());
    }
    Link.OpenLink();
    Exchange.PollingEnabled = true;
}

void TProgramCore::BBStopClick() {
    Link.CloseLink();
    Exchange.PollingEnabled = false;
}

void TProgramCore::Shutdown() {
    Link.CloseLink();
}
