#pragma once
#include "common/DateTime.h"

// The local date-time now. The program uses the system clock, tests a manual one.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual TDateTime Now() const = 0;
};

class SystemClock final : public Clock {
  public:
    TDateTime Now() const override;
};

class ManualClock final : public Clock {
  public:
    explicit ManualClock(TDateTime start = EncodeDateTime(2026, 1, 1)) : now_(start) {}
    TDateTime Now() const override { return now_; }
    void Set(TDateTime value) { now_ = value; }
    void AdvanceMs(qint64 ms);

  private:
    TDateTime now_;
};
