#include "common/ui/Panel.h"
#include <QLabel>

QLabel* MakePanel(const QString& objectName, const QString& text) {
    auto* panel = new QLabel(text);
    panel->setObjectName(objectName);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    return panel;
}
