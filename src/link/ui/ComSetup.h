#pragma once
#include "link/ComSettings.h"
#include "link/PortSettingsPrompt.h"
#include <QDialog>

class QComboBox;
class QLabel;

// The modal port setup dialog: port, baud rate, data bits, stop bits, parity and flow control.
class TComSetupFrm : public QDialog {
    Q_OBJECT
  public:
    // Lists `ports` in their order, each described below the list when chosen (the port list is
    // editable, so a path can be typed), and starts on `settings`.
    TComSetupFrm(const TComSettings& settings, const QList<TPortInfo>& ports, QWidget* parent = nullptr);

    // Writes the six choices into `settings`; a "Custom" flow control leaves its details alone.
    void ApplyTo(TComSettings& settings) const;

    // Shows the dialog modally; on OK applies the choices and returns true.
    static bool Execute(TComSettings& settings, const QList<TPortInfo>& ports, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QComboBox* AddList(const QString& name, const QStringList& items, const QString& current);

    void ShowPortInfo(const QString& port);

    QList<TPortInfo> ports_;
    QComboBox* CBPort;
    QLabel* LPortInfo;
    QComboBox* CBBaudRate;
    QComboBox* CBDataBits;
    QComboBox* CBStopBits;
    QComboBox* CBParity;
    QComboBox* CBFlowControl;
};

// The link's port setup prompt, shown over the window that asked.
class TComSetupPrompt final : public PortSettingsPrompt {
  public:
    explicit TComSetupPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    bool EditPortSettings(TComSettings& settings, const QList<TPortInfo>& ports) override {
        return TComSetupFrm::Execute(settings, ports, parent_);
    }

  private:
    QWidget* parent_;
};
