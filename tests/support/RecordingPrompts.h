#pragma once
#include "common/UserPrompts.h"
#include "link/ComSettings.h"
#include <functional>

// Records what the core asked of the user; the dialog's answer is chosen by the test.
class RecordingPrompts : public UserPrompts {
public:
    QStringList Messages;
    QStringList Errors;
    int SetupDialogs = 0;
    QStringList LastPorts;
    // Applied to the settings when the dialog is "confirmed"; empty means the user cancels.
    std::function<void(TComSettings&)> DialogChoice;

    void ShowMessage(const QString& text) override { Messages << text; }
    void ShowError(const QString& text) override { Errors << text; }
    bool EditPortSettings(TComSettings& settings, const QStringList& ports) override {
        ++SetupDialogs;
        LastPorts = ports;
        if (!DialogChoice) return false;
        DialogChoice(settings);
        return true;
    }
};
