#pragma once
#include <QString>

class QLabel;

// A panel: a sunken, centred label that shows a value or a state. It takes no accessible name of
// its own, so that a screen reader or an automation tool reads what it shows, as it changes; its
// object name is for the program, not for the user.
QLabel* MakePanel(const QString& objectName, const QString& text = {});
