#include "e2e/SimulatorRig.h"
#include "program/ui/Main.h"
#include <QLabel>
#include <QTimer>
#include <gmock/gmock.h>

namespace {

// The program's objects as main() builds them, with the real TComPort on krv-sim's pseudo-terminal.
class ProgramAgainstSimulator : public ::testing::Test, protected SimulatorRig {
  protected:
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        ASSERT_TRUE(Start(Wind("3.5")));
        Core().Create();
        form = std::make_unique<TMainForm>(Core(), prompts);
        form->MainTimer->stop();
        form->show();
        TickHandler = [this] { form->MainTimerTimer(); };
    }

    static QStringList Wind(const QString& windSpeed) {
        return {"--wind-speed", windSpeed, "--azimuth",  "270.4",
                "--depression", "-4.6",    "--air-temp", "21.25"};
    }

    void PollSeconds(int seconds) {
        for (int i = 0; i < seconds * 5; ++i)
            ASSERT_TRUE(Tick()) << "tick " << i;
    }
};

TEST_F(ProgramAgainstSimulator, PanelsShowTheSimulatorsValuesAndPollingSurvivesItsRestart) {
    form->BBStartClick();
    ASSERT_TRUE(Core().Link.LinkOpen());
    PollSeconds(3);
    EXPECT_EQ(form->windowTitle(), portPath + " | KRV-series monitor. Ver.0.80");
    EXPECT_EQ(form->PWindSpeed->text(), "3.500 m/s.");
    EXPECT_EQ(form->PHoriz->text(), "270");
    EXPECT_EQ(form->PVerti->text(), " -5");
    EXPECT_EQ(form->PAirTemp->text(), "21.3 ℃");

    // The instrument goes away mid-run: the link closes on its own and the program idles.
    sim.Stop();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Core().Link.LinkOpen(); }, 5000));
    form->MainTimerTimer();
    EXPECT_FALSE(Core().Store.CurrentSample.Valid);
    EXPECT_EQ(form->PWindSpeed->text(), "3.500 m/s.");
    EXPECT_TRUE(prompts.Errors.isEmpty());

    // Back again, with another wind: the start button resumes polling.
    ASSERT_TRUE(StartSimulator(Wind("4.25")));
    form->BBStartClick();
    ASSERT_TRUE(Core().Link.LinkOpen());
    PollSeconds(2);
    EXPECT_EQ(form->PWindSpeed->text(), "4.250 m/s.");
}

} // namespace
