#include "common/ui/WidgetPrompts.h"
#include "link/ui/ComSetup.h"
#include <QApplication>
#include <QMessageBox>

void WidgetPrompts::ShowMessage(const QString& text) {
    QMessageBox::information(parent_, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

void WidgetPrompts::ShowError(const QString& text) {
    QMessageBox::critical(parent_, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

bool WidgetPrompts::EditPortSettings(TComSettings& settings, const QStringList& ports) {
    return TComSetupFrm::Execute(settings, ports, parent_);
}
