#pragma once
#include "PollingRig.h"
#include "common/LocalTimeZone.h"
#include "program/ui/Main.h"
#include <QChartView>
#include <QCoreApplication>
#include <QEvent>
#include <QLineSeries>
#include <QTimer>
#include <ctime>
#include <memory>

// Counts the charts' paint events, to show that a repaint really drew them.
class PaintCounter : public QObject {
  public:
    int Paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++Paints;
        return QObject::eventFilter(watched, event);
    }
};

// The real main window over a polling core, shown on the offscreen platform, its history full.
struct FormRig : PollingRig {
    PaintCounter counter;
    std::unique_ptr<TMainForm> form;

    FormRig() {
        core.Create();
        form = std::make_unique<TMainForm>(core, prompts);
        form->MainTimer->stop(); // the benchmark drives the ticks
        form->show();            // the captions, the axes and an empty history, as at program start
        Repaint();
        for (QChartView* view : {form->RTCWindDirection, form->RTCWindSpeed})
            view->viewport()->installEventFilter(&counter);
        form->BBStartClick();
    }
    ~FormRig() { form.reset(); }

    // The program pins the local time zone at its start, as the benchmarks' main() does; the former
    // code ran without. Switched outside the timed work; a TZ the run was given stays.
    static void FormerZone() {
        if (qgetenv("TZ") != ":/etc/localtime") return;
        qunsetenv("TZ");
        tzset();
    }
    static void ProgramZone() { PinLocalTimeZone(); }

    // What the event loop does after the refresh: scene updates, then the window's repaint. Each
    // round hands on what the previous one posted.
    static void Repaint() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
};
