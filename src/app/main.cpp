#include "acquisition/MeasurementStore.h"
#include "common/ProgramDir.h"
#include "common/ui/WidgetPrompts.h"
#include "link/DeviceLink.h"
#include "link/serial/TComPort.h"
#include "link/ui/Comctrl.h"
#include <QApplication>
#include <QEvent>
#include <memory>

// Until the main window exists, the program is the serial link window on its own.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("KRV-series monitor"));

    auto store = std::make_unique<TMeasurementStore>();
    WidgetPrompts prompts;
    TComPort port;
    TDeviceLink link(port, store->MySts, prompts, ProgramDir());
    TCommCtrlForm form(link);
    prompts.SetParent(&form);
    try {
        link.LoadPortSettings();
    } catch (const EComPort& e) {
        prompts.ShowError(e.Message());
    }
    form.show();
    // The link window only hides when closed; while it is the only window, hiding it ends the program.
    struct QuitOnHide : QObject {
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Hide) QApplication::quit();
            return false;
        }
    } quitOnHide;
    form.installEventFilter(&quitOnHide);
    const int rc = app.exec();
    link.CloseLink();
    return rc;
}
