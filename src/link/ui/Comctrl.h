#pragma once
#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class TComLed;
class TDeviceLink;

inline constexpr int LogMemoMaxLines = 5000;

// The serial link window: the three indicators, the setup button and the two traffic logs. It only
// hides when closed, so the logs keep filling while it is out of sight.
class TCommCtrlForm : public QWidget {
    Q_OBJECT
public:
    explicit TCommCtrlForm(TDeviceLink& link, QWidget* parent = nullptr);
    ~TCommCtrlForm() override;

    QPlainTextEdit* MSend = nullptr;
    QPlainTextEdit* MRecive = nullptr;
    QCheckBox* CBSendLog = nullptr;
    QCheckBox* CBReciveLog = nullptr;
    QPushButton* BBSetup = nullptr;
    QPushButton* BBClose = nullptr;
    TComLed* ComLed2 = nullptr;
    TComLed* ComLedTxD = nullptr;
    TComLed* ComLedRxD = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TDeviceLink& link_;
};
