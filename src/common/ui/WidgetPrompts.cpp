#include "common/ui/WidgetPrompts.h"
#include "common/ui/WindowFit.h"
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QRegularExpression>

std::unique_ptr<QMessageBox> MakeMessageBox(QMessageBox::Icon icon, const QString& text, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(icon, MessageBoxTitle, text, QMessageBox::Ok, parent);
    // Qt sizes a message box by its text alone, and the window manager then cuts the title short
    // ("KRV-se…onitor"): a row as wide as the title bar needs keeps the box at least that wide.
    auto* grid = qobject_cast<QGridLayout*>(box->layout());
    if (grid)
        grid->addItem(new QSpacerItem(TitleBarWidth(*box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

void WidgetPrompts::DoShowMessage(const QString& text) {
    MakeMessageBox(QMessageBox::Information, text, parent_)->exec();
}

void WidgetPrompts::DoShowWarning(const QString& text) {
    MakeMessageBox(QMessageBox::Warning, text, parent_)->exec();
}

void WidgetPrompts::DoShowError(const QString& text) {
    MakeMessageBox(QMessageBox::Critical, text, parent_)->exec();
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
