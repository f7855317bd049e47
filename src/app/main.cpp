#include "program/ui/Main.h"
#include "calibration/ui/CalPage.h"
#include "common/Clock.h"
#include "common/ProgramFolders.h"
#include "common/ProgramInfo.h"
#include "common/ui/WidgetPrompts.h"
#include "link/serial/TComPort.h"
#include "link/ui/ComSetup.h"
#include "link/ui/Comctrl.h"
#include "monitor/ui/Monlist.h"
#include "program/CommandLine.h"
#include "program/ProgramCore.h"
#include "settings/ui/Setwrite.h"
#include "settings/ui/Systemset.h"
#include <QApplication>
#include <QMessageBox>
#include <QTextStream>
#include <cstdio>
#include <exception>
#include <memory>

namespace {
// An error that no handler caught ends in the application's error box, and the program runs on.
class TApplication final : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(activeWindow(), MessageBoxTitle, QString::fromUtf8(e.what()));
        }
        return false;
    }
};
} // namespace

int main(int argc, char** argv) {
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
    // The link window may still be open when the main window closes; the program ends regardless.
    QApplication::setQuitOnLastWindowClosed(false);

    SystemClock clock;
    WidgetPrompts prompts;
    TComSetupPrompt portPrompt;
    TComPort port;
    auto core = std::make_unique<TProgramCore>(port, clock, prompts, portPrompt, folders.Folders);
    core->Link.SetPortOverride(commandLine.Port);
    // The windows in their order, since each creation does its part: the main window's gives the
    // parameter set its defaults, the system setting window's then loads BaseSetpoint.ini over them.
    // The others are windows of the main window and go with it.
    auto mainForm = std::make_unique<TMainForm>(*core, prompts);
    mainForm->AttachSysSetForm(
        new TSysSetForm(core->Settings, core->Link, prompts, mainForm->CommCtrlForm, mainForm.get()));
    mainForm->SysSetForm->SetCalibrationPage(
        new TCalPage(core->Calibration, core->Settings.Sends, *mainForm->SysSetForm));
    mainForm->MonForm = new TMonForm(core->Monitor, mainForm.get());
    mainForm->SysSetForm->WriteForm = new TWriteForm(core->Settings.Write, mainForm.get());
    prompts.SetParent(mainForm.get());
    portPrompt.SetParent(mainForm.get());
    QObject::connect(mainForm.get(), &TMainForm::Closed, &app, &QApplication::quit);
    mainForm->show();
    const int rc = app.exec();
    mainForm.reset();
    return rc;
}
