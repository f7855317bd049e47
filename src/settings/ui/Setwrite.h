#pragma once
#include "common/Notifier.h"
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TWriteSequence;

// "設定送出": writes the current parameter set into the instrument. It shows the sequence's memo
// and button states and forwards its buttons and its closing; the core's tick steps the sequence,
// which goes on while this window's modal loop runs.
class TWriteForm : public QDialog {
    Q_OBJECT
  public:
    explicit TWriteForm(TWriteSequence& write, QWidget* parent = nullptr);

    QPlainTextEdit* MSts = nullptr;
    QPushButton* BBDo = nullptr;
    QPushButton* BBClose = nullptr;
    QPushButton* BBCancel = nullptr;
    QLabel* Image1 = nullptr;

    void BBDoClick();
    void BBCloseClick();
    void BBCancelClick();

    // Every way the window closes (the buttons, the close box, Esc) ends the sequence's window,
    // which switches polling back on.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ShowState();

    TWriteSequence& write_;
    bool closing_ = false;
    TNotifier<>::Subscription stateFollowing_;
    TNotifier<const QString&>::Subscription lineFollowing_;
};
