#pragma once
#include "common/Notifier.h"
#include <QMainWindow>
#include <array>
#include <vector>

class QChart;
class QChartView;
class QCheckBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolButton;
class QValueAxis;
class TCommCtrlForm;
class TMonForm;
class TProgramCore;
class TStatusPanel;
class TSysSetForm;
class TTrendLine;
class UserPrompts;

// The main window: the value panels, the two ten-minute trend charts, the start, stop, save and
// settings buttons and the status bar. It runs the main timer; the core decides what a tick does.
class TMainForm : public QMainWindow {
    Q_OBJECT
  public:
    // The creation: makes the link window (hidden) and loads the port settings; the port stays closed.
    TMainForm(TProgramCore& core, UserPrompts& prompts, QWidget* parent = nullptr);
    // Closes the link before the link window goes.
    ~TMainForm() override;

    QWidget* PTop = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* PHoriz = nullptr;
    QLabel* PVerti = nullptr;
    QLabel* PWindSpeed = nullptr;
    QLabel* LAirTemp = nullptr;
    QLabel* PAirTemp = nullptr;
    QSplitter* Splitter1 = nullptr;
    QChartView* RTCWindDirection = nullptr;
    QChartView* RTCWindSpeed = nullptr;
    QLineSeries* FastLineSeries1 = nullptr; // azimuth
    QLineSeries* Series2 = nullptr;         // depression angle
    QLineSeries* Series1 = nullptr;         // wind speed
    // What the three series show, drawn in their place: azimuth, depression angle, wind speed.
    std::vector<TTrendLine*> TrendLines;
    QWidget* PBottom = nullptr;
    QLabel* Image1 = nullptr;
    QCheckBox* CBSecRec = nullptr;
    QToolButton* BBStart = nullptr;
    QToolButton* BBStop = nullptr;
    QToolButton* BBSaveData = nullptr;
    QToolButton* BBSetpoint = nullptr;
    QStatusBar* SBStatus = nullptr;
    std::array<TStatusPanel*, 4> StatusPanels{};
    QTimer* MainTimer = nullptr;
    TCommCtrlForm* CommCtrlForm = nullptr;
    // The system setting window, created right after this one; Shift + the settings button shows it.
    TSysSetForm* SysSetForm = nullptr;
    // The monitor list, created after this window; Shift + a double-click on the status bar shows it.
    TMonForm* MonForm = nullptr;

    // Takes the system setting window as main() created it: its port buttons are this program's
    // start and stop, and the core learns when it is shown.
    void AttachSysSetForm(TSysSetForm* form);

    void MainTimerTimer();
    // The once-a-second refresh: the texts, then the charts.
    void ShowLiveValues();
    void ShowLiveTexts();
    // The link closed: caption and status bar as for a closed port.
    void ShowClosedPort();
    // A port did not open: the caption stays as for a closed port, the port panel says why.
    void ShowOpenFailure();
    void SetupCharts();
    // Skipped while the window is minimised or hidden, and made up when it is shown again.
    void UpdateCharts();

    void BBStartClick();
    void BBStopClick();
    void BBSaveDataClick();
    void BBSetpointClick(bool shiftHeld);
    void SBStatusDblClick(bool shiftHeld);
    void CBSecRecClick();

  Q_SIGNALS:
    // The close request went through; the program ends.
    void Closed();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void BuildTopBar();
    void BuildCharts();
    void BuildBottomBar();
    void BuildStatusBar();
    void ShowTimeRange();
    void SetStatusText(int panel, const QString& text, const QString& detail = {});
    void ShowRecordStatus();

    TProgramCore& core_;
    UserPrompts& prompts_;
    QDateTimeAxis* directionTime_ = nullptr;
    QDateTimeAxis* speedTime_ = nullptr;
    QValueAxis* directionValues_ = nullptr;
    QValueAxis* speedValues_ = nullptr;
    bool shown_ = false;
    bool chartsBehind_ = false;
    std::vector<TNotifier<>::Subscription> following_;
    TNotifier<bool>::Subscription linkFollowing_;
    TNotifier<>::Subscription openFailureFollowing_;
};
