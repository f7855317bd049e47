#include "program/ui/Main.h"
#include "common/Clock.h"
#include "common/ProgramDir.h"
#include "common/ui/WidgetPrompts.h"
#include "link/serial/TComPort.h"
#include "link/ui/ComSetup.h"
#include "monitor/ui/Monlist.h"
#include "program/ProgramCore.h"
#include <QApplication>
#include <QMessageBox>
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
    TApplication app(argc, argv);
    // No display name: the platform would append it to every caption, and captions are exact.
    // The link window may still be open when the main window closes; the program ends regardless.
    QApplication::setQuitOnLastWindowClosed(false);

    SystemClock clock;
    WidgetPrompts prompts;
    TComSetupPrompt portPrompt;
    TComPort port;
    auto core = std::make_unique<TProgramCore>(port, clock, prompts, portPrompt, ProgramDir());
    // The windows after the main window, in their order (the system setting window joins before the
    // monitor list). The monitor list is a tool window of the main window and goes with it.
    auto mainForm = std::make_unique<TMainForm>(*core, prompts);
    mainForm->MonForm = new TMonForm(core->Monitor, mainForm.get());
    prompts.SetParent(mainForm.get());
    portPrompt.SetParent(mainForm.get());
    QObject::connect(mainForm.get(), &TMainForm::Closed, &app, &QApplication::quit);
    mainForm->show();
    const int rc = app.exec();
    mainForm.reset();
    return rc;
}
