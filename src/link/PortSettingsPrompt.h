#pragma once
#include <QStringList>

struct TComSettings;

// The port setup dialog, as the link asks for it. The link window's dialog implements it.
class PortSettingsPrompt {
  public:
    virtual ~PortSettingsPrompt() = default;
    // Modal; true when confirmed (the settings then hold the choice).
    virtual bool EditPortSettings(TComSettings& settings, const QStringList& ports) = 0;
};
