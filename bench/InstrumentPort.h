#pragma once
#include "link/SerialPort.h"
#include "model/FaultInjector.h"
#include "model/InstrumentModel.h"
#include "model/Responder.h"
#include <QHash>
#include <array>

// An in-memory port whose instrument answers every request. The simulator's model, with its drifting
// wind, answers each distinct request at a set of moments once; later requests replay those answers
// in turn, so a timing holds the program's work and not the model's, and the values still move.
// Answers wait for DeliverAnswers(), i.e. they arrive between two ticks.
class InstrumentPort final : public SerialPort {
  public:
    static constexpr int Moments = 64;
    static constexpr qint64 MomentSpacingMs = 7000;

    InstrumentPort() { model_.SetVary(true); }

    void Open() override {
        if (open_) return;
        open_ = true;
        NotifySignal(TComSignal::Connection, true);
    }
    void Close() override {
        if (!open_) return;
        open_ = false;
        waiting_.clear();
        pending_.clear();
        NotifySignal(TComSignal::Connection, false);
    }
    bool Connected() const override { return open_; }
    void WriteStr(const QByteArray& bytes) override {
        if (!open_) throw EComPort("Port Not Open");
        auto it = answers_.find(bytes);
        if (it == answers_.end()) it = answers_.insert(bytes, Answers(bytes));
        pending_ += it->Bytes[it->Next];
        it->Next = (it->Next + 1) % Moments;
    }
    QByteArray ReadStr(int count) override {
        if (!open_) throw EComPort("Port Not Open");
        QByteArray chunk = waiting_.left(count);
        waiting_.remove(0, chunk.size());
        return chunk;
    }

    void DeliverAnswers() {
        if (pending_.isEmpty()) return;
        waiting_ += std::exchange(pending_, {});
        if (open_ && OnRxChar) OnRxChar(int(waiting_.size()));
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
    QByteArray waiting_;
    bool open_ = false;
};
