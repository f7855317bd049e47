#include "common/ui/WidgetPrompts.h"
#include "link/ui/ComSetup.h"
#include <QMessageBox>

void WidgetPrompts::ShowMessage(const QString& text) {
    QMessageBox::information(parent_, MessageBoxTitle, text, QMessageBox::Ok);
}

void WidgetPrompts::ShowError(const QString& text) {
    QMessageBox::critical(parent_, MessageBoxTitle, text, QMessageBox::Ok);
}

bool WidgetPrompts::EditPortSettings(TComSettings& settings, const QStringList& ports) {
    return TComSetupFrm::Execute(settings, ports, parent_);
}
