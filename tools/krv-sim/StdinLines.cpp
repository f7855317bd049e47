#include "StdinLines.h"
#include <QSocketNotifier>
#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace krvsim {

StdinLines::StdinLines(QObject* parent) : QObject(parent) {
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0) return;
    notifier_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StdinLines::OnReadable);
}

void StdinLines::OnReadable() {
    char buf[1024];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) {
        // A notifier on a descriptor at end of file fires forever.
        notifier_->setEnabled(false);
        if (!pending_.isEmpty()) Q_EMIT Line(QString::fromLocal8Bit(std::exchange(pending_, {})));
        return;
    }
    pending_.append(buf, qsizetype(n));
    qsizetype eol;
    while ((eol = pending_.indexOf('\n')) >= 0) {
        const QByteArray line = pending_.left(eol);
        pending_.remove(0, eol + 1);
        Q_EMIT Line(QString::fromLocal8Bit(line).trimmed());
    }
}

} // namespace krvsim
