#pragma once
#include "link/PortList.h"

struct TComSettings;

// The port setup dialog, as the link asks for it. The link window's dialog implements it.
class PortSettingsPrompt {
  public:
    virtual ~PortSettingsPrompt() = default;
    // Modal; true when confirmed (the settings then hold the choice).
    virtual bool EditPortSettings(TComSettings& settings, const QList<TPortInfo>& ports) = 0;
};
