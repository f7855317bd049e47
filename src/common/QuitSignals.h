#pragma once
#include <QObject>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

// Turns the given signals (SIGINT, SIGTERM, ...) into an event-loop event, so that a program ends
// through its destructors: the handler may do only async-signal-safe work, so it writes the
// signal's number into a socket pair that the event loop watches. One instance per process.
class TQuitSignals : public QObject {
    Q_OBJECT
  public:
    explicit TQuitSignals(std::initializer_list<int> which, QObject* parent = nullptr);
    ~TQuitSignals() override;

  Q_SIGNALS:
    void Caught(int signal);

  private:
    void OnReadable();

    std::vector<int> signals_;
    QSocketNotifier* notifier_ = nullptr;
};
