#include "app/StartupReport.h"
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {
double NowNs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

// The first paint event of the window or any of its children starts the frame; the frame ends when
// the event loop comes back, after the whole window has been painted and flushed.
class TFirstPaint final : public QObject {
  public:
    TFirstPaint(QWidget* window, double startNs) : window_(window), startNs_(startNs) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget && widget->window() == window_) {
            QCoreApplication::instance()->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                std::fprintf(stderr, "first paint after %.1f ms\n", (NowNs() - startNs_) / 1e6);
                deleteLater();
            });
        }
        return false;
    }

  private:
    QWidget* window_;
    double startNs_;
};
} // namespace

void ReportFirstPaint(QWidget* window) {
    bool ok = false;
    const double startNs = qEnvironmentVariable("KRV_STARTUP_NS").toDouble(&ok);
    if (!ok) return;
    QCoreApplication::instance()->installEventFilter(new TFirstPaint(window, startNs));
}
