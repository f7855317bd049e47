#include "settings/SysSetPresenter.h"
#include "common/UserPrompts.h"
#include "settings/Settings.h"

void TSysSetPresenter::ShowParams() {
    ::ShowParams(settings_.Prm, view_);
}

void TSysSetPresenter::ReadPage() {
    view_.CommitPendingEdit();
    if (const std::optional<QString> warning = ReadParams(settings_.Prm, view_))
        prompts_.ShowWarning(*warning);
}

void TSysSetPresenter::WriteClicked() {
    ReadPage();
    if (!view_.HasWriteWindow()) return;
    if (!settings_.OpenWriteWindow()) {
        prompts_.ShowMessage(NotConnectedText);
        return;
    }
    view_.RunWriteWindow();
}

void TSysSetPresenter::SaveClicked() {
    const std::optional<QString> path =
        prompts_.AskSaveFile({SetpointFileFilter, SetpointFileExt, {}, settings_.SetpointDir()});
    if (!path) return;
    ReadPage();
    if (const FileResult r = settings_.SaveSetpointFile(*path); !r) prompts_.ShowError(r.Error);
}

void TSysSetPresenter::LoadClicked() {
    const std::optional<QString> path =
        prompts_.AskOpenFile({SetpointFileFilter, SetpointFileExt, settings_.SetpointDir()});
    if (!path) return;
    // The user chose the file: a file that cannot be read is said so, not passed over.
    if (const FileResult r = settings_.LoadSetpointFile(*path); !r) prompts_.ShowError(r.Error);
    ShowParams();
}

void TSysSetPresenter::OkClicked() {
    ReadPage();
    if (const FileResult r = settings_.SaveBaseSetpoint(); !r) prompts_.ShowError(r.Error);
    view_.CloseWindow(true);
}

void TSysSetPresenter::ClearSerialNumberClicked() {
    serialNumber_.clear();
    view_.ShowSerialNumber(serialNumber_);
}
