#pragma once
#include "common/DateTime.h"
#include "common/Notifier.h"
#include "common/ProgramFolders.h"
#include "common/TextFile.h"
#include "monitor/MinuteStatistics.h"
#include "monitor/MonitorList.h"
#include "monitor/RecordRows.h"
#include "monitor/RecordStatus.h"
#include "monitor/RecordStorage.h"
#include "monitor/RecordWriter.h"
#include <QString>

class Clock;
class TDeviceLink;
class UserPrompts;
struct TMeasurementStore;

// Monitoring and recording: the monitor list's once-a-second clock, the minute statistics, the
// minute and second records with their switch, and the exports of the history. Headless; the
// monitor list window only shows `List` and forwards its buttons here.
class TMonitor {
  public:
    // Record rows go to `storage` (the file system unless a test or benchmark says otherwise). The
    // second record is named after the port `link` has open.
    TMonitor(TMeasurementStore& store, const TDeviceLink& link, Clock& clock, UserPrompts& prompts,
             const TProgramFolders& folders,
             std::unique_ptr<RecordStorage> storage = std::make_unique<TFileStorage>(),
             TRecordWriter::TMode mode = TRecordWriter::TMode::Thread);
    TMonitor(const TMonitor&) = delete;
    TMonitor& operator=(const TMonitor&) = delete;

    // The list has been rewritten from the current sample (once per wall-clock second).
    TNotifier<> ListRefreshed;
    // A record's row began a new file (a new day, or the first row into an empty folder): its path.
    TNotifier<TRecordKind, const QString&> RecordFileStarted;

    TMonitorListModel List;
    TMinuteAccumulator MinuteAccumulator;
    // The last closed minute, as written to the minute record.
    TMinuteResult Minute;
    bool MinuteClosed = false;
    TDateTime LastTickTime = 0;
    // Rows are written on a thread of their own, in order; the end writes every waiting row.
    TRecordWriter Records;
    // What became of each record's last row written: the status bar shows it.
    TRecordHealth Health;

    // The monitor's step at the end of every tick: acts once per new wall-clock second; a second
    // in which no tick fires is skipped, not made up.
    void OnMainTick();
    // Returns once every row so far is written, with Health up to date.
    void FlushRecords();

    // The program's creation: no service mode.
    void ResetAtStart() { serviceMode_ = false; }

    // The second-record switch, loaded at start-up and saved when the list closes and at the end.
    void LoadRecordSettings();
    void SaveRecordSettings() const;
    void SetSecondRecord(bool on);
    bool SecondRecord() const { return secondRecord_; }
    // The record panel's text and its detail.
    TRecordStatus RecordStatus() const;
    // A service window was opened with Shift: the minute record takes its long layout from now on.
    void EnterServiceMode();
    bool ServiceMode() const { return serviceMode_; }

    // Click-time exports: the save dialog, then the file; a failed write is shown with its reason.
    void BBSaveFileClick();
    void ExportPlotData();
    FileResult SaveShortLog(const QString& path) const;
    FileResult SavePlotData(const QString& path) const;

  private:
    void RefreshList();
    void SecondStep(TDateTime now);
    void CloseMinute(TDateTime now);
    void WriteSecondRecord(TDateTime now);
    void TakeRecordOutcomes();
    void Export(TExportKind kind);
    QString SettingsPath() const;

    TMeasurementStore& store_;
    const TDeviceLink& link_;
    Clock& clock_;
    UserPrompts& prompts_;
    QString configDir_;
    // Each export's save dialog offers the name last confirmed for it: a shared name put the
    // other file one Enter away from being overwritten.
    QString lastShortLogName_;
    QString lastPlotDataName_;
    bool secondRecord_ = false;
    bool serviceMode_ = false;
};
