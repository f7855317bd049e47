#pragma once
#include "link/FrameCodec.h"
#include "model/FaultInjector.h"
#include "model/InstrumentModel.h"
#include <functional>

namespace krvsim {

// The instrument's serial side: received bytes in, answer bytes out. Frames are checked the way the
// instrument checks them, so bytes buffered before a "<" spoil that frame; spoilt frames get no
// answer.
class Responder {
  public:
    Responder(InstrumentModel& model, FaultInjector& faults) : model_(model), faults_(faults) {}

    QList<Emission> Feed(QByteArrayView bytes);

    // Sees every checked frame, good or bad, before it is answered.
    std::function<void(const TParsedFrame&)> OnFrame;

  private:
    QList<Emission> Answer(const QByteArray& text);

    InstrumentModel& model_;
    FaultInjector& faults_;
    TFrameReceiver receiver_;
};

} // namespace krvsim
