#pragma once
#include "link/SerialPort.h"
#include <QByteArray>

// An in-memory port: what the link writes is kept, what a test injects arrives as a received-data
// event. Failures are switched on by the test, so the fake never succeeds where a port would not.
class FakeSerialPort : public SerialPort {
  public:
    bool FailOpen = false;
    bool FailWrite = false;
    bool FailRead = false;
    QByteArray Written;
    QByteArray Waiting;
    QList<TPortInfo> Ports;

    void Open() override {
        if (open_) return;
        if (FailOpen)
            throw EComPort("Unable to open com port", 2, "No such file or directory", TPortProblem::Missing);
        open_ = true;
        NotifySignal(TComSignal::Connection, true);
    }
    void Close() override {
        if (!open_) return;
        open_ = false;
        Waiting.clear();
        NotifySignal(TComSignal::Connection, false);
    }
    bool Connected() const override { return open_; }
    void WriteStr(const QByteArray& bytes) override {
        if (!open_) throw EComPort("Port Not Open");
        if (FailWrite) throw EComPort("WriteFile function failed", 5);
        Written += bytes;
    }
    QByteArray ReadStr(int count) override {
        if (!open_) throw EComPort("Port Not Open");
        if (FailRead) throw EComPort("ReadFile function failed", 5);
        QByteArray chunk = Waiting.left(count);
        Waiting.remove(0, chunk.size());
        return chunk;
    }
    QList<TPortInfo> AvailablePorts() const override { return Ports; }

    // Bytes arrive from the instrument; the event reports everything waiting.
    void Receive(const QByteArray& bytes) {
        Waiting += bytes;
        if (open_ && OnRxChar) OnRxChar(int(Waiting.size()));
    }
    // The device goes away while open.
    void Lose() {
        open_ = false;
        if (OnPortLost) OnPortLost("ReadError");
    }
    QByteArray TakeWritten() { return std::exchange(Written, {}); }

  private:
    bool open_ = false;
};
