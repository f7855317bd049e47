#include "PtyPort.h"
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace krvsim {

namespace {
QString ErrnoText(const char* what) {
    return QString("%1: %2").arg(what, QString::fromLocal8Bit(strerror(errno)));
}
} // namespace

PtyPort::PtyPort(QObject* parent) : QObject(parent) {}

PtyPort::~PtyPort() {
    RemoveLink();
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
}

bool PtyPort::Open(QString* error) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        *error = ErrnoText("openpty");
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    // Raw, so that nothing the client sends is echoed or translated before a client sets its own
    // modes. The slave stays open here: with no slave open, the master reports hang-up continuously
    // and its notifier would spin.
    termios tio{};
    if (::tcgetattr(slave_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PtyPort::OnReadable);
    sinceReceived_.start();
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &PtyPort::ReleaseExclusiveWhenIdle);
    idle->start(1000);
    return true;
}

// A client opens its port in exclusive mode (TIOCEXCL), which a device loses with its last close.
// Here the simulator's own slave descriptor keeps the terminal open, so a client that was killed
// would leave it exclusive, and the next client not run as root would be refused as busy. A client
// that has sent nothing for a while is taken to be gone.
void PtyPort::ReleaseExclusiveWhenIdle() {
    if (sinceReceived_.hasExpired(2000)) ::ioctl(slave_, TIOCNXCL);
}

bool PtyPort::Link(const QString& path, QString* error) {
    const QByteArray target = slavePath_.toLocal8Bit();
    const QByteArray link = QFile::encodeName(path);
    const QFileInfo existing(path);
    if (!existing.isSymLink() && existing.exists()) {
        *error = path + " exists and is not a symlink";
        return false;
    }
    // Made beside the final name and renamed over it, so the link never points nowhere.
    const QByteArray temp = link + ".krv-sim-" + QByteArray::number(::getpid());
    ::unlink(temp.constData());
    if (::symlink(target.constData(), temp.constData()) != 0) {
        *error = ErrnoText("symlink");
        return false;
    }
    if (::rename(temp.constData(), link.constData()) != 0) {
        *error = ErrnoText("rename");
        ::unlink(temp.constData());
        return false;
    }
    linkPath_ = path;
    return true;
}

void PtyPort::RemoveLink() {
    if (linkPath_.isEmpty()) return;
    // Another simulator may have taken the name over since.
    if (QFile::symLinkTarget(linkPath_) == slavePath_) ::unlink(QFile::encodeName(linkPath_).constData());
    linkPath_.clear();
}

bool PtyPort::Write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

void PtyPort::OnReadable() {
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            sinceReceived_.restart();
            Q_EMIT Received(QByteArray(buf, qsizetype(n)));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        // Should not happen while the slave is held open; stop watching rather than spin.
        notifier_->setEnabled(false);
        Q_EMIT Failed(n == 0 ? QString("pty closed") : ErrnoText("read"));
        return;
    }
}

} // namespace krvsim
