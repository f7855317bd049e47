#pragma once
#include "calibration/CalView.h"
#include "common/Notifier.h"
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class TCalibration;
class TSettingsSends;
class TSysSetPresenter;

// The page "管理操作": shows the calibration's view state and status lines, and turns each click into
// the calibration's operation. The serial number comes from the system setting window's presenter at
// the click, which also shows the parameter set again when the calibration changes it.
class TCalPage : public QWidget {
    Q_OBJECT
  public:
    TCalPage(TCalibration& calibration, TSettingsSends& sends, TSysSetPresenter& sysSet,
             QWidget* parent = nullptr);

    QPushButton* BBCalStart = nullptr;
    QLabel *PATRev = nullptr, *PATRevSet = nullptr;
    QPushButton* BBATRcvFin = nullptr;
    QLabel *PWTRev = nullptr, *PWTRevSet = nullptr, *PWTDif = nullptr;
    QPushButton *BBWSTRcvFin = nullptr, *BBWSTClear = nullptr;
    QLabel *PWS0Cal = nullptr, *PWS0CalSet = nullptr;
    QPushButton* BB0mCalFin = nullptr;
    QLabel *PWS4Cal = nullptr, *PWS4CalSet = nullptr;
    QPushButton* BB4mCalFin = nullptr;
    QLabel* PFinish = nullptr;
    QPushButton* BBFin = nullptr;
    QLabel *PWSAS5 = nullptr, *PWSAS15 = nullptr;
    QProgressBar *NmGage5 = nullptr, *NmGage15 = nullptr;
    QTableWidget* SGCalData = nullptr;
    QPlainTextEdit* MSts = nullptr;

    // Sets every control from the view state.
    void ShowView(const TCalView& view);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    TCalibration& calibration_;
    // The view changed while the page was hidden; it is shown as the page comes into view.
    bool viewBehind_ = false;
    TNotifier<>::Subscription viewFollowing_;
    TNotifier<>::Subscription paramsFollowing_;
    TNotifier<const QString&>::Subscription lineFollowing_;
};

QColor CalColour(TCalColour colour, const QPalette& palette);
