#include "link/DeviceLink.h"
#include "acquisition/MeasurementStore.h"
#include "common/TextFile.h"
#include "support/FakeSerialPort.h"
#include "support/RecordingPrompts.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace {

class DeviceLinkTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingPrompts prompts;
    TDeviceLink link{port, prompts, prompts, dir.path()};
    QStringList sendLog, receiveLog, frames;
    std::vector<TNotifier<const QString&>::Subscription> logs;

    void SetUp() override {
        logs.push_back(link.SendLogLine.Follow([this](const QString& l) { sendLog << l; }));
        logs.push_back(link.ReceiveLogLine.Follow([this](const QString& l) { receiveLog << l; }));
        link.OnFrame = [this](const QString& f) { frames << f; };
    }
};

TEST_F(DeviceLinkTest, OpenCopiesThePortNameAndCloseClearsIt) {
    port.Settings.Port = "/dev/pts/7";
    ASSERT_TRUE(link.OpenLink());
    EXPECT_TRUE(link.LinkOpen());
    EXPECT_EQ(link.PortName(), "/dev/pts/7");
    EXPECT_TRUE(link.CloseLink());
    EXPECT_FALSE(link.LinkOpen());
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(link.PortName(), "");
    EXPECT_TRUE(link.CloseLink()) << "closing a closed link is harmless";
}

// No message box, but the reason is kept and announced for the window to show; an open clears it.
TEST_F(DeviceLinkTest, FailedOpenKeepsItsReasonWithoutAMessageBox) {
    int announced = 0;
    const auto following = link.OpenFailed.Follow([&] { ++announced; });
    port.FailOpen = true;
    EXPECT_FALSE(link.OpenLink());
    EXPECT_FALSE(link.LinkOpen());
    EXPECT_EQ(link.PortName(), "");
    EXPECT_TRUE(prompts.Messages.isEmpty());
    EXPECT_TRUE(prompts.Errors.isEmpty());
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(link.OpenFailure(),
              "COM7: No such file or directory — choose the instrument's port in the port settings");
    port.FailOpen = false;
    EXPECT_TRUE(link.OpenLink());
    EXPECT_EQ(link.OpenFailure(), "");
}

TEST_F(DeviceLinkTest, SendWritesTheFrameAndLogsItWithoutLineEndOnlyWhenTicked) {
    link.OpenLink();
    link.SendFrame(u"RD,M01,");
    EXPECT_TRUE(sendLog.isEmpty());
    link.SetSendLog(true);
    link.SendFrame(u"RD,M01,");
    EXPECT_EQ(port.Written, "<RD,M01,>EA\r\n<RD,M01,>EA\r\n");
    EXPECT_EQ(sendLog, QStringList{"<RD,M01,>EA"});
}

TEST_F(DeviceLinkTest, OversizedOrClosedSendsNothing) {
    link.SetSendLog(true);
    link.SendFrame(u"RD,M01,");
    link.OpenLink();
    link.SendFrame(QString(127, 'A'));
    EXPECT_TRUE(port.Written.isEmpty());
    EXPECT_TRUE(sendLog.isEmpty());
    link.SendFrame(QString(126, 'A'));
    EXPECT_EQ(port.Written.size(), 128 + 4);
}

TEST_F(DeviceLinkTest, FailedWriteClosesTheLinkButStillLogs) {
    link.OpenLink();
    link.SetSendLog(true);
    port.FailWrite = true;
    link.SendFrame(u"RD,M01,");
    EXPECT_FALSE(link.LinkOpen());
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(link.PortName(), "");
    EXPECT_EQ(sendLog.size(), 1);
    link.SendFrame(u"RD,M05,");
    EXPECT_EQ(sendLog.size(), 1) << "later sends do nothing until reopened";
}

TEST_F(DeviceLinkTest, GoodFrameReachesTheHandlerOnce) {
    link.OpenLink();
    link.SetReceiveLog(true);
    port.Receive("<AD,M01=");
    port.Receive("1.234,>C");
    EXPECT_TRUE(frames.isEmpty());
    port.Receive("6\r\n");
    EXPECT_EQ(frames, QStringList{"<AD,M01=1.234,>"});
    EXPECT_EQ(receiveLog, QStringList{"<AD,M01=1.234,>"});
}

TEST_F(DeviceLinkTest, ChecksumErrorIsOnlyLogged) {
    link.OpenLink();
    link.SetReceiveLog(true);
    port.Receive("<AD,M01=1.234,>c6\r\n");
    EXPECT_TRUE(frames.isEmpty());
    EXPECT_EQ(receiveLog, QStringList{"SumCheck Error! : <AD,M01=1.234,>"});
    EXPECT_TRUE(port.Written.isEmpty()) << "nothing is requested again";
}

TEST_F(DeviceLinkTest, FailingHandlerDropsTheRestOfTheChunk) {
    link.OpenLink();
    int calls = 0;
    link.OnFrame = [&](const QString&) {
        ++calls;
        throw std::runtime_error("handler failed");
    };
    port.Receive("<AD,M01=1.234,>C6\r\n<AD,M01=1.234,>C6\r\n");
    EXPECT_EQ(calls, 1);
    // The next chunk starts cleanly.
    link.OnFrame = [this](const QString& f) { frames << f; };
    port.Receive("<AD,M01=1.234,>C6\r\n");
    EXPECT_EQ(frames.size(), 1);
}

TEST_F(DeviceLinkTest, FailedReadDropsTheChunkQuietlyAndKeepsTheLinkOpen) {
    link.OpenLink();
    port.FailRead = true;
    int dropped = 0;
    const auto following = link.ChunkDropped.Follow([&](int total) { dropped = total; });
    port.Receive("<AD,M01=1.234,>C6\r\n");
    EXPECT_TRUE(frames.isEmpty());
    EXPECT_TRUE(link.LinkOpen());
    EXPECT_TRUE(prompts.Errors.isEmpty());
    EXPECT_EQ(link.DroppedChunks(), 1) << "silent to the user, but counted";
    EXPECT_EQ(dropped, 1);
    port.FailRead = false;
    port.Waiting.clear();
    port.Receive("<AD,M01=1.234,>C6\r\n");
    EXPECT_EQ(frames, QStringList{"<AD,M01=1.234,>"});
}

TEST_F(DeviceLinkTest, PortLostClosesTheLinkAndReopenWorks) {
    bool lastState = true;
    const auto following = link.LinkStateChanged.Follow([&](bool open) { lastState = open; });
    link.OpenLink();
    port.Lose();
    EXPECT_FALSE(link.LinkOpen());
    EXPECT_FALSE(lastState);
    EXPECT_EQ(link.PortName(), "");
    EXPECT_TRUE(link.OpenLink());
    link.SendFrame(u"RD,M01,");
    EXPECT_EQ(port.Written, "<RD,M01,>EA\r\n");
}

TEST_F(DeviceLinkTest, SetupIsRefusedWhileOpen) {
    link.OpenLink();
    prompts.DialogChoice = [](TComSettings& s) { s.Port = "COM1"; };
    link.BBSetupClick();
    EXPECT_EQ(prompts.Messages, QStringList{"接続中は変更できません"});
    EXPECT_EQ(prompts.SetupDialogs, 0);
    EXPECT_EQ(port.Settings.Port, "COM7");
    EXPECT_FALSE(QFile::exists(link.SettingsPath()));
}

TEST_F(DeviceLinkTest, SetupSavesEvenWhenCancelled) {
    port.Ports = {{"ttyS0", ""}, {"ttyUSB0", "USB serial adapter"}};
    link.BBSetupClick();
    EXPECT_EQ(prompts.SetupDialogs, 1);
    EXPECT_EQ(prompts.LastPorts, port.Ports);
    QStringList lines;
    ASSERT_TRUE(ReadLines(QDir(dir.path()).filePath("Port0.ini"), lines));
    EXPECT_THAT(lines, ::testing::Contains(QString("Port=COM7")));
}

// The stored default names no port on this system: before any Port0.ini exists the dialog starts on
// the first port the system has; a cancelled dialog keeps the default.
TEST_F(DeviceLinkTest, FirstSetupProposesAPortTheSystemHas) {
    port.Ports = {{"/dev/serial/by-id/usb-Maker_Adapter-if00", "→ /dev/ttyUSB0"}, {"ttyS0", ""}};
    QString offered;
    prompts.DialogChoice = [&](TComSettings& s) { offered = s.Port; };
    link.BBSetupClick();
    EXPECT_EQ(offered, "/dev/serial/by-id/usb-Maker_Adapter-if00");
    EXPECT_EQ(port.Settings.Port, offered) << "confirmed";

    port.Settings.Port = "ttyS9";
    link.BBSetupClick();
    EXPECT_EQ(offered, "ttyS9") << "once the file exists, the user's choice stands";

    QFile::remove(link.SettingsPath());
    port.Settings.Port = "COM7";
    prompts.DialogChoice = nullptr;
    link.BBSetupClick();
    EXPECT_EQ(port.Settings.Port, "COM7") << "cancelled";
}

TEST_F(DeviceLinkTest, ConfirmedSetupIsSavedAndLoadsBack) {
    prompts.DialogChoice = [](TComSettings& s) {
        s.Port = "/tmp/krv-port";
        s.BaudRate = TBaudRate::br9600;
    };
    link.BBSetupClick();
    port.Settings = TComSettings::ProgramDefaults();
    link.LoadPortSettings();
    EXPECT_EQ(port.Settings.Port, "/tmp/krv-port");
    EXPECT_EQ(port.Settings.BaudRate, TBaudRate::br9600);
}

TEST_F(DeviceLinkTest, UnwritableSettingsFileReachesTheErrorBoxAndKeepsTheChoice) {
    FakeSerialPort otherPort;
    TDeviceLink badLink(otherPort, prompts, prompts, dir.filePath("no/such/folder"));
    prompts.DialogChoice = [](TComSettings& s) { s.Port = "COM3"; };
    badLink.BBSetupClick();
    EXPECT_EQ(prompts.Errors, QStringList{"Failed to store settings"});
    EXPECT_EQ(otherPort.Settings.Port, "COM3");
}

} // namespace
