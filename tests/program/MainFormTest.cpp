#include "common/Clock.h"
#include "common/TextFile.h"
#include "link/ui/Comctrl.h"
#include "monitor/ui/Monlist.h"
#include "program/ProgramCore.h"
#include "program/ui/Main.h"
#include "program/ui/StatusPanel.h"
#include "program/ui/TrendLine.h"
#include "support/CoreRig.h"
#include "support/ReferenceCharts.h"
#include <QAccessible>
#include <QChartView>
#include <QCheckBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <gmock/gmock.h>

namespace {

// The window over a core whose port is the simulator's instrument model; the test drives the ticks.
class MainFormTest : public ::testing::Test, protected CoreRig {
  protected:
    MainFormTest() : CoreRig(EncodeDateTime(2026, 12, 9, 10, 0, 0)) {}
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        ASSERT_TRUE(WriteFile("Port0.ini", "[ComPortM]\r\nPort=COM7\r\n"));
        core.Create();
        form = std::make_unique<TMainForm>(core, prompts);
        form->MainTimer->stop();
        TickHandler = [this] { form->MainTimerTimer(); };
        form->show();
    }

    QString Status(int panel) const { return form->StatusPanels[panel]->FullText(); }

    // `n` valid seconds into the history, the wind speed rising 0, 1, 2 …
    void ValidSeconds(int n) {
        core.Store.CurrentSample.Valid = true;
        for (int k = 0; k < n; ++k) {
            core.Store.CurrentSample.WindSpeed = float(k);
            core.Store.ShiftHistory(clock.Now());
            clock.AdvanceMs(1000);
        }
    }
};

TEST_F(MainFormTest, StartsWithTheInitialTextsAndThePortClosed) {
    EXPECT_EQ(form->windowTitle(), "KRV-series monitor. Ver.0.80");
    EXPECT_EQ(form->PHoriz->text(), "000 °");
    EXPECT_EQ(form->PVerti->text(), "000 °");
    EXPECT_EQ(form->PWindSpeed->text(), "00.000 m/s.");
    EXPECT_EQ(form->PAirTemp->text(), "00.00 ℃");
    EXPECT_FALSE(form->PAirTemp->isVisible());
    EXPECT_TRUE(form->PHoriz->isVisible());
    EXPECT_FALSE(Status(0).isEmpty());
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(Status(i), "") << i;
    for (const TTrendLine* line : form->TrendLines)
        EXPECT_TRUE(line->Points().isEmpty());
    EXPECT_FALSE(port.Connected());
    EXPECT_TRUE(port.Written.isEmpty());
    EXPECT_FALSE(form->CommCtrlForm->isVisible());
}

TEST_F(MainFormTest, MainTimerRunsFromCreationEveryTwoHundredMilliseconds) {
    TMainForm fresh(core, prompts);
    EXPECT_TRUE(fresh.MainTimer->isActive());
    EXPECT_EQ(fresh.MainTimer->interval(), 200);
}

TEST_F(MainFormTest, ControlsCarryTheirNamesAndImageButtonsTheirHints) {
    const std::pair<const char*, const char*> buttons[] = {
        {"BBStart", "データ収取開始"},
        {"BBStop", "データ収集終了"},
        {"BBSaveData", "グラフプロットデータをファイルに保存"},
        {"BBSetpoint", "設定変更"}};
    for (auto [name, hint] : buttons) {
        auto* b = form->findChild<QToolButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(hint));
        EXPECT_EQ(b->accessibleName(), QString::fromUtf8(hint));
        EXPECT_FALSE(b->icon().isNull()) << name;
        EXPECT_EQ(b->size(), form->BBStart->size()) << name;
        EXPECT_TRUE(QRect(QPoint(), b->size()).contains(QRect(QPoint(), b->iconSize()))) << name;
    }
    for (const char* name :
         {"PTop", "PBottom", "Image1", "Image2", "PHoriz", "PVerti", "PWindSpeed", "PAirTemp",
          "RTCWindDirection", "RTCWindSpeed", "CBSecRec", "SBStatus", "MainTimer"})
        EXPECT_NE(form->findChild<QObject*>(name), nullptr) << name;
    EXPECT_EQ(form->CBSecRec->text(), "秒記録");
    for (QLabel* value : {form->PHoriz, form->PVerti, form->PWindSpeed, form->PAirTemp})
        EXPECT_GT(value->fontInfo().pixelSize(), form->CBSecRec->fontInfo().pixelSize())
            << "values in a larger type than the captions: " << value->objectName().toStdString();
}

TEST_F(MainFormTest, FirstSecondOfPollingShowsThePortAndTheInstrumentsValues) {
    port.Model.SetWind(3.456, 270, 12.4);
    form->BBStartClick();
    Tick(4);
    EXPECT_EQ(form->windowTitle(), "KRV-series monitor. Ver.0.80");
    EXPECT_EQ(form->PWindSpeed->text(), "00.000 m/s.");
    Tick();
    EXPECT_EQ(form->windowTitle(), "COM7 | KRV-series monitor. Ver.0.80");
    EXPECT_EQ(form->PWindSpeed->text(), "3.456 m/s.");
    EXPECT_EQ(form->PHoriz->text(), "270");
    EXPECT_EQ(form->PVerti->text(), " 12");
    EXPECT_EQ(form->PAirTemp->text(), "20.0 ℃");
    EXPECT_EQ(Status(1), "Sensor Model 17.03 | Ver. 0.80");
    EXPECT_EQ(Status(2), "COM7");
    EXPECT_EQ(Status(3), "");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form->StatusPanels[i]->text(), Status(i))
            << "panel " << i << " is wide enough for its text";
}

TEST_F(MainFormTest, DirectionIsRoundedToWholeDegreesInThreeCharacters) {
    const std::pair<float, const char*> cases[] = {
        {4.6f, "  5"}, {359.6f, "360"}, {45.0f, " 45"}, {0.4f, "  0"}};
    for (auto [degrees, shown] : cases) {
        core.Store.CurrentSample.Azimuth = degrees;
        core.Store.CurrentSample.Depression = degrees;
        form->ShowLiveValues();
        EXPECT_EQ(form->PHoriz->text(), shown) << degrees;
        EXPECT_EQ(form->PVerti->text(), shown) << degrees;
    }
}

TEST_F(MainFormTest, SecondRecordMarkAppearsAtTheNextRefreshNotAtTheClick) {
    form->BBStartClick();
    Tick(5);
    QTest::mouseClick(form->CBSecRec, Qt::LeftButton);
    EXPECT_TRUE(core.Monitor.SecondRecord());
    EXPECT_EQ(Status(3), "");
    Tick(5);
    EXPECT_EQ(Status(3), "SR");
}

// Thirty valid seconds are twenty-nine points (which ones is the trend points' test), on time axes
// that end now and span ten minutes. A minimised window's charts wait and catch up as it comes back.
TEST_F(MainFormTest, ChartsFollowTheHistoryAndAMinimisedWindowCatchesUpWhenRestored) {
    ValidSeconds(30);
    form->ShowLiveValues();
    EXPECT_EQ(form->TrendLines[2]->Points().size(), 29);
    form->showMinimized();
    ValidSeconds(5);
    form->ShowLiveValues();
    EXPECT_EQ(form->TrendLines[2]->Points().size(), 29);
    form->showNormal();
    for (const TTrendLine* line : form->TrendLines)
        EXPECT_EQ(line->Points().size(), 34);
    const QDateTime now = ToQDateTime(clock.Now());
    for (QChartView* view : {form->RTCWindDirection, form->RTCWindSpeed}) {
        const auto axes = view->chart()->axes(Qt::Horizontal);
        ASSERT_EQ(axes.size(), 1);
        const auto* time = qobject_cast<QDateTimeAxis*>(axes.first());
        ASSERT_NE(time, nullptr);
        EXPECT_EQ(time->max(), now);
        EXPECT_EQ(time->min(), now.addSecs(-600));
        EXPECT_EQ(time->format(), "hh:mm");
    }
}

// The charts look as they did when every range change rebuilt the lines: a fresh window updated
// every second the former way and one updated today's way, from the same history at the same
// moments, show the same pixels once the event loop has had its turn (QtCharts lays out the ticks
// of a changed count there). A still wind (flat line, one either side), silent seconds (the line
// joins across them), a short history, a full one and a resized window.
TEST_F(MainFormTest, ChartsLookAsTheyDidWithTheFormerUpdate) {
    const TDateTime start = clock.Now();
    const auto run = [&](bool former) {
        form = std::make_unique<TMainForm>(core, prompts);
        form->MainTimer->stop();
        form->show();
        clock.Set(start);
        QList<QImage> shots;
        for (int second = 1; second <= 610; ++second) {
            TSampleRec& s = core.Store.CurrentSample;
            s.Valid = second % 97 > 12;
            s.Azimuth = float(std::fmod(second * 2.3, 360.0));
            s.Depression = float(8 * std::sin(second * 0.05));
            s.WindSpeed = second < 100 ? 2.5f : float(2.5 + std::sin(second * 0.03));
            core.Store.ShiftHistory(clock.Now());
            clock.AdvanceMs(1000);
            // Ten seconds of updates before each picture; the tick count carries from one to the next.
            const bool picture = second == 40 || second == 199 || second == 399 || second == 610;
            if (second > 40 && !(second % 200 >= 190 || second > 600)) continue;
            if (former)
                reference::UpdateCharts(*form, core);
            else
                form->UpdateCharts();
            if (picture) {
                // A resized window lays its plot areas out again; the lines go with them.
                if (second == 610) form->resize(form->size() + QSize(37, -23));
                QCoreApplication::processEvents();
                shots << form->grab().toImage();
            }
        }
        return shots;
    };
    const QList<QImage> before = run(true);
    const QList<QImage> after = run(false);
    ASSERT_EQ(before.size(), 4);
    ASSERT_EQ(after.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(before[i] == after[i]) << "picture " << i;
}

// Stopped by the user or lost to a fault, a closed port must not look like a live one: the caption
// and the status bar return to the closed state at once; the values stay frozen.
TEST_F(MainFormTest, ClosedLinkShowsAsClosedAndFreezesTheValues) {
    for (const bool byFault : {false, true}) {
        SCOPED_TRACE(byFault ? "port lost" : "stopped");
        form->BBStartClick();
        Tick(5);
        ASSERT_EQ(form->windowTitle(), "COM7 | KRV-series monitor. Ver.0.80");
        ASSERT_EQ(Status(2), "COM7");
        if (byFault)
            port.Lose();
        else
            form->BBStopClick();
        EXPECT_EQ(form->windowTitle(), "KRV-series monitor. Ver.0.80");
        EXPECT_EQ(Status(1), "");
        EXPECT_EQ(Status(2), "");
        port.Model.SetWindSpeed(9.0);
        Tick(10);
        EXPECT_EQ(form->PWindSpeed->text(), "2.500 m/s.");
        EXPECT_FALSE(core.Store.CurrentSample.Valid);
        port.Model.SetWindSpeed(2.5);
    }
}

// The window keeps its size and its buttons their places whatever the panels say: a long port path,
// or why a port did not open, is shortened in the middle and shown whole in the tooltip.
TEST_F(MainFormTest, StatusPanelsKeepTheirWidthsAndShortenLongTexts) {
    // Longer than the panel in any font the desktop may choose.
    const QString byId =
        "/dev/serial/by-id/usb-Silicon_Labs_CP2102N_USB_to_UART_Bridge_Controller_8c2a1f7e9d4b-if00-port0";
    ASSERT_TRUE(WriteFile("Port0.ini", "[ComPortM]\r\nPort=" + byId.toUtf8() + "\r\n"));
    QCoreApplication::processEvents();
    const QSize size = form->size();
    const QPoint start = form->BBStart->mapTo(form.get(), QPoint());
    const int widths[] = {form->StatusPanels[0]->width(), form->StatusPanels[3]->width()};

    auto expectUnmoved = [&](const QString& full) {
        QCoreApplication::processEvents();
        EXPECT_EQ(form->size(), size);
        EXPECT_EQ(form->BBStart->mapTo(form.get(), QPoint()), start);
        EXPECT_EQ(form->StatusPanels[0]->width(), widths[0]);
        EXPECT_EQ(form->StatusPanels[3]->width(), widths[1]);
        const TStatusPanel* panel = form->StatusPanels[2];
        EXPECT_EQ(panel->FullText(), full);
        EXPECT_NE(panel->text(), full);
        EXPECT_TRUE(panel->text().contains(QChar(0x2026))) << panel->text().toStdString();
        EXPECT_EQ(panel->toolTip(), full);
        EXPECT_EQ(panel->accessibleName(), full);
    };

    port.FailOpen = true;
    form->BBStartClick();
    expectUnmoved(core.Link.OpenFailure());
    EXPECT_TRUE(core.Link.OpenFailure().startsWith(byId + ": No such file or directory"));
    EXPECT_EQ(form->windowTitle(), "KRV-series monitor. Ver.0.80");
    EXPECT_TRUE(prompts.Errors.isEmpty() && prompts.Messages.isEmpty());

    port.FailOpen = false;
    form->BBStartClick();
    Tick(5);
    expectUnmoved(byId);
}

// Records that fail are not shown as recording: the record panel says so, and why in its tooltip.
TEST_F(MainFormTest, RecordPanelShowsAFailedRecordWithItsReason) {
    QFile blocker(core.Monitor.Records.Folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    form->CBSecRec->setChecked(true);
    form->BBStartClick();
    Tick(10);
    EXPECT_EQ(Status(3), "SR!");
    EXPECT_EQ(form->StatusPanels[3]->text(), "SR!") << "shown whole";
    EXPECT_TRUE(form->StatusPanels[3]->toolTip().startsWith("Second record not written: "))
        << form->StatusPanels[3]->toolTip().toStdString();
    form->BBStopClick();
    EXPECT_EQ(Status(3), "SR!") << "a closed port does not make the failure go away";
}

// As a screen reader or an automation tool ticks the box: no click.
TEST_F(MainFormTest, SecondRecordSwitchFollowsAToggleWithoutAClick) {
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(form->CBSecRec);
    ASSERT_TRUE(box && box->actionInterface());
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(form->CBSecRec->isChecked());
    EXPECT_TRUE(core.Monitor.SecondRecord());
    form->CBSecRec->setChecked(false);
    EXPECT_FALSE(core.Monitor.SecondRecord());
}

// The refusal and the saving are the link's; the button reaches them.
TEST_F(MainFormTest, PortSettingsAreRefusedWhileTheLinkIsOpen) {
    form->BBStartClick();
    form->BBSetpointClick(false);
    EXPECT_EQ(prompts.Messages, QStringList{"接続中は変更できません"});
    EXPECT_EQ(prompts.SetupDialogs, 0);
    form->BBStopClick();
    form->BBSetpointClick(false);
    EXPECT_EQ(prompts.SetupDialogs, 1);
}

// The program's end stores the second record switch beside the program, and nothing else.
TEST_F(MainFormTest, CloseRequestStopsTheTimerAndDestructionClosesThePortAndStoresTheSwitch) {
    form->CBSecRec->setChecked(true);
    form->BBStartClick();
    form->MainTimer->start();
    QSignalSpy closed(form.get(), &TMainForm::Closed);
    form->close();
    EXPECT_FALSE(form->MainTimer->isActive());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(port.Connected());
    port.TakeWritten();
    QCoreApplication::processEvents();
    EXPECT_TRUE(port.Written.isEmpty());
    form.reset();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(ReadFile("BaseSetpoint.ini"), "[Record]\r\nSecRec=1\r\n");
}

TEST_F(MainFormTest, UnreadablePortSettingsAreShownAndTheWindowStillComesUp) {
    const QString path = QDir(dir.path()).filePath("Port0.ini");
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path)); // a directory cannot be read as a file
    core.StartUp();
    EXPECT_EQ(prompts.Errors, QStringList{"Failed to load settings"});
    TMainForm fresh(core, prompts);
    EXPECT_TRUE(core.Exchange.PollingAllowed());
}

// The monitor list as main() makes it: after the main window, a tool window of it.
TEST_F(MainFormTest, ShiftDoubleClickOnTheStatusBarOpensTheMonitorListForGood) {
    form->MonForm = new TMonForm(core.Monitor, form.get());
    QTest::mouseDClick(form->StatusPanels[0], Qt::LeftButton);
    EXPECT_FALSE(form->MonForm->isVisible());
    EXPECT_FALSE(core.Monitor.ServiceMode());

    QTest::mouseDClick(form->StatusPanels[0], Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_TRUE(form->MonForm->isVisible());
    EXPECT_TRUE(core.Monitor.ServiceMode());
    EXPECT_EQ(form->MonForm->windowTitle(), "Monitor List");
    QTableView* list = form->MonForm->SGList;
    EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), "Data");

    // Values appear at the next wall-clock second, collection or not.
    core.Store.CurrentSample.WindSpeed = 4.5f;
    Tick(5);
    EXPECT_EQ(list->model()->index(0, 1).data().toString(), "4.500 m/s.");

    // Closing hides the window and stores the switch; ServiceMode stays.
    form->CBSecRec->setChecked(true);
    QTest::mouseClick(form->MonForm->BBClose, Qt::LeftButton);
    EXPECT_FALSE(form->MonForm->isVisible());
    EXPECT_TRUE(core.Monitor.ServiceMode());
    EXPECT_TRUE(ReadFile("BaseSetpoint.ini").contains("[Record]\r\nSecRec=1\r\n"));
}

TEST_F(MainFormTest, PlotDataAndShortLogButtonsAskForAFileAndWriteIt) {
    auto* monForm = new TMonForm(core.Monitor, form.get());
    form->BBStartClick();
    Tick(15);
    const QString plot = QDir(dir.path()).filePath("plot.csv");
    prompts.SaveChoice = plot;
    ASSERT_TRUE(form->BBSaveData->isEnabled());
    QTest::mouseClick(form->BBSaveData, Qt::LeftButton);
    QStringList lines;
    ASSERT_TRUE(ReadLines(plot, lines));
    EXPECT_EQ(lines.size(), 2 + 2) << "three seconds of history, the newest not written";

    const QString log = QDir(dir.path()).filePath("log.csv");
    prompts.SaveChoice = log;
    QTest::mouseClick(monForm->BBSaveFile, Qt::LeftButton);
    ASSERT_TRUE(ReadLines(log, lines));
    EXPECT_EQ(lines.size(), 4);
    EXPECT_EQ(prompts.SaveRequests.last().InitialName, "") << "the short log's own name, not the plot data's";
}

} // namespace
