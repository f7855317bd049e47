#include "program/HeadlessRecorder.h"
#include "common/Clock.h"
#include "link/SerialPort.h"
#include <cmath>

QString FormatLogLine(const TLogLine& line, TDateTime now, bool journal) {
    if (journal)
        return (line.Level == TLogLevel::Warning ? QStringLiteral("<4>") : QStringLiteral("<6>")) + line.Text;
    return FormatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss "), now) + line.Text;
}

THeadlessRecorder::THeadlessRecorder(SerialPort& port, Clock& clock, const TProgramFolders& folders,
                                     const QString& portOverride,
                                     std::unique_ptr<RecordStorage> recordStorage,
                                     TRecordWriter::TMode recordMode)
    : clock_(clock), prompts_(*this),
      core_(port, clock, prompts_, prompts_, folders, std::move(recordStorage), recordMode) {
    core_.Link.SetPortOverride(portOverride);
    linkFollowing_ = core_.LinkStateChanged.Follow([this](bool open) { LinkChanged(open); });
    fileFollowing_ = core_.Monitor.RecordFileStarted.Follow([this](TRecordKind kind, const QString& path) {
        Log(TLogLevel::Info, QStringLiteral("%1 record: new file %2")
                                 .arg(kind == TRecordKind::Minute ? "minute" : "second", path));
    });
}

void THeadlessRecorder::Log(TLogLevel level, const QString& text) {
    LogLine.Notify({level, text});
}

qint64 THeadlessRecorder::NowMs() const {
    return std::llround(clock_.Now() * 86'400'000.0);
}

QString THeadlessRecorder::Port() const {
    return core_.Link.ComPortM.Port();
}

void THeadlessRecorder::Start(std::optional<bool> secondRecord) {
    try {
        core_.Create();
    } catch (const EComPort& e) {
        // As the window's error box: the settings in memory stand.
        Log(TLogLevel::Warning, QStringLiteral("%1: %2; the port settings in memory are used")
                                    .arg(core_.Link.SettingsPath(), e.Message()));
    }
    if (secondRecord) core_.Monitor.SetSecondRecord(*secondRecord);
    core_.Show();
    Log(TLogLevel::Info,
        QStringLiteral("recording %1 into %2, second record %3")
            .arg(Port(), core_.Monitor.Records.Folder(),
                 core_.Monitor.SecondRecord() ? QStringLiteral("on") : QStringLiteral("off")));
    const qint64 now = NowMs();
    downSinceMs_ = now;
    TryOpen(now);
}

void THeadlessRecorder::Tick() {
    core_.MainTimerTimer();
    const qint64 now = NowMs();
    // A clock set back (the end of summer time) must not put the next try an hour away.
    const bool due = now >= nextTryMs_ || now < nextTryMs_ - ReopenIntervalMs;
    if (!stopping_ && !core_.Link.LinkOpen() && due) TryOpen(now);
    FollowAnswers(now);
    ReportRecords();
}

void THeadlessRecorder::Stop(const QString& why) {
    stopping_ = true;
    core_.BBStopClick();
    core_.Monitor.FlushRecords();
    ReportRecords();
    Log(TLogLevel::Info, QStringLiteral("stopped (%1)").arg(why));
}

void THeadlessRecorder::TryOpen(qint64 now) {
    nextTryMs_ = now + ReopenIntervalMs;
    if (core_.OpenPort()) return;
    const QString failure = core_.Link.OpenFailure();
    if (std::exchange(quietFailure_, false)) {
        failureLogged_ = failure;
        return;
    }
    if (failure == failureLogged_) return;
    failureLogged_ = failure;
    Log(TLogLevel::Warning,
        QStringLiteral("%1; trying again every %2 s").arg(failure).arg(ReopenIntervalMs / 1000));
}

void THeadlessRecorder::LinkChanged(bool open) {
    const qint64 now = NowMs();
    if (open) {
        const qint64 downSeconds = (now - downSinceMs_) / 1000;
        if (!everOpen_ && failureLogged_.isEmpty())
            Log(TLogLevel::Info, QStringLiteral("port %1 opened").arg(Port()));
        else
            Log(TLogLevel::Info,
                QStringLiteral("port %1 %2 after %3 s")
                    .arg(Port(), everOpen_ ? QStringLiteral("back") : QStringLiteral("opened"))
                    .arg(downSeconds));
        everOpen_ = true;
        failureLogged_.clear();
        quietFailure_ = false;
        lastAnswerMs_ = now;
        silenceLogged_ = false;
        return;
    }
    if (stopping_) return;
    Log(TLogLevel::Warning,
        QStringLiteral("port %1 lost; trying again every %2 s").arg(Port()).arg(ReopenIntervalMs / 1000));
    downSinceMs_ = now;
    nextTryMs_ = now + ReopenIntervalMs;
    quietFailure_ = true;
}

void THeadlessRecorder::FollowAnswers(qint64 now) {
    if (!core_.Link.LinkOpen()) return;
    if (core_.Store.CurrentSample.Valid || now < lastAnswerMs_) {
        if (std::exchange(silenceLogged_, false))
            Log(TLogLevel::Info, QStringLiteral("the instrument on %1 answers again").arg(Port()));
        lastAnswerMs_ = now;
        return;
    }
    if (silenceLogged_ || now - lastAnswerMs_ < SilenceReportMs) return;
    silenceLogged_ = true;
    Log(TLogLevel::Warning,
        QStringLiteral("the instrument on %1 has not answered for %2 s; nothing is recorded")
            .arg(Port())
            .arg(SilenceReportMs / 1000));
}

void THeadlessRecorder::ReportRecords() {
    const auto report = [this](const char* record, const QString& failure, QString& logged) {
        if (failure == logged) return;
        if (failure.isEmpty())
            Log(TLogLevel::Info, QStringLiteral("%1 record written again").arg(QLatin1String(record)));
        else
            Log(TLogLevel::Warning,
                QStringLiteral("%1 record not written: %2").arg(QLatin1String(record), failure));
        logged = failure;
    };
    const TRecordHealth& health = core_.Monitor.Health;
    report("minute", health.MinuteFailure, healthLogged_.MinuteFailure);
    report("second", health.SecondFailure, healthLogged_.SecondFailure);
}
