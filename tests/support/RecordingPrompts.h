#pragma once
#include "common/UserPrompts.h"
#include "link/ComSettings.h"
#include "link/PortSettingsPrompt.h"
#include <functional>
#include <stdexcept>

// Records what the core asked of the user; the dialog's answer is chosen by the test. A prompt
// asked for inside the tick is refused with an exception, which fails the test that caused it.
class RecordingPrompts : public UserPrompts, public PortSettingsPrompt {
  public:
    QStringList Messages;
    QStringList Errors;
    int SetupDialogs = 0;
    QList<TPortInfo> LastPorts;
    QList<TSaveFileRequest> SaveRequests;
    // The file the user "chooses" in a save dialog; empty means the user cancels.
    QString SaveChoice;
    QList<TOpenFileRequest> OpenRequests;
    // The file the user "chooses" in an open dialog; empty means the user cancels.
    QString OpenChoice;
    // Applied to the settings when the dialog is "confirmed"; empty means the user cancels.
    std::function<void(TComSettings&)> DialogChoice;

    bool EditPortSettings(TComSettings& settings, const QList<TPortInfo>& ports) override {
        if (InTick()) PromptInTick(QStringLiteral("the port setup dialog"));
        ++SetupDialogs;
        LastPorts = ports;
        if (!DialogChoice) return false;
        DialogChoice(settings);
        return true;
    }

  protected:
    void DoShowMessage(const QString& text) override { Messages << text; }
    void DoShowError(const QString& text) override { Errors << text; }
    std::optional<QString> DoAskSaveFile(const TSaveFileRequest& request) override {
        SaveRequests << request;
        if (SaveChoice.isEmpty()) return std::nullopt;
        return SaveChoice;
    }
    std::optional<QString> DoAskOpenFile(const TOpenFileRequest& request) override {
        OpenRequests << request;
        if (OpenChoice.isEmpty()) return std::nullopt;
        return OpenChoice;
    }
    void PromptInTick(const QString& text) override {
        throw std::logic_error("a prompt inside the tick: " + text.toStdString());
    }
};
