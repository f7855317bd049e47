#pragma once
#include "acquisition/Exchange.h"
#include "common/Notifier.h"
#include <QString>
#include <QStringList>

struct TWritePrm;

inline const QString WriteUnlockCode = QStringLiteral("8137");

// The settings write window's sequence, headless: seven groups of the current parameter set, each
// written at one tick and judged at the next; a missing answer is written again up to three times, a
// wrong one stops the run. The window (TWriteForm) shows `Lines` and the button flags, follows the
// notifications and forwards its buttons and its closing here.
class TWriteSequence {
  public:
    TWriteSequence(TExchange& exchange, const TWritePrm& prm) : exchange_(exchange), prm_(prm) {}

    int Step = 0;
    bool Running = false;
    int RetryCount = 0;
    // Whether the window is open; the sequence runs only then.
    bool Shown = false;
    bool CloseEnabled = false;
    bool CancelEnabled = true;
    // The memo, a line per step and per problem found.
    QStringList Lines;

    TNotifier<const QString&> LineAdded;
    // Shown, the button flags or the memo (emptied) changed.
    TNotifier<> StateChanged;

    // The window opens: idle, empty memo.
    void FormShow();
    // Starts (or restarts) the run at Group-1.
    void BBDoClick();
    // 中止 and 終了 close the window and end the run's polling pause. So does closing it by its close
    // box or Esc: otherwise polling would stay off for good after a stopped run.
    void BBCancelClick() { Close(); }
    void BBCloseClick() { Close(); }
    void FormClose() { Close(); }

    // One step per main-timer tick; nothing unless the window is open and a run is active.
    void WriteTick();
    void AddMsg(const QString& text);

  private:
    // Compares the first n sent pairs with the answer, a line per problem.
    bool CheckAnswer(int n);
    void Close();
    void WriteGroup(int group);
    void CheckGroup(int group);

    TExchange& exchange_;
    const TWritePrm& prm_;
    // Held from the start of a run to its end or the window's closing.
    TPollingPause pause_;
};
