#include "monitor/Monitor.h"
#include "acquisition/MeasurementStore.h"
#include "common/Clock.h"
#include "common/UserPrompts.h"
#include "link/DeviceLink.h"
#include <QDir>

TMonitor::TMonitor(TMeasurementStore& store, const TDeviceLink& link, Clock& clock, UserPrompts& prompts,
                   const TProgramFolders& folders, std::unique_ptr<RecordStorage> storage,
                   TRecordWriter::TMode mode)
    : Records(std::move(storage), QDir(folders.Data).filePath(QStringLiteral("Record")), mode), store_(store),
      link_(link), clock_(clock), prompts_(prompts), configDir_(folders.Config) {}

void TMonitor::OnMainTick() {
    TakeRecordOutcomes();
    const TDateTime now = clock_.Now();
    if (WholeSeconds(now) != WholeSeconds(LastTickTime)) {
        RefreshList();
        SecondStep(now);
    }
    LastTickTime = now;
}

void TMonitor::RefreshList() {
    List.SetSample(store_.CurrentSample);
    ListRefreshed.Notify();
}

void TMonitor::SecondStep(TDateTime now) {
    if (store_.CurrentSample.Valid) MinuteAccumulator.Accumulate(store_.CurrentSample);
    if (secondRecord_) WriteSecondRecord(now);
    // Whole days are whole minutes, so the second of the minute follows from the whole seconds.
    const int second = int(WholeSeconds(now) % 60);
    if (MinuteCloseDue(second, MinuteClosed)) CloseMinute(now);
}

void TMonitor::CloseMinute(TDateTime now) {
    // Nothing collected, or collection stopped: the seconds so far are carried to the next close.
    // The folder is made all the same.
    if (!store_.CurrentSample.Valid || MinuteAccumulator.Count == 0) return Records.Submit({});
    Minute = CloseMinuteOf(MinuteAccumulator);
    const bool longLayout = serviceMode_;
    Records.Submit({TRecordKind::Minute, MinuteRecordFileName(now), MinuteRecordHeader(longLayout),
                    longLayout, MinuteRecordRow(Minute, now, longLayout)});
    MinuteAccumulator.ResetAccumulator();
}

void TMonitor::WriteSecondRecord(TDateTime now) {
    if (!store_.CurrentSample.Valid) {
        TRecordRow none; // the second passes without a row
        none.Kind = TRecordKind::Second;
        return Records.Submit(none);
    }
    const QString& port = link_.PortName();
    Records.Submit({TRecordKind::Second, SecondRecordFileName(port, now), SecondRecordHeader(port), false,
                    SecondRecordRow(store_.CurrentSample, now)});
}

void TMonitor::TakeRecordOutcomes() {
    for (const TRecordOutcome& outcome : Records.TakeOutcomes()) {
        QString& failure = outcome.Kind == TRecordKind::Minute ? Health.MinuteFailure : Health.SecondFailure;
        failure = outcome.Result ? QString() : outcome.Result.Error;
        if (!outcome.StartedFile.isEmpty()) RecordFileStarted.Notify(outcome.Kind, outcome.StartedFile);
    }
    // A record that is off is not failing, whatever its last rows met.
    if (!secondRecord_) Health.SecondFailure.clear();
}

void TMonitor::FlushRecords() {
    Records.Flush();
    TakeRecordOutcomes();
}

QString TMonitor::SettingsPath() const {
    return QDir(configDir_).filePath(QStringLiteral("BaseSetpoint.ini"));
}

void TMonitor::LoadRecordSettings() {
    secondRecord_ = ::LoadRecordSettings(SettingsPath());
}

void TMonitor::SaveRecordSettings() const {
    ::SaveRecordSettings(SettingsPath(), secondRecord_);
}

void TMonitor::SetSecondRecord(bool on) {
    secondRecord_ = on;
    // A record that is off is not failing.
    if (!on) Health.SecondFailure.clear();
}

TRecordStatus TMonitor::RecordStatus() const {
    return MakeRecordStatus(secondRecord_, Health);
}

void TMonitor::EnterServiceMode() {
    serviceMode_ = true;
}

FileResult TMonitor::SaveShortLog(const QString& path) const {
    return ReplaceFile(path, ExportLines(store_.SampleHistory, TExportKind::ShortLog), TUnmappable::Refuse);
}

FileResult TMonitor::SavePlotData(const QString& path) const {
    return ReplaceFile(path, ExportLines(store_.SampleHistory, TExportKind::PlotData), TUnmappable::Refuse);
}

void TMonitor::BBSaveFileClick() {
    Export(TExportKind::ShortLog);
}

void TMonitor::ExportPlotData() {
    Export(TExportKind::PlotData);
}

void TMonitor::Export(TExportKind kind) {
    QString& lastName = kind == TExportKind::ShortLog ? lastShortLogName_ : lastPlotDataName_;
    const std::optional<QString> path =
        prompts_.AskSaveFile({QStringLiteral("CSV File|*.csv"), QStringLiteral("*.csv"), lastName});
    if (!path) return;
    lastName = *path;
    const FileResult written = kind == TExportKind::ShortLog ? SaveShortLog(*path) : SavePlotData(*path);
    if (!written)
        prompts_.ShowError(QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(*path), written.Error));
}
