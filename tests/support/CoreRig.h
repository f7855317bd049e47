#pragma once
#include "common/Clock.h"
#include "program/ProgramCore.h"
#include "support/RecordingPrompts.h"
#include "support/SimulatedInstrumentPort.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

// The program core with no window: the simulator's instrument model behind an in-memory port, the
// manual clock and recording prompts, in a folder of its own. Tick() runs 200 ms ticks; the answers
// arrive after each, between two ticks, as they would on the wire.
class CoreRig {
  public:
    explicit CoreRig(TDateTime start, TRecordWriter::TMode recordMode = TRecordWriter::TMode::Thread)
        : clock(start), core{port,      clock, prompts, prompts, dir.path(), std::make_unique<TFileStorage>(),
                             recordMode} {}

    QTemporaryDir dir; // no Port0.ini unless a test writes one: the default settings stand
    SimulatedInstrumentPort port;
    ManualClock clock;
    RecordingPrompts prompts;
    TProgramCore core;
    // What one tick is: the core's own, or a window's timer handler that forwards to it.
    std::function<void()> TickHandler = [this] { core.MainTimerTimer(); };

    // A file in the rig's folder, written whole or read whole (empty when it cannot be read).
    bool WriteFile(const QString& name, const QByteArray& bytes) const {
        QFile f(QDir(dir.path()).filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    QByteArray ReadFile(const QString& name) const {
        QFile f(QDir(dir.path()).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            TickHandler();
            // Record rows are written on a thread of their own; each tick waits for them.
            core.Monitor.FlushRecords();
            port.DeliverAnswers();
            clock.AdvanceMs(200);
        }
    }
};
