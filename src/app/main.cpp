#include "program/ui/Main.h"
#include "app/StartupReport.h"
#include "common/Clock.h"
#include "common/FileSizeSignal.h"
#include "common/LocalTimeZone.h"
#include "common/ProgramFolders.h"
#include "common/ProgramInfo.h"
#include "common/QuitSignals.h"
#include "common/ui/WidgetPrompts.h"
#include "link/serial/TComPort.h"
#include "link/ui/ComSetup.h"
#include "program/CommandLine.h"
#include "program/HeadlessRecorder.h"
#include "program/ProgramCore.h"
#include "program/ui/ProgramWindows.h"
#include <QApplication>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <sys/stat.h>

namespace {
// An error that no handler caught ends in the application's error box, and the program runs on.
class TApplication final : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            MakeMessageBox(QMessageBox::Critical, QString::fromUtf8(e.what()), activeWindow())->exec();
        }
        return false;
    }
};
// Standard error is the journal's stream (systemd names it in JOURNAL_STREAM as "device:inode"),
// not merely inherited by a program started from a service.
bool StderrIsJournal() {
    const QByteArray stream = qgetenv("JOURNAL_STREAM");
    struct stat st {};
    if (stream.isEmpty() || ::fstat(STDERR_FILENO, &st) != 0) return false;
    return stream == QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
}

// --headless: no window and no display, so a QCoreApplication; the recorder decides, this only wires
// it to the port, the clock, the timer, the signals and standard error.
int RunHeadless(int argc, char** argv, const TCommandLine& commandLine, const TProgramFolders& folders) {
    const QCoreApplication app(argc, argv);
    // First, so that a signal during the start-up ends the program as cleanly as one later.
    TQuitSignals quitSignals({SIGINT, SIGTERM, SIGHUP});
    SystemClock clock;
    TComPort port;
    THeadlessRecorder recorder(port, clock, folders, commandLine.Port);
    const bool journal = StderrIsJournal();
    const auto logging = recorder.LogLine.Follow([&](const TLogLine& line) {
        std::fprintf(stderr, "%s\n", FormatLogLine(line, clock.Now(), journal).toLocal8Bit().constData());
    });
    QTimer mainTimer;
    mainTimer.setInterval(200);
    QObject::connect(&mainTimer, &QTimer::timeout, [&] { recorder.Tick(); });
    QObject::connect(&quitSignals, &TQuitSignals::Caught, [&](int signal) {
        mainTimer.stop();
        recorder.Stop(QStringLiteral("SIG") + QString::fromLatin1(sigabbrev_np(signal)));
        QCoreApplication::exit(0);
    });
    recorder.Start(commandLine.SecondRecord);
    mainTimer.start();
    return QCoreApplication::exec();
}
} // namespace

int main(int argc, char** argv) {
    IgnoreFileSizeSignal();
    PinLocalTimeZone();
    // The command line is read before any application object: --help, --version and --paths answer
    // on the terminal without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    TCommandLine commandLine;
    commandLine.Parse(arguments);
    const TFolderChoice folders = ChooseFolders(CurrentFolderSituation(commandLine.DataDir));
    const bool headless = commandLine.Action == TCommandAction::Headless;
    if (commandLine.Action != TCommandAction::Run && !headless) {
        const QCoreApplication terminal(argc, argv); // the usage names the program as it was called
        QTextStream out(stdout), err(stderr);
        return commandLine.Answer(folders, out, err);
    }
    if (const std::optional<QString> refusal = PrepareFolders(folders)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(ProgramName), qPrintable(*refusal));
        // A folder the user named must hold the records; the per-user folders' failure shows later
        // as files that cannot be written, as beside the executable.
        if (folders.Layout == TFolderLayout::DataDir) return 1;
    }
    if (headless) return RunHeadless(argc, argv, commandLine, folders.Folders);

    TApplication app(argc, argv);
    // The window class and the Wayland app id name the desktop entry; no display name, since the
    // platform would append it to every caption, and captions are exact.
    QCoreApplication::setApplicationName(ApplicationId);
    QGuiApplication::setDesktopFileName(ApplicationId);

    SystemClock clock;
    WidgetPrompts prompts;
    TComSetupPrompt portPrompt;
    TComPort port;
    TProgramCore core(port, clock, prompts, portPrompt, folders.Folders);
    core.Link.SetPortOverride(commandLine.Port);
    // Before any window: the windows show what the start-up loaded.
    core.StartUp();
    // Declared after the core, so the windows go first: their end closes the port.
    TProgramWindows windows(core, prompts, [&](QWidget* mainWindow) {
        prompts.SetParent(mainWindow);
        portPrompt.SetParent(mainWindow);
    });
    ReportFirstPaint(&windows.Main());
    windows.Show();
    return app.exec();
}
