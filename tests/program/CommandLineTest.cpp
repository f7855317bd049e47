#include "program/CommandLine.h"
#include "common/Clock.h"
#include "common/ProgramInfo.h"
#include "common/TextFile.h"
#include "program/ProgramCore.h"
#include "support/FakeSerialPort.h"
#include "support/RecordingPrompts.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <grp.h>
#include <unistd.h>

namespace {

using ::testing::HasSubstr;

struct ParseRow {
    QStringList args;
    TCommandAction action;
    QString port;
    std::optional<QString> dataDir;
    std::optional<bool> secondRecord = {};
};

TEST(CommandLineTest, ParsesTheOptionsAndRefusesWhatItDoesNotKnow) {
    const ParseRow rows[] = {
        {{}, TCommandAction::Run, {}, {}},
        {{"--port", "/dev/ttyUSB0"}, TCommandAction::Run, "/dev/ttyUSB0", {}},
        {{"--port=/tmp/krv", "--data-dir", "bench-a"}, TCommandAction::Run, "/tmp/krv", "bench-a"},
        {{"-h"}, TCommandAction::Help, {}, {}},
        {{"--version", "--port", "/dev/ttyS0"}, TCommandAction::Version, "/dev/ttyS0", {}},
        {{"--paths", "--data-dir=/srv/krv"}, TCommandAction::Paths, {}, "/srv/krv"},
        {{"--bogus"}, TCommandAction::Refused, {}, {}},
        {{"--help", "--bogus"}, TCommandAction::Refused, {}, {}},
        {{"COM7"}, TCommandAction::Refused, {}, {}},
        {{"--port"}, TCommandAction::Refused, {}, {}},
        {{"--port="}, TCommandAction::Refused, {}, {}},
        {{"--data-dir="}, TCommandAction::Refused, {}, {}},
        {{"-platform", "xcb"}, TCommandAction::Refused, {}, {}},
        {{"--headless", "--port", "/dev/ttyUSB0"}, TCommandAction::Headless, "/dev/ttyUSB0", {}},
        {{"--headless", "--second-record", "on"}, TCommandAction::Headless, {}, {}, true},
        {{"--second-record=off", "--headless"}, TCommandAction::Headless, {}, {}, false},
        {{"--headless", "--help"}, TCommandAction::Help, {}, {}},
        {{"--headless", "--second-record", "yes"}, TCommandAction::Refused, {}, {}},
        {{"--headless", "--second-record"}, TCommandAction::Refused, {}, {}},
        {{"--second-record", "on"}, TCommandAction::Refused, {}, {}},
    };
    for (const ParseRow& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        TCommandLine line;
        line.Parse(QStringList{"krv-monitor"} + row.args);
        EXPECT_EQ(line.Action, row.action);
        EXPECT_EQ(line.Error.isEmpty(), row.action != TCommandAction::Refused) << line.Error.toStdString();
        if (row.action == TCommandAction::Refused) continue;
        EXPECT_EQ(line.Port, row.port);
        EXPECT_EQ(line.DataDir, row.dataDir);
        EXPECT_EQ(line.SecondRecord, row.secondRecord);
    }
}

// The built program, run as a child: what it prints and its exit status.
struct ProgramRun {
    int code = -1;
    QString out, err;
};

class ProgramRunTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;

    ProgramRun Start(const QString& program, const QStringList& args, bool unprivileged = false,
                     QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) {
        QProcess p;
        p.setProgram(program);
        p.setArguments(args);
        p.setProcessEnvironment(env);
        if (unprivileged && ::geteuid() == 0)
            // Root writes any folder whose mode forbids it; nobody does not.
            p.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(77);
            });
        p.start();
        if (!p.waitForFinished(60000)) return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }

    // A copy of the program in a folder of its own (a hard link where the file system allows).
    QString ProgramIn(const QString& folder) {
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath("krv-monitor");
        if (::link(KRV_MONITOR_PATH, QFile::encodeName(path).constData()) != 0)
            QFile::copy(KRV_MONITOR_PATH, path);
        return path;
    }

    QProcessEnvironment XdgEnvironment() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir.filePath("home"));
        env.insert("XDG_CONFIG_HOME", dir.filePath("xdg-config"));
        env.insert("XDG_DATA_HOME", dir.filePath("xdg-data"));
        return env;
    }
};

TEST_F(ProgramRunTest, AnswersOnTheTerminalWithoutADisplay) {
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    noDisplay.remove("DISPLAY");
    noDisplay.remove("WAYLAND_DISPLAY");
    // A window system that needs a display: an application window would abort here.
    noDisplay.insert("QT_QPA_PLATFORM", "xcb");

    const ProgramRun version = Start(KRV_MONITOR_PATH, {"--version"}, false, noDisplay);
    EXPECT_EQ(version.code, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, QString("krv-monitor 0.80 (Qt %1)\n").arg(qVersion()));
    const ProgramRun simVersion = Start(KRV_SIM_PATH, {"--version"}, false, noDisplay);
    EXPECT_EQ(simVersion.code, 0);
    EXPECT_EQ(simVersion.out, QString("krv-sim 0.80 (Qt %1)\n").arg(qVersion()));

    const ProgramRun help = Start(KRV_MONITOR_PATH, {"--help"}, false, noDisplay);
    EXPECT_EQ(help.code, 0);
    for (const char* option : {"--port <PATH>", "--data-dir <DIR>", "--paths", "--version", "--headless",
                               "--second-record <on|off>"})
        EXPECT_THAT(help.out.toStdString(), HasSubstr(option));

    const ProgramRun bad = Start(KRV_MONITOR_PATH, {"--bogus"}, false, noDisplay);
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_THAT(bad.err.toStdString(), HasSubstr("krv-monitor: Unknown option 'bogus'."));
    EXPECT_THAT(bad.err.toStdString(), HasSubstr("Usage:"));
}

TEST_F(ProgramRunTest, PathsFollowTheFolderChoice) {
    // Everything reachable for nobody, who runs the read-only case when the tests run as root.
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ReadOther | QFile::ExeOther |
                                          QFile::ReadGroup | QFile::ExeGroup);
    const QString writable = ProgramIn(dir.filePath("portable"));
    const QString readOnly = ProgramIn(dir.filePath("installed"));
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("installed"), QFile::ReadOwner | QFile::ExeOwner |
                                                                     QFile::ReadGroup | QFile::ExeGroup |
                                                                     QFile::ReadOther | QFile::ExeOther));
    const QString portable = QFileInfo(writable).absolutePath();

    const ProgramRun beside = Start(writable, {"--paths"}, false, XdgEnvironment());
    EXPECT_EQ(beside.code, 0);
    EXPECT_EQ(beside.out, QString("program: %1\nconfig: %1\ndata: %1\nrecords: %1/Record\n").arg(portable));

    const ProgramRun perUser = Start(readOnly, {"--paths"}, true, XdgEnvironment());
    if (perUser.code == 77) GTEST_SKIP() << "cannot run a child as nobody";
    EXPECT_EQ(perUser.code, 0) << perUser.err.toStdString();
    EXPECT_EQ(perUser.out,
              QString("program: %1\nconfig: %2/krv-monitor\ndata: %3/krv-monitor\n"
                      "records: %3/krv-monitor/Record\n")
                  .arg(dir.filePath("installed"), dir.filePath("xdg-config"), dir.filePath("xdg-data")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("xdg-config"))) << "--paths shows the folders, it makes none";

    const ProgramRun given =
        Start(readOnly, {"--data-dir", dir.filePath("bench-a"), "--paths"}, true, XdgEnvironment());
    EXPECT_EQ(given.out, QString("program: %1\nconfig: %2\ndata: %2\nrecords: %2/Record\n")
                             .arg(dir.filePath("installed"), dir.filePath("bench-a")));

    QFile::setPermissions(dir.filePath("installed"),
                          QFile::permissions(dir.filePath("installed")) | QFile::WriteOwner);
}

TEST_F(ProgramRunTest, ADataDirThatCannotBeMadeEndsTheProgram) {
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const ProgramRun run = Start(KRV_MONITOR_PATH, {"--data-dir", dir.filePath("file/records")}, false, env);
    EXPECT_EQ(run.code, 1);
    EXPECT_THAT(run.err.toStdString(),
                HasSubstr("krv-monitor: cannot create " + dir.filePath("file/records").toStdString()));
}

// --port stands in for Port0.ini's port at every load, the start button's included, and is never
// stored unless the user picks another port in the setup dialog.
TEST(PortOverrideTest, UsedAtEveryLoadAndNeverStored) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Port0.ini");
    ASSERT_TRUE(ReplaceFile(ini, {"[ComPortM]", "Port=/dev/ttyS4", "BaudRate=9600"}));
    FakeSerialPort port;
    ManualClock clock(EncodeDateTime(2026, 12, 9, 10, 0, 0));
    RecordingPrompts prompts;
    TProgramCore core(port, clock, prompts, prompts, dir.path());
    core.Link.SetPortOverride("/tmp/krv-sim");
    auto stored = [&] {
        QStringList lines;
        EXPECT_TRUE(bool(ReadLines(ini, lines)));
        return lines;
    };

    core.Create();
    EXPECT_EQ(port.Settings.Port, "/tmp/krv-sim");
    EXPECT_EQ(port.Settings.BaudRate, TBaudRate::br9600) << "the rest comes from the file";

    ASSERT_TRUE(ReplaceFile(ini, {"[ComPortM]", "Port=/dev/ttyS5", "BaudRate=19200"}));
    core.BBStartClick();
    EXPECT_EQ(core.Link.PortName(), "/tmp/krv-sim");
    EXPECT_EQ(port.Settings.BaudRate, TBaudRate::br19200);
    core.BBStopClick();

    core.Link.BBSetupClick(); // cancelled: the link stores what it holds
    EXPECT_THAT(stored(), ::testing::Contains(QString("Port=/dev/ttyS5")));
    prompts.DialogChoice = [](TComSettings& s) { s.BaudRate = TBaudRate::br38400; };
    core.Link.BBSetupClick();
    EXPECT_THAT(stored(), ::testing::IsSupersetOf({QString("Port=/dev/ttyS5"), QString("BaudRate=38400")}));
    EXPECT_EQ(port.Settings.Port, "/tmp/krv-sim");

    prompts.DialogChoice = [](TComSettings& s) { s.Port = "/dev/ttyUSB0"; };
    core.Link.BBSetupClick();
    EXPECT_THAT(stored(), ::testing::Contains(QString("Port=/dev/ttyUSB0")));
    core.BBStartClick();
    EXPECT_EQ(core.Link.PortName(), "/dev/ttyUSB0") << "the dialog's port ends the override";
    EXPECT_EQ(core.Link.PortOverride(), "");
}

// The INI files in the config folder; records, DefaultPrm.krv, the calibration's files and the
// setpoint dialogs in the data folder.
TEST(SplitFoldersTest, EachFileGoesToItsFolder) {
    QTemporaryDir dir;
    const TProgramFolders folders{dir.filePath("config"), dir.filePath("data")};
    FakeSerialPort port;
    ManualClock clock(EncodeDateTime(2026, 12, 9, 10, 0, 0));
    RecordingPrompts prompts;
    TProgramCore core(port, clock, prompts, prompts, folders);
    const QDir config(folders.Config), data(folders.Data);

    EXPECT_EQ(core.Link.SettingsPath(), config.filePath("Port0.ini"));
    EXPECT_EQ(core.Settings.BaseSetpointPath(), config.filePath("BaseSetpoint.ini"));
    EXPECT_EQ(core.Settings.DefaultSetpointPath(), data.filePath("DefaultPrm.krv"));
    EXPECT_EQ(core.Settings.SetpointDir(), folders.Data);
    EXPECT_EQ(core.Monitor.Records.Folder(), data.filePath("Record"));
    core.Settings.Prm.SerialNo = "A1";
    EXPECT_EQ(QFileInfo(core.Calibration.CalFilePath("_ATR.csv").value()).absolutePath(), folders.Data);

    ASSERT_TRUE(QDir().mkpath(folders.Config));
    core.Monitor.SetSecondRecord(true);
    core.Monitor.SaveRecordSettings();
    QStringList lines;
    ASSERT_TRUE(bool(ReadLines(config.filePath("BaseSetpoint.ini"), lines)));
    EXPECT_THAT(lines, ::testing::Contains(QString("SecRec=1")));
}

} // namespace
