#include "common/Clock.h"
#include "common/FileSizeSignal.h"
#include "common/ProgramDir.h"
#include "common/ui/WidgetPrompts.h"
#include "link/serial/TComPort.h"
#include "link/ui/ComSetup.h"
#include "program/ProgramCore.h"
#include "program/ui/ProgramWindows.h"
#include <QApplication>
#include <QMessageBox>
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
    // No display name: the platform would append it to every caption, and captions are exact.
    TApplication app(argc, argv);

    SystemClock clock;
    WidgetPrompts prompts;
    TComSetupPrompt portPrompt;
    TComPort port;
    TProgramCore core(port, clock, prompts, portPrompt, ProgramDir());
    // Declared after the core, so the windows go first: their end closes the port.
    TProgramWindows windows(core, prompts, [&](QWidget* mainWindow) {
        prompts.SetParent(mainWindow);
        portPrompt.SetParent(mainWindow);
    });
    windows.Show();
    return app.exec();
}
