#pragma once
#include "acquisition/Exchange.h"
#include "common/Clock.h"
#include "link/serial/TComPort.h"
#include "program/ProgramCore.h"
#include "support/RecordingPrompts.h"
#include "support/SimProcess.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

// krv-sim on a pseudo-terminal behind a symlink in a folder of its own, as a user would configure
// it, and the real TComPort. Ticks are driven by the test: each waits for the instrument's answer
// rather than for 200 ms, and the manual clock steps 200 ms from the start without drifting.
class SimulatorRig {
  public:
    explicit SimulatorRig(TDateTime start = EncodeDateTime(2026, 12, 9, 9, 0, 0))
        : clock(start), start_(start) {}

    QTemporaryDir dir;
    QString portPath = QDir(dir.path()).filePath("krv.port");
    SimProcess sim;
    TComPort port;
    ManualClock clock;
    RecordingPrompts prompts;
    // What one tick is: the core's own, or a window's timer handler that forwards to it.
    std::function<void()> TickHandler = [this] { Core().MainTimerTimer(); };

    // Starts the simulator on portPath; false when it did not report its port.
    [[nodiscard]] bool StartSimulator(const QStringList& args = {}) {
        return !sim.Start(QStringList{"--link", portPath} + args).isEmpty();
    }
    // The simulator, and Port0.ini pointing the program at it as the port setup stores it.
    [[nodiscard]] bool Start(const QStringList& args = {}) {
        if (!StartSimulator(args)) return false;
        QFile ini(QDir(dir.path()).filePath("Port0.ini"));
        if (!ini.open(QIODevice::WriteOnly)) return false;
        ini.write("[ComPortM]\r\nPort=" + portPath.toLocal8Bit() + "\r\nBaudRate=38400\r\n");
        return true;
    }

    // The program's core on the rig's port, clock and folder, made at first use.
    TProgramCore& Core() {
        if (!core_) core_ = std::make_unique<TProgramCore>(port, clock, prompts, prompts, dir.path());
        return *core_;
    }

    // The exchange's state the tests read, here only.
    static bool Polling(const TExchange& exchange) { return exchange.PollingAllowed(); }
    // Up to `ms` for the answer to the exchange's last request; false when none came.
    static bool AwaitAnswer(const TExchange& exchange, int ms = 3000) {
        return QTest::qWaitFor([&exchange] { return exchange.AnswerReceived(); }, ms);
    }
    // One tick, the core's answer to it, then the clock's next 200 ms; false when no answer came.
    bool Tick(int ms = 3000) {
        TickHandler();
        const bool answered = AwaitAnswer(Core().Exchange, ms);
        Advance();
        return answered;
    }
    void Advance() { clock.Set(start_ + double(++ticks_) / 432000.0); }

    // A console command on the simulator's standard input, and its one-line reply.
    QString Ask(const QString& command) {
        sim.Process().write((command + "\n").toLocal8Bit());
        if (!QTest::qWaitFor([this] { return sim.Process().canReadLine(); }, 3000)) return {};
        return QString::fromLocal8Bit(sim.Process().readLine()).trimmed();
    }

  private:
    TDateTime start_;
    qint64 ticks_ = 0;
    std::unique_ptr<TProgramCore> core_;
};
