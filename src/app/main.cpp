#include "app/StartupReport.h"
#include "common/Clock.h"
#include "common/FileSizeSignal.h"
#include "common/ProgramFolders.h"
#include "common/ProgramInfo.h"
#include "common/ui/WidgetPrompts.h"
#include "link/serial/TComPort.h"
#include "link/ui/ComSetup.h"
#include "program/CommandLine.h"
#include "program/ProgramCore.h"
#include "program/ui/Main.h"
#include "program/ui/ProgramWindows.h"
#include <QApplication>
#include <QMessageBox>
#include <QTextStream>
#include <cstdio>
#include <exception>

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
} // namespace

int main(int argc, char** argv) {
    IgnoreFileSizeSignal();
    // The command line is read before any application object: --help, --version and --paths answer
    // on the terminal without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    TCommandLine commandLine;
    commandLine.Parse(arguments);
    const TFolderChoice folders = ChooseFolders(CurrentFolderSituation(commandLine.DataDir));
    if (commandLine.Action != TCommandAction::Run) {
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
    // Declared after the core, so the windows go first: their end closes the port.
    TProgramWindows windows(core, prompts, [&](QWidget* mainWindow) {
        prompts.SetParent(mainWindow);
        portPrompt.SetParent(mainWindow);
    });
    ReportFirstPaint(&windows.Main());
    windows.Show();
    return app.exec();
}
