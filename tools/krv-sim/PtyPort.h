#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace krvsim {

// The simulator's end of a pseudo-terminal; clients open SlavePath() as their serial port.
class PtyPort : public QObject {
    Q_OBJECT
  public:
    explicit PtyPort(QObject* parent = nullptr);
    ~PtyPort() override;

    bool Open(QString* error);
    QString SlavePath() const { return slavePath_; }

    // A symlink at `path` to the slave. An existing symlink there is replaced; anything else is left
    // alone and reported. Removed on destruction if it still points to this slave.
    bool Link(const QString& path, QString* error);

    // Bytes that do not fit are lost, as on a line nobody is reading.
    bool Write(const QByteArray& bytes);

  Q_SIGNALS:
    void Received(const QByteArray& bytes);
    void Failed(const QString& message);

  private:
    void OnReadable();
    void RemoveLink();
    void ReleaseExclusiveWhenIdle();

    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString linkPath_;
    QSocketNotifier* notifier_ = nullptr;
    QElapsedTimer sinceReceived_;
};

} // namespace krvsim
