#include "program/ui/ProgramWindows.h"
#include "common/Clock.h"
#include "common/ui/WidgetPrompts.h"
#include "link/ui/ComSetup.h"
#include "link/ui/Comctrl.h"
#include "monitor/ui/Monlist.h"
#include "program/ProgramCore.h"
#include "program/ui/Main.h"
#include "settings/ui/Systemset.h"
#include "support/FakeSerialPort.h"
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The program as main() assembles it, over an in-memory port: closing the main window ends the
// event loop with every other window open, and the end closes the port and stores the switch.
TEST(ProgramWindows, ClosingTheMainWindowEndsTheProgramWhateverElseIsOpen) {
    QTemporaryDir dir;
    FakeSerialPort port;
    ManualClock clock{EncodeDateTime(2026, 12, 9, 10, 0, 0)};
    WidgetPrompts prompts;
    TComSetupPrompt portPrompt;
    TProgramCore core(port, clock, prompts, portPrompt, dir.path());
    int rc = -1;
    {
        TProgramWindows windows(core, prompts, portPrompt);
        TMainForm& main = windows.Main();
        main.MainTimer->stop();
        windows.Show();
        main.BBStartClick();
        ASSERT_TRUE(port.Connected());
        main.CBSecRec->setChecked(true);
        main.SBStatusDblClick(true);
        main.BBSetpointClick(true);
        main.CommCtrlForm->show();
        for (QWidget* w : {static_cast<QWidget*>(main.MonForm), static_cast<QWidget*>(main.SysSetForm),
                           static_cast<QWidget*>(main.CommCtrlForm)})
            ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();

        QTimer::singleShot(0, &main, [&main] { main.close(); });
        // Only so that a program that does not end fails the test instead of hanging it.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(10'000);
        rc = QApplication::exec();
    }
    EXPECT_EQ(rc, 0) << "the event loop ended through the main window's close";
    EXPECT_FALSE(port.Connected());
    QFile ini(QDir(dir.path()).filePath("BaseSetpoint.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("SecRec=1"));
}

} // namespace
