#include "link/LampHold.h"
#include <algorithm>

void TLampHold::Set(bool on, qint64 nowMs) {
    signal_ = on;
    if (on) {
        lit_ = true;
        lastOnMs_ = nowMs;
    }
    Update(nowMs);
}

void TLampHold::Update(qint64 nowMs) {
    if (lit_ && !signal_ && nowMs - lastOnMs_ >= holdMs_) lit_ = false;
}

qint64 TLampHold::OffDueInMs(qint64 nowMs) const {
    if (!lit_ || signal_) return -1;
    return std::max<qint64>(0, lastOnMs_ + holdMs_ - nowMs);
}
