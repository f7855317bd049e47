#include "calibration/ui/CalPage.h"
#include "common/Clock.h"
#include "link/ui/Comctrl.h"
#include "program/ProgramCore.h"
#include "program/ui/Main.h"
#include "settings/ui/Systemset.h"
#include "support/RecordingPrompts.h"
#include "support/SimulatedInstrumentPort.h"
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <gmock/gmock.h>

namespace {

// The page as main() hosts it: it shows what the calibration computed and forwards its clicks.
class CalPageTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    SimulatedInstrumentPort port;
    ManualClock clock{EncodeDateTime(2024, 5, 29, 9, 5, 0)};
    RecordingPrompts prompts;
    TProgramCore core{port, clock, prompts, prompts, dir.path()};
    std::unique_ptr<TMainForm> form;
    TCalPage* page = nullptr;

    void SetUp() override {
        core.Create();
        form = std::make_unique<TMainForm>(core, prompts);
        form->AttachSysSetForm(
            new TSysSetForm(core.Settings, core.Link, prompts, form->CommCtrlForm, form.get()));
        page = new TCalPage(core.Calibration, core.Settings.Sends, form->SysSetForm->Presenter());
        form->SysSetForm->SetCalibrationPage(page);
        form->MainTimer->stop();
        form->SysSetForm->show();
    }
};

TEST_F(CalPageTest, StartTakesTheSerialNumberShowsTheStepAndLogsTheLines) {
    EXPECT_EQ(form->SysSetForm->PageControl1->currentWidget(), form->SysSetForm->TabSheet1);
    form->SysSetForm->Presenter().SerialNumberEdited("K-7");
    QTest::mouseClick(page->BBCalStart, Qt::LeftButton);
    EXPECT_EQ(core.Settings.Prm.SerialNo, "K-7");
    EXPECT_EQ(page->PFinish->text(), "Step-1：開始");
    EXPECT_FALSE(page->BBFin->isEnabled());
    EXPECT_TRUE(page->MSts->toPlainText().contains("■キャリブレーション開始■\nS/N:K-7\n＜設定初期化＞"));
    EXPECT_EQ(page->PFinish->palette().color(QPalette::Window), QColor(255, 255, 128));
}

TEST_F(CalPageTest, AClickReachesItsOperation) {
    core.Calibration.CalStep = 11;
    core.Calibration.OnSecond(false);
    ASSERT_TRUE(page->BBFin->isEnabled());
    QTest::mouseClick(page->BBFin, Qt::LeftButton);
    EXPECT_EQ(core.Settings.Sends.StatusLines.last(), "□作業完了");
    QTest::mouseClick(page->BBWSTClear, Qt::LeftButton);
    EXPECT_EQ(core.Calibration.CalStep, 6);
}

// The view changes every tick; a page nobody sees takes it up when it comes into view.
TEST_F(CalPageTest, AHiddenPageCatchesUpWhenShown) {
    form->SysSetForm->hide();
    core.Calibration.CalStep = 11;
    core.Calibration.OnSecond(false);
    EXPECT_FALSE(page->BBFin->isEnabled()) << "a hidden page is left as it was";
    form->SysSetForm->show();
    EXPECT_TRUE(page->BBFin->isEnabled());
    EXPECT_EQ(page->PFinish->text(), core.Calibration.View.PFinish.Text);
}

TEST_F(CalPageTest, StatusMemoKeepsItsLastLines) {
    for (int i = 0; i < StatusMemoMaxLines + 20; ++i)
        core.Settings.Sends.AddStatusLine(QStringLiteral("設定NG %1").arg(i));
    EXPECT_EQ(page->MSts->document()->blockCount(), StatusMemoMaxLines);
    EXPECT_EQ(page->MSts->document()->firstBlock().text(), "設定NG 20");
    EXPECT_EQ(page->MSts->document()->lastBlock().text(),
              QStringLiteral("設定NG %1").arg(StatusMemoMaxLines + 19));
}

} // namespace
