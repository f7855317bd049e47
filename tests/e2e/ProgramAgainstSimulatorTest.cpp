#include "common/Clock.h"
#include "link/serial/TComPort.h"
#include "program/ProgramCore.h"
#include "program/ui/Main.h"
#include "program/ui/StatusPanel.h"
#include "support/RecordingPrompts.h"
#include "support/SimProcess.h"
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>

namespace {

// The program's objects as main() builds them, with the real TComPort on krv-sim's pseudo-terminal.
// Ticks are driven by the test: each waits for the instrument's answer rather than for 200 ms.
class ProgramAgainstSimulator : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString portPath = QDir(dir.path()).filePath("krv.port");
    SimProcess sim;
    TComPort port;
    ManualClock clock{EncodeDateTime(2026, 12, 9, 9, 0, 0)};
    RecordingPrompts prompts;
    std::unique_ptr<TProgramCore> core;
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        ASSERT_FALSE(StartSimulator("3.5").isEmpty());
        QFile ini(QDir(dir.path()).filePath("Port0.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[ComPortM]\r\nPort=" + portPath.toLocal8Bit() + "\r\nBaudRate=38400\r\n");
        ini.close();
        core = std::make_unique<TProgramCore>(port, clock, prompts, prompts, dir.path());
        core->Create();
        form = std::make_unique<TMainForm>(*core, prompts);
        form->MainTimer->stop();
        form->show();
    }

    QString StartSimulator(const QString& windSpeed) {
        return sim.Start({"--link", portPath, "--wind-speed", windSpeed, "--azimuth", "270.4", "--depression",
                          "-4.6", "--air-temp", "21.25"});
    }

    // One tick, then the answer it asked for; false when none came.
    bool TickAndAwaitAnswer() {
        form->MainTimerTimer();
        clock.AdvanceMs(200);
        return QTest::qWaitFor([this] { return core->Exchange.AnswerReceived(); }, 3000);
    }

    void PollSeconds(int seconds) {
        for (int i = 0; i < seconds * 5; ++i)
            ASSERT_TRUE(TickAndAwaitAnswer()) << "tick " << i;
    }
};

TEST_F(ProgramAgainstSimulator, PanelsShowTheSimulatorsValuesAndPollingSurvivesItsRestart) {
    form->BBStartClick();
    ASSERT_TRUE(core->Link.LinkOpen());
    PollSeconds(3);
    EXPECT_EQ(form->windowTitle(), portPath + " | KRV-series monitor. Ver.0.80");
    EXPECT_EQ(form->PWindSpeed->text(), "3.500 m/s.");
    EXPECT_EQ(form->PHoriz->text(), "270");
    EXPECT_EQ(form->PVerti->text(), " -5");
    EXPECT_EQ(form->PAirTemp->text(), "21.3 ℃");
    EXPECT_EQ(form->StatusPanels[1]->FullText(), "Sensor Model 17.03 | Ver. 0.80");
    EXPECT_TRUE(core->Polling.CurrentFirmware());
    EXPECT_EQ(core->Store.SampleHistory[2].Valid, true);

    // The instrument goes away mid-run: the link closes on its own and the program idles.
    sim.Stop();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !core->Link.LinkOpen(); }, 5000));
    form->MainTimerTimer();
    EXPECT_FALSE(core->Store.CurrentSample.Valid);
    EXPECT_EQ(form->PWindSpeed->text(), "3.500 m/s.");
    EXPECT_TRUE(prompts.Errors.isEmpty());

    // Back again, with another wind: the start button resumes polling.
    ASSERT_FALSE(StartSimulator("4.25").isEmpty());
    form->BBStartClick();
    ASSERT_TRUE(core->Link.LinkOpen());
    PollSeconds(2);
    EXPECT_EQ(form->PWindSpeed->text(), "4.250 m/s.");
}

} // namespace
