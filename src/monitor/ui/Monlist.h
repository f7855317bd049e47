#pragma once
#include <QWidget>

class QPushButton;
class QTableView;
class TMonitor;

// "Monitor List": the monitor's list of every current value and the short-log export. It only
// shows and forwards; whether it is shown changes nothing in what the monitor computes or records.
class TMonForm : public QWidget {
    Q_OBJECT
  public:
    // The creation; the monitor loads the second-record switch with the program's creation.
    explicit TMonForm(TMonitor& monitor, QWidget* parent = nullptr);
    // FormDestroy: the switch is stored again at the end.
    ~TMonForm() override;

    QTableView* SGList = nullptr;
    QWidget* PConsole = nullptr;
    QPushButton* BBSaveFile = nullptr;
    QPushButton* BBClose = nullptr;

    void BBSaveFileClick();
    void BBCloseClick();

  protected:
    void showEvent(QShowEvent* event) override;
    // FormCloseQuery: closing only hides the window and stores the switch.
    void closeEvent(QCloseEvent* event) override;

  private:
    TMonitor& monitor_;
};
