#include "FormRig.h"
#include "SideBySide.h"
#include "program/ui/TrendLine.h"
#include "support/ReferenceCharts.h"
#include <QOpenGLContext>

namespace {

using reference::ScaleToPoints;
using reference::ShowTimeRange;

QList<QLineSeries*> AllSeries(TMainForm& form) {
    return {form.FastLineSeries1, form.Series2, form.Series1};
}

// The options weighed against the former update (support/ReferenceCharts.h).
enum class Option {
    Program,      // today's UpdateCharts()
    OneInOneOut,  // each series loses its oldest points and gains the new ones
    QtNiceRanges, // today's order, but the value axes widened by QtCharts: two range changes each
    OpenGl,       // the old update on QtCharts' OpenGL series
    Minimised,    // today's UpdateCharts() with the window minimised
};

// Drops the points that left the ten minutes and appends those that came; a list that is not a
// continuation (a gap closed, the clock moved back) is replaced whole.
void OneInOneOut(QLineSeries* series, const QList<QPointF>& points) {
    const QList<QPointF> old = series->points();
    qsizetype gone = 0;
    while (gone < old.size() && !points.isEmpty() && old[gone] != points.front())
        ++gone;
    const qsizetype kept = old.size() - gone;
    bool continues = !points.isEmpty() && kept <= points.size();
    for (qsizetype i = 0; continues && i < kept; ++i)
        continues = old[gone + i] == points[i];
    if (!continues) {
        series->replace(points);
        return;
    }
    if (gone > 0) series->removePoints(0, int(gone));
    if (kept < points.size()) series->append(points.sliced(kept));
}

void UpdateWith(Option option, TMainForm& form, TProgramCore& core) {
    switch (option) {
    case Option::Program:
    case Option::Minimised:
        form.UpdateCharts();
        return;
    case Option::OpenGl:
        reference::UpdateCharts(form, core);
        return;
    case Option::OneInOneOut: {
        const TTrendPoints points = MakeTrendPoints(core.Store.SampleHistory);
        ShowTimeRange(form, TrendRange(core.Now()));
        OneInOneOut(form.FastLineSeries1, points.Azimuth);
        OneInOneOut(form.Series2, points.Depression);
        OneInOneOut(form.Series1, points.WindSpeed);
        ScaleToPoints(form, points);
        return;
    }
    case Option::QtNiceRanges: {
        const TTrendPoints points = MakeTrendPoints(core.Store.SampleHistory);
        for (QLineSeries* series : AllSeries(form))
            series->clear();
        ShowTimeRange(form, TrendRange(core.Now()));
        ScaleToPoints(form, points);
        form.FastLineSeries1->replace(points.Azimuth);
        form.Series2->replace(points.Depression);
        form.Series1->replace(points.WindSpeed);
        return;
    }
    }
}

// One second of the window: the history shift, then the texts and charts.
struct SecondRig : FormRig {
    // How each side finds the charts as a second begins, set up outside the timed work: the former
    // program's series held the last second's points; today's series hold none, the trend lines do.
    // The time zone as each ran.
    void FormerState() {
        FormerZone();
        for (TTrendLine* line : form->TrendLines)
            line->SetPoints({});
        const TTrendPoints points = MakeTrendPoints(core.Store.SampleHistory);
        form->FastLineSeries1->replace(points.Azimuth);
        form->Series2->replace(points.Depression);
        form->Series1->replace(points.WindSpeed);
        Repaint(); // as the last second's repaint did
    }
    void ProgramState() {
        for (QLineSeries* series : AllSeries(*form))
            series->clear();
        ProgramZone();
        Repaint();
    }

    int Step = 0;

    void Shift() {
        Vary(Step++);
        clock.AdvanceMs(1000);
        core.Store.ShiftHistory(clock.Now());
    }

    bool Prepare(benchmark::State& state) {
        if (!CheckPolling(state)) return false;
        FillHistory();
        form->ShowLiveValues();
        Repaint();
        counter.Paints = 0;
        return true;
    }
};

// The once-a-second work: the history shift and the main window's refresh (texts, then the charts
// of a full history: 3 x 599 points), the former chart update and today's alternately on one window.
// With repaint, the charts are drawn too, as the event loop would draw them; the X server's side is
// not in it.
void BM_SecondWork(benchmark::State& state, bool repaint) {
    SecondRig rig;
    if (!rig.Prepare(state)) return;
    SideBySide timing;
    for (auto _ : state) {
        rig.FormerState();
        timing.Old([&] {
            rig.Shift();
            rig.form->ShowLiveTexts();
            reference::UpdateCharts(*rig.form, rig.core);
            if (repaint) rig.Repaint();
        });
        rig.ProgramState();
        timing.New([&] {
            rig.Shift();
            rig.form->ShowLiveValues();
            if (repaint) rig.Repaint();
        });
    }
    timing.Report(state);
    state.counters["chart_paints"] =
        benchmark::Counter(rig.counter.Paints, benchmark::Counter::kAvgIterations);
    state.counters["points"] = double(rig.form->TrendLines[2]->Points().size());
}
BENCHMARK_CAPTURE(BM_SecondWork, no_repaint, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SecondWork, repaint, true)->Unit(benchmark::kMicrosecond);

// The chart update alone, both charts painted, each option against the former update.
void BM_ChartOption(benchmark::State& state, Option option) {
    if (option == Option::OpenGl) {
        QOpenGLContext context;
        if (!context.create()) {
            state.SkipWithError("no OpenGL on this platform (QT_QPA_PLATFORM=xcb under Xvfb has one)");
            return;
        }
    }
    SecondRig rig;
    if (!rig.Prepare(state)) return;
    if (option == Option::OpenGl)
        for (QLineSeries* series : AllSeries(*rig.form))
            series->setUseOpenGL(true);
    if (option == Option::Minimised) rig.form->showMinimized();
    rig.Repaint();
    SideBySide timing;
    for (auto _ : state) {
        rig.FormerState();
        timing.Old([&] {
            rig.Shift();
            reference::UpdateCharts(*rig.form, rig.core);
            rig.Repaint();
        });
        option == Option::Program || option == Option::Minimised ? rig.ProgramState() : rig.ProgramZone();
        timing.New([&] {
            rig.Shift();
            UpdateWith(option, *rig.form, rig.core);
            rig.Repaint();
        });
    }
    timing.Report(state);
}
BENCHMARK_CAPTURE(BM_ChartOption, program, Option::Program)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ChartOption, one_in_one_out, Option::OneInOneOut)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ChartOption, qt_nice_ranges, Option::QtNiceRanges)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ChartOption, opengl, Option::OpenGl)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ChartOption, minimised, Option::Minimised)->Unit(benchmark::kMicrosecond);

} // namespace
