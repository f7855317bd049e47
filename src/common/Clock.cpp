#include "common/Clock.h"

TDateTime SystemClock::Now() const {
    return FromQDateTime(QDateTime::currentDateTime());
}

void ManualClock::AdvanceMs(qint64 ms) {
    now_ += double(ms) / 86'400'000.0;
}
