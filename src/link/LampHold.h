#pragma once
#include <QtGlobal>

// An activity lamp that lights stays lit long enough to be seen. The port switches its send and
// receive signals on and off within one pass of the event loop, so a lamp that only followed them
// would never be painted lit. Here an off comes no sooner than the hold time after the last on; a
// signal that stays on keeps the lamp lit. Times are milliseconds of a steady clock.
class TLampHold {
  public:
    static constexpr qint64 ActivityHoldMs = 100;

    explicit TLampHold(qint64 holdMs = ActivityHoldMs) : holdMs_(holdMs) {}

    // The signal went on or off at `nowMs`.
    void Set(bool on, qint64 nowMs);
    // Time has passed: the lamp goes off if its off is due.
    void Update(qint64 nowMs);
    bool Lit() const { return lit_; }
    // How long from `nowMs` until the lamp's pending off is due; -1 when none is pending.
    qint64 OffDueInMs(qint64 nowMs) const;

  private:
    qint64 holdMs_;
    bool signal_ = false;
    bool lit_ = false;
    qint64 lastOnMs_ = 0;
};
