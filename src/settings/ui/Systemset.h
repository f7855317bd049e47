#pragma once
#include "common/Notifier.h"
#include "settings/SysSetPresenter.h"
#include <QDialog>
#include <QHash>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QToolButton;
class TDeviceLink;
class TSettings;
class TWriteForm;
class UserPrompts;

// "System Setting", the service window: the port group, the serial-number bar, the calibration
// page (laid out by the calibration) and the direct-operation page, an editor of the current
// parameter set. Non-modal; created once at start-up and only hidden when closed. A passive view:
// its presenter runs every click's sequence and tells it what to show.
class TSysSetForm : public QDialog, public TSysSetView {
    Q_OBJECT
  public:
    // The current parameter set has loaded BaseSetpoint.ini by now (the core's start-up). The link
    // window is the main window's; this window only shows it.
    TSysSetForm(TSettings& settings, TDeviceLink& link, UserPrompts& prompts, QWidget* linkWindow,
                QWidget* parent = nullptr);

    // The write window, created after this one; BBWrite opens it modally.
    TWriteForm* WriteForm = nullptr;

    QGroupBox* GBCom = nullptr;
    QLabel* Label1 = nullptr;
    QToolButton* SBConnection = nullptr;
    QToolButton* SBDisconnection = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* BBComShowStd = nullptr;
    QPushButton* BBComSetStd = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Label30 = nullptr;
    QLineEdit* ESNum = nullptr;
    QToolButton* BBSNClear = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; // 管理操作
    QWidget* TabSheet2 = nullptr; // 直接操作
    QGroupBox* GroupBox1 = nullptr;
    QTabWidget* PCWS = nullptr;
    QTableWidget* SGRev = nullptr;
    QLabel* LChipOn = nullptr;
    QPushButton* BBWrite = nullptr;
    QPushButton* BBSetpointSave = nullptr;
    QPushButton* BBSetpointLoad = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* BBOk = nullptr;
    QPushButton* BBCancel = nullptr;

    // The page's edit of that name (EWDDif1, .., EStdVolt).
    QLineEdit* Edit(const QString& objectName) const { return edits_.value(objectName); }

    TSysSetPresenter& Presenter() { return presenter_; }

    // The calibration's page, made by the layer above, fills "管理操作" and comes first.
    void SetCalibrationPage(QWidget* page);
    void SBConnectionClick();
    void SBDisconnectionClick();
    void BBComShowStdClick();
    void BBComSetStdClick();
    void BBSNClearClick();
    void BBWriteClick();
    void BBSetpointSaveClick();
    void BBSetpointLoadClick();
    void BBOkClick();
    void BBCancelClick();

    // TSysSetView
    void SetFieldText(const TPrmAspect& field, const QString& text) override;
    QString FieldText(const TPrmAspect& field) const override;
    void CommitPendingEdit() override;
    void ShowSerialNumber(const QString& text) override;
    bool HasWriteWindow() const override { return WriteForm != nullptr; }
    void RunWriteWindow() override;
    void CloseWindow(bool accepted) override;

  Q_SIGNALS:
    // The program's connect and disconnect (the main window's start and stop do the same).
    void ConnectRequested();
    void DisconnectRequested();
    // Shown or hidden: the calibration's statistics run only while the window is shown.
    void VisibilityChanged(bool visible);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QWidget* BuildPortGroup();
    QWidget* BuildSerialNumberBar();
    QWidget* BuildDirectPage();
    QWidget* BuildWindSpeedPages();
    QWidget* BuildBottomPanel();
    QLineEdit* MakeEdit(const char* name, const QString& accessibleName);

    TDeviceLink& link_;
    TSysSetPresenter presenter_;
    QWidget* linkWindow_;
    QButtonGroup* connectionGroup_ = nullptr;
    QHash<QString, QLineEdit*> edits_;
    TNotifier<bool>::Subscription linkFollowing_;
};
