#pragma once
#include <QProcess>
#include <QStringList>
#include <QTest>

// The krv-sim program on a pseudo-terminal, started and stopped by a test.
class SimProcess {
  public:
    ~SimProcess() { Stop(); }

    // Starts the simulator and waits until it reports its port; returns the port's path.
    QString Start(const QStringList& args = {}) {
        process_.setProgram(KRV_SIM_PATH);
        process_.setArguments(args);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (!process_.waitForStarted(5000)) return {};
        if (!QTest::qWaitFor(
                [this] { return process_.canReadLine() || process_.state() != QProcess::Running; }, 5000))
            return {};
        const QString line = QString::fromLocal8Bit(process_.readLine()).trimmed();
        return line.startsWith("PORT ") ? line.mid(5) : QString();
    }

    // Ends the simulator as a user would (SIGTERM), or at once.
    void Stop(bool kill = false) {
        if (process_.state() == QProcess::NotRunning) return;
        kill ? process_.kill() : process_.terminate();
        process_.waitForFinished(5000);
    }

    QProcess& Process() { return process_; }

  private:
    QProcess process_;
};
