#include "monitor/Monitor.h"
#include "acquisition/MeasurementStore.h"
#include "common/Clock.h"
#include "common/UserPrompts.h"
#include <QDir>

TMonitor::TMonitor(TMeasurementStore& store, Clock& clock, UserPrompts& prompts,
                   const TProgramFolders& folders)
    : Records(folders.Data), store_(store), clock_(clock), prompts_(prompts), configDir_(folders.Config) {}

void TMonitor::OnMainTick() {
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
    if (store_.MySts.SecRec) WriteSecondRecord(now);
    // Whole days are whole minutes, so the second of the minute follows from the whole seconds.
    const int second = int(WholeSeconds(now) % 60);
    if (MinuteCloseDue(second, MinuteClosed)) CloseMinute(now);
}

void TMonitor::CloseMinute(TDateTime now) {
    Records.EnsureDirectory();
    // Nothing collected, or collection stopped: the seconds so far are carried to the next close.
    if (!store_.CurrentSample.Valid || MinuteAccumulator.Count == 0) return;
    Minute = CloseMinuteOf(MinuteAccumulator);
    (void)Records.WriteMinuteRecord(Minute, now, store_.MySts.ServiceMode);
    MinuteAccumulator.ResetAccumulator();
}

void TMonitor::WriteSecondRecord(TDateTime now) {
    Records.EnsureDirectory();
    if (!store_.CurrentSample.Valid) return;
    (void)Records.WriteSecondRecord(store_.CurrentSample, store_.MySts.PortName, now);
}

QString TMonitor::SettingsPath() const {
    return QDir(configDir_).filePath(QStringLiteral("BaseSetpoint.ini"));
}

void TMonitor::LoadRecordSettings() {
    store_.MySts.SecRec = ::LoadRecordSettings(SettingsPath());
}

void TMonitor::SaveRecordSettings() const {
    ::SaveRecordSettings(SettingsPath(), store_.MySts.SecRec);
}

void TMonitor::SetSecondRecord(bool on) {
    store_.MySts.SecRec = on;
}

void TMonitor::EnterServiceMode() {
    store_.MySts.ServiceMode = true;
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
    const std::optional<QString> path =
        prompts_.AskSaveFile({QStringLiteral("CSV File|*.csv"), QStringLiteral("*.csv"), lastExportName_});
    if (!path) return;
    lastExportName_ = *path;
    const FileResult written = kind == TExportKind::ShortLog ? SaveShortLog(*path) : SavePlotData(*path);
    if (!written)
        prompts_.ShowError(QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(*path), written.Error));
}
