#include "common/ui/WidgetPrompts.h"
#include <QMessageBox>

void WidgetPrompts::DoShowMessage(const QString& text) {
    QMessageBox::information(parent_, MessageBoxTitle, text, QMessageBox::Ok);
}

void WidgetPrompts::DoShowError(const QString& text) {
    QMessageBox::critical(parent_, MessageBoxTitle, text, QMessageBox::Ok);
}
