#include "common/ui/WidgetPrompts.h"
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

void WidgetPrompts::DoShowMessage(const QString& text) {
    QMessageBox::information(parent_, MessageBoxTitle, text, QMessageBox::Ok);
}

void WidgetPrompts::DoShowError(const QString& text) {
    QMessageBox::critical(parent_, MessageBoxTitle, text, QMessageBox::Ok);
}

std::optional<QString> WidgetPrompts::DoAskSaveFile(const TSaveFileRequest& request) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // "description|pattern|description|pattern" becomes Qt's "description (pattern)" entries.
    QStringList filters;
    const QStringList parts = request.Filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    dialog.setNameFilters(filters);
    // "*.csv" as the default extension: a name typed without one gets ".csv" before the overwrite
    // check, so the check looks at the file that will really be written.
    QString suffix = request.DefaultExt;
    suffix.remove(QRegularExpression(QStringLiteral("^\\*?\\.")));
    dialog.setDefaultSuffix(suffix);
    if (!request.InitialName.isEmpty()) dialog.selectFile(request.InitialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
