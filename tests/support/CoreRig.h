#pragma once
#include "common/Clock.h"
#include "program/ProgramCore.h"
#include "support/RecordingPrompts.h"
#include "support/SimulatedInstrumentPort.h"
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
