#include "common/ui/WidgetPrompts.h"
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

void WidgetPrompts::DoShowMessage(const QString& text) {
    QMessageBox::information(parent_, MessageBoxTitle, text, QMessageBox::Ok);
}

void WidgetPrompts::DoShowWarning(const QString& text) {
    QMessageBox::warning(parent_, MessageBoxTitle, text, QMessageBox::Ok);
}

void WidgetPrompts::DoShowError(const QString& text) {
    QMessageBox::critical(parent_, MessageBoxTitle, text, QMessageBox::Ok);
}

namespace {
// "description|pattern|description|pattern" becomes Qt's "description (pattern)" entries, and
// "*.csv" as the default extension becomes the suffix "csv".
void ApplyFilter(QFileDialog& dialog, const QString& filter, const QString& defaultExt) {
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    dialog.setNameFilters(filters);
    QString suffix = defaultExt;
    suffix.remove(QRegularExpression(QStringLiteral("^\\*?\\.")));
    dialog.setDefaultSuffix(suffix);
}

std::optional<QString> Chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
} // namespace

std::optional<QString> WidgetPrompts::DoAskSaveFile(const TSaveFileRequest& request) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension gets it before the overwrite check, so the check looks at
    // the file that will really be written.
    ApplyFilter(dialog, request.Filter, request.DefaultExt);
    if (!request.Directory.isEmpty()) dialog.setDirectory(request.Directory);
    if (!request.InitialName.isEmpty()) dialog.selectFile(request.InitialName);
    return Chosen(dialog);
}

std::optional<QString> WidgetPrompts::DoAskOpenFile(const TOpenFileRequest& request) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    ApplyFilter(dialog, request.Filter, request.DefaultExt);
    if (!request.Directory.isEmpty()) dialog.setDirectory(request.Directory);
    return Chosen(dialog);
}
