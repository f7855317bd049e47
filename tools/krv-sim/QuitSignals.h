#pragma once
#include <QObject>

class QSocketNotifier;

namespace krvsim {

// Turns SIGINT, SIGTERM and SIGHUP into a normal event-loop exit, so destructors run and the
// symlink goes away. One instance per process.
class QuitSignals : public QObject {
    Q_OBJECT
  public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

  Q_SIGNALS:
    void Caught(int signal);

  private:
    void OnReadable();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace krvsim
