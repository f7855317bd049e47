#include "acquisition/MeasurementStore.h"
#include "link/DeviceLink.h"
#include "link/ui/ComLed.h"
#include "link/ui/Comctrl.h"
#include "support/FakeSerialPort.h"
#include "support/RecordingPrompts.h"
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <gmock/gmock.h>

namespace {

class CommCtrlFormTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingPrompts prompts;
    TDeviceLink link{port, prompts, prompts, dir.path()};
    TCommCtrlForm form{link};
};

TEST_F(CommCtrlFormTest, ControlsCarryTheirNamesAndCaptions) {
    EXPECT_EQ(form.windowTitle(), "ComPort 通信状態");
    EXPECT_EQ(form.findChild<QCheckBox*>("CBSendLog")->text(), "送信ログ");
    EXPECT_EQ(form.findChild<QCheckBox*>("CBReciveLog")->text(), "受信ログ");
    EXPECT_EQ(form.findChild<QPushButton*>("BBSetup")->text(), "Com Setup..");
    for (const char* name : {"MSend", "MRecive", "BBClose", "ComLed2", "ComLedTxD", "ComLedRxD"})
        EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
    EXPECT_FALSE(form.CBSendLog->isChecked());
    EXPECT_FALSE(form.CBReciveLog->isChecked());
}

// The window is never shown here: a hidden one logs as well.
TEST_F(CommCtrlFormTest, TickedLogsShowTheTraffic) {
    link.OpenLink();
    link.SendFrame(u"RD,M01,");
    EXPECT_TRUE(form.MSend->toPlainText().isEmpty());
    form.CBSendLog->setChecked(true);
    form.CBReciveLog->setChecked(true);
    link.SendFrame(u"RD,M01,");
    port.Receive("<AD,M01=1.234,>C6\r\n<AD,M01=1.234,>c6\r\n");
    EXPECT_EQ(form.MSend->toPlainText(), "<RD,M01,>EA");
    EXPECT_EQ(form.MRecive->toPlainText(), "<AD,M01=1.234,>\nSumCheck Error! : <AD,M01=1.234,>");
}

TEST_F(CommCtrlFormTest, LogsKeepTheirLast5000Lines) {
    link.OpenLink();
    form.CBSendLog->setChecked(true);
    for (int i = 0; i < LogMemoMaxLines + 20; ++i)
        link.SendFrame(QStringLiteral("RD,%1,").arg(i));
    EXPECT_EQ(form.MSend->document()->blockCount(), LogMemoMaxLines);
    EXPECT_TRUE(form.MSend->document()->lastBlock().text().startsWith(
        QStringLiteral("<RD,%1,>").arg(LogMemoMaxLines + 19)));
    EXPECT_TRUE(form.MSend->document()->firstBlock().text().startsWith("<RD,20,>"));
}

TEST_F(CommCtrlFormTest, ConnectionLampFollowsThePort) {
    EXPECT_FALSE(form.ComLed2->State());
    link.OpenLink();
    EXPECT_TRUE(form.ComLed2->State());
    link.CloseLink();
    EXPECT_FALSE(form.ComLed2->State());
}

TEST_F(CommCtrlFormTest, CloseOnlyHides) {
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
    form.show();
    form.BBClose->click();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(CommCtrlFormTest, SetupButtonIsRefusedWhileConnected) {
    link.OpenLink();
    form.BBSetup->click();
    EXPECT_EQ(prompts.Messages, QStringList{ChangeRefusedText});
    EXPECT_EQ(prompts.SetupDialogs, 0);
}

} // namespace
