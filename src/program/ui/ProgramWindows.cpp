#include "program/ui/ProgramWindows.h"
#include "calibration/ui/CalPage.h"
#include "link/ui/Comctrl.h"
#include "monitor/ui/Monlist.h"
#include "program/ProgramCore.h"
#include "program/ui/Main.h"
#include "settings/ui/Setwrite.h"
#include "settings/ui/Systemset.h"
#include <QApplication>

TProgramWindows::TProgramWindows(TProgramCore& core, UserPrompts& prompts,
                                 const std::function<void(QWidget* mainWindow)>& parentPrompts)
    : main_(std::make_unique<TMainForm>(core, prompts)) {
    // The link window may be open and refuse its close (it only hides); the program ends anyway.
    QApplication::setQuitOnLastWindowClosed(false);
    TMainForm& form = *main_;
    form.AttachSysSetForm(new TSysSetForm(core.Settings, core.Link, prompts, form.CommCtrlForm, &form));
    form.SysSetForm->SetCalibrationPage(
        new TCalPage(core.Calibration, core.Settings.Sends, form.SysSetForm->Presenter()));
    form.MonForm = new TMonForm(core.Monitor, &form);
    form.SysSetForm->WriteForm = new TWriteForm(core.Settings.Write, &form);
    if (parentPrompts) parentPrompts(&form);
    // exit(), not quit(): quit() first asks every window to close and gives up when one refuses.
    QObject::connect(&form, &TMainForm::Closed, &form, [] { QCoreApplication::exit(0); });
}

TProgramWindows::~TProgramWindows() = default;

void TProgramWindows::Show() {
    main_->show();
}
