#pragma once
#include "model/FaultInjector.h"
#include "model/InstrumentModel.h"
#include "model/Responder.h"
#include "support/FakeSerialPort.h"

// An in-memory port with the simulator's instrument model behind it. Answers wait until the test
// delivers them, so that they arrive between two ticks as they would on the wire.
class SimulatedInstrumentPort : public FakeSerialPort {
  public:
    krvsim::InstrumentModel Model;
    krvsim::FaultInjector Faults;
    // While false the instrument is silent: requests are heard but not answered.
    bool Answering = true;

    void WriteStr(const QByteArray& bytes) override {
        FakeSerialPort::WriteStr(bytes);
        const QList<krvsim::Emission> answers = responder_.Feed(bytes);
        if (!Answering) return;
        for (const krvsim::Emission& e : answers)
            pending_ += e.Bytes;
    }

    // Every answer the instrument has sent since the last delivery arrives now.
    void DeliverAnswers() {
        if (pending_.isEmpty()) return;
        Receive(std::exchange(pending_, {}));
    }

  private:
    krvsim::Responder responder_{Model, Faults};
    QByteArray pending_;
};
