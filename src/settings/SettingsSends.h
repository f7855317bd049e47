#pragma once
#include "acquisition/Exchange.h"
#include "common/Notifier.h"
#include <QString>
#include <QStringList>

class TPollingCycle;
struct TWritePrm;

inline const QString InitialisationCode = QStringLiteral("8161");
// The status memo keeps its last lines, as many as each traffic log: while the instrument does not
// answer, the calibration sends again for as long as it runs, and every check adds a line.
inline constexpr int StatusMemoMaxLines = 5000;

// The default-value and correction sends that the calibration uses. Each send pauses polling, sends
// once and says so in the status lines; the check judges the answer. The caller decides when to
// check, when to send again and when polling comes back on.
class TSettingsSends {
  public:
    // `polling` tells which firmware the instrument runs, and so which default-value series it takes.
    TSettingsSends(TExchange& exchange, const TPollingCycle& polling, const TWritePrm& prm)
        : exchange_(exchange), polling_(polling), prm_(prm) {}

    // The default-value step last sent; past the last step once the series is done.
    int DefaultStep = 0;
    // The calibration page's status memo, its last StatusMemoMaxLines lines.
    QStringList StatusLines;
    TNotifier<const QString&> StatusLineAdded;
    // A default-value step went out. The calibration sequencer follows it to reset its own retry
    // count, which this layer cannot reach.
    TNotifier<int> DefaultStepSent;

    void AddStatusLine(const QString& text);

    void SendSetInit();
    // n one of 0 to 5, 13, 14; any other sends nothing.
    void SendDefaultStep(int n);
    // True once the series is done; it has then sent nothing.
    bool NextDefaultStep(bool advance, bool restart);
    // Judges the answer to the last send: every compared pair present, same key, same 32-bit value.
    bool CheckSetResult();
    // A correction or default-value step went out and its answer has not been judged yet.
    bool WritePending() const { return writePending_; }
    // The pairs of the last send that the check compares.
    int VerifyCount() const { return verifyCount_; }

    // The sends' pause: taken by every send, kept until the caller ends it.
    void PausePolling();
    void ResumePolling() { pause_.Release(); }

    void SendATRev();
    void SendWDRev();
    void Send0mRev();
    void SendNmRev();

  private:
    void Send(const QList<TKeyValStr>& pairs);
    void SendCorrection(const QString& line, const QList<TKeyValStr>& pairs);

    TExchange& exchange_;
    const TPollingCycle& polling_;
    const TWritePrm& prm_;
    TPollingPause pause_;
    int verifyCount_ = 0;
    bool writePending_ = false;
};
