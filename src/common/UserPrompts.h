#pragma once
#include <QString>
#include <QStringList>

struct TComSettings;

// Everything the core asks of the user. Widgets implement it; tests record what was asked.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // An information message with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // The program's general error box, for errors nobody else handles.
    virtual void ShowError(const QString& text) = 0;
    // The modal port setup dialog; true when confirmed (the settings then hold the choice).
    virtual bool EditPortSettings(TComSettings& settings, const QStringList& ports) = 0;
};
