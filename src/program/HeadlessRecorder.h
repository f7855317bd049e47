#pragma once
#include "common/Notifier.h"
#include "common/UserPrompts.h"
#include "link/PortSettingsPrompt.h"
#include "program/ProgramCore.h"
#include <QString>
#include <optional>

class Clock;
class SerialPort;

enum class TLogLevel { Info, Warning };

// One line for the log: what happened, and whether something is wrong.
struct TLogLine {
    TLogLevel Level = TLogLevel::Info;
    QString Text;
    bool operator==(const TLogLine&) const = default;
};

// The line as standard error shows it: under the journal (which stamps the time itself) with the
// syslog priority prefix it reads ("<6>", "<4>"), otherwise with the local time in front.
QString FormatLogLine(const TLogLine& line, TDateTime now, bool journal);

// The program without a window (--headless): the core started as the main window starts it, the
// port opened at once, the 200 ms tick, and the minute and second records exactly as the window
// writes them. A port that does not open or goes away is tried again every ReopenIntervalMs while
// the program runs. What a person would want in a log comes out as LogLine, one line per event
// (port opened, lost, back; the instrument silent, answering again; a record failing, written
// again; a new day file), never one per poll. Timing follows the clock, so tests run it with the
// manual one. It never writes BaseSetpoint.ini or Port0.ini: there is no window to change them,
// and --second-record and --port stand for one run only.
class THeadlessRecorder {
  public:
    static constexpr qint64 ReopenIntervalMs = 5000;
    // A port open this long without an answer says so once.
    static constexpr qint64 SilenceReportMs = 10000;

    THeadlessRecorder(SerialPort& port, Clock& clock, const TProgramFolders& folders,
                      const QString& portOverride,
                      std::unique_ptr<RecordStorage> recordStorage = std::make_unique<TFileStorage>(),
                      TRecordWriter::TMode recordMode = TRecordWriter::TMode::Thread);
    THeadlessRecorder(const THeadlessRecorder&) = delete;
    THeadlessRecorder& operator=(const THeadlessRecorder&) = delete;

    TNotifier<const TLogLine&> LogLine;

    TProgramCore& Core() { return core_; }

    // The start: the core's start-up, the switch overridden when given (not stored), the history
    // emptied, the port opened.
    void Start(std::optional<bool> secondRecord);
    // One 200 ms tick: the core's, then a new try of a closed port when one is due.
    void Tick();
    // The end, as the window's close: the minute in progress is dropped, the port closes, every
    // waiting record row is written. `why` names the cause for the log.
    void Stop(const QString& why);

  private:
    // Messages go to the log; a dialog is cancelled: there is nobody to ask.
    class TPrompts final : public UserPrompts, public PortSettingsPrompt {
      public:
        explicit TPrompts(THeadlessRecorder& recorder) : recorder_(recorder) {}
        bool EditPortSettings(TComSettings&, const QList<TPortInfo>&) override { return false; }

      protected:
        void DoShowMessage(const QString& text) override { recorder_.Log(TLogLevel::Info, text); }
        void DoShowError(const QString& text) override { recorder_.Log(TLogLevel::Warning, text); }
        std::optional<QString> DoAskSaveFile(const TSaveFileRequest&) override { return std::nullopt; }
        std::optional<QString> DoAskOpenFile(const TOpenFileRequest&) override { return std::nullopt; }

      private:
        THeadlessRecorder& recorder_;
    };

    void Log(TLogLevel level, const QString& text);
    qint64 NowMs() const;
    QString Port() const;
    void TryOpen(qint64 now);
    void LinkChanged(bool open);
    void FollowAnswers(qint64 now);
    void ReportRecords();

    Clock& clock_;
    TPrompts prompts_;
    TProgramCore core_;
    TNotifier<bool>::Subscription linkFollowing_;
    TNotifier<TRecordKind, const QString&>::Subscription fileFollowing_;

    bool stopping_ = false;
    bool everOpen_ = false;
    qint64 nextTryMs_ = 0;
    // Since when the port has been closed against the program's will (start-up or loss).
    qint64 downSinceMs_ = 0;
    // The open failure last logged; a reason is logged once, not at every try. After a loss the
    // first one is not: the loss's own line said the port is being tried again.
    QString failureLogged_;
    bool quietFailure_ = false;
    qint64 lastAnswerMs_ = 0;
    bool silenceLogged_ = false;
    TRecordHealth healthLogged_;
};
