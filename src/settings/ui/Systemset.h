#pragma once
#include "common/Notifier.h"
#include "settings/DirectPage.h"
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

inline const QString SetpointFileFilter = QStringLiteral("krv setpoint File|*.krv");
inline const QString SetpointFileExt = QStringLiteral("*.krv");

// "System Setting", the service window: the port group, the serial-number bar, the calibration
// page (laid out by the calibration) and the direct-operation page, an editor of the current
// parameter set. Non-modal; created once at start-up and only hidden when closed. The page is a
// passive view: the settings subsystem shows the set in it and reads it back.
class TSysSetForm : public QDialog, public TParamView {
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

    // The calibration's page, made by the layer above, fills "管理操作" and comes first.
    void SetCalibrationPage(QWidget* page);
    void ShowParams();
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

    // TParamView
    void SetFieldText(const TPrmAspect& field, const QString& text) override;
    QString FieldText(const TPrmAspect& field) const override;

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
    void ReadParamsWarning();

    TSettings& settings_;
    TDeviceLink& link_;
    UserPrompts& prompts_;
    QWidget* linkWindow_;
    QButtonGroup* connectionGroup_ = nullptr;
    QHash<QString, QLineEdit*> edits_;
    TNotifier<bool>::Subscription linkFollowing_;
};
