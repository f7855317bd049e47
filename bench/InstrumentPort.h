#pragma once
#include "model/FaultInjector.h"
#include "model/InstrumentModel.h"
#include "model/Responder.h"
#include "support/FakeSerialPort.h"
#include <QHash>
#include <array>

// An in-memory port whose instrument answers every request. The simulator's model, with its drifting
// wind, answers each distinct request at a set of moments once; later requests replay those answers
// in turn, so a timing holds the program's work and not the model's, and the values still move.
// Answers wait for DeliverAnswers(), i.e. they arrive between two ticks.
class InstrumentPort final : public FakeSerialPort {
  public:
    static constexpr int Moments = 64;
    static constexpr qint64 MomentSpacingMs = 7000;

    InstrumentPort() { model_.SetVary(true); }

    // Not kept in Written: a long timing would grow it without end.
    void WriteStr(const QByteArray& bytes) override {
        if (!Connected()) throw EComPort("Port Not Open");
        auto it = answers_.find(bytes);
        if (it == answers_.end()) it = answers_.insert(bytes, Answers(bytes));
        pending_ += it->Bytes[it->Next];
        it->Next = (it->Next + 1) % Moments;
    }

    void Close() override {
        FakeSerialPort::Close();
        pending_.clear();
    }

    void DeliverAnswers() {
        if (!pending_.isEmpty()) Receive(std::exchange(pending_, {}));
    }

  private:
    struct Replay {
        std::array<QByteArray, Moments> Bytes;
        int Next = 0;
    };

    Replay Answers(const QByteArray& request) {
        Replay r;
        for (int m = 0; m < Moments; ++m) {
            model_.SetTimeMs(m * MomentSpacingMs);
            for (const krvsim::Emission& e : responder_.Feed(request))
                r.Bytes[m] += e.Bytes;
        }
        return r;
    }

    krvsim::InstrumentModel model_;
    krvsim::FaultInjector faults_;
    krvsim::Responder responder_{model_, faults_};
    QHash<QByteArray, Replay> answers_;
    QByteArray pending_;
};
