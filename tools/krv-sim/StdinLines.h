#pragma once
#include <QByteArray>
#include <QObject>

class QSocketNotifier;

namespace krvsim {

// Lines typed on standard input while the event loop runs. At end of input it simply stops
// listening: a simulator started with stdin closed or at /dev/null keeps running.
class StdinLines : public QObject {
    Q_OBJECT
  public:
    explicit StdinLines(QObject* parent = nullptr);

  Q_SIGNALS:
    void Line(const QString& line);

  private:
    void OnReadable();

    QSocketNotifier* notifier_ = nullptr;
    QByteArray pending_;
};

} // namespace krvsim
