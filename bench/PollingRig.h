#pragma once
#include "InstrumentPort.h"
#include "common/Clock.h"
#include "program/ProgramCore.h"
#include "support/RecordingPrompts.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

// A program core polling the in-memory instrument, with its own program folder and Port0.ini.
struct PollingRig {
    QTemporaryDir dir;
    InstrumentPort port;
    ManualClock clock{EncodeDateTime(2026, 12, 9, 10, 0, 0)};
    RecordingPrompts prompts;
    TProgramCore core{port, clock, prompts, prompts, WritePortIni(dir)};

    static QString WritePortIni(const QTemporaryDir& dir) {
        QFile ini(QDir(dir.path()).filePath(QStringLiteral("Port0.ini")));
        if (ini.open(QIODevice::WriteOnly)) ini.write("[ComPortM]\r\nPort=bench\r\nBaudRate=38400\r\n");
        return dir.path();
    }

    // One tick and the arrival of its answer before the next one.
    void Tick() {
        core.MainTimerTimer();
        port.DeliverAnswers();
        clock.AdvanceMs(200);
    }

    // Pairs in the last answer; a poll that decodes fewer would make the timing meaningless.
    int AnsweredPairs() const {
        int n = 0;
        for (const TKeyValStr& pair : core.Exchange.LastAnswer())
            n += pair.Key.isEmpty() ? 0 : 1;
        return core.Exchange.AnswerReceived() ? n : 0;
    }

    // Every history entry valid, with values that move, one second apart.
    void FillHistory() {
        core.Store.CurrentSample.Valid = true;
        for (int k = 0; k < HistorySize; ++k) {
            Vary(k);
            clock.AdvanceMs(1000);
            core.Store.ShiftHistory(clock.Now());
        }
    }

    void Vary(int step) {
        TSampleRec& s = core.Store.CurrentSample;
        s.Azimuth = float(std::fmod(step * 7.3, 360.0));
        s.Depression = float(10.0 * std::sin(step * 0.05));
        s.WindSpeed = float(2.5 + std::sin(step * 0.02));
    }

    // False (and the benchmark skipped) unless the port is open and a poll decodes ten pairs.
    bool CheckPolling(benchmark::State& state) {
        for (int i = 0; i < 6; ++i)
            Tick();
        if (!core.IsPolling() || AnsweredPairs() != TPollingCycle::GroupSize || !prompts.Errors.isEmpty()) {
            state.SkipWithError("the in-memory instrument is not being polled");
            return false;
        }
        return true;
    }
};
