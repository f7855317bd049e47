#pragma once
#include "common/Notifier.h"
#include "link/SerialPort.h"
#include <QWidget>
#include <vector>

class QCheckBox;
class QLabel;
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
    QLabel* LDropped = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void ShowDropped(int total);

    TDeviceLink& link_;
    // Ends with the window, so the link never calls a window that is gone.
    std::vector<TNotifier<const QString&>::Subscription> following_;
    TNotifier<TComSignal, bool>::Subscription signalFollowing_;
    TNotifier<int>::Subscription droppedFollowing_;
};
