#pragma once
#include "common/UserPrompts.h"
#include <QMessageBox>
#include <QString>
#include <memory>

// The title of the program's message boxes.
inline const QString MessageBoxTitle = QStringLiteral("KRV-series monitor");

// The program's message box with an OK button, wide enough for its whole title.
std::unique_ptr<QMessageBox> MakeMessageBox(QMessageBox::Icon icon, const QString& text,
                                            QWidget* parent = nullptr);

// Message boxes and dialogs on behalf of the core, parented to the window that asked.
class WidgetPrompts final : public UserPrompts {
  public:
    explicit WidgetPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

  protected:
    void DoShowMessage(const QString& text) override;
    void DoShowError(const QString& text) override;
    void DoShowWarning(const QString& text) override;
    std::optional<QString> DoAskSaveFile(const TSaveFileRequest& request) override;
    std::optional<QString> DoAskOpenFile(const TOpenFileRequest& request) override;

  private:
    QWidget* parent_;
};
