// A headless program that records as fast as it can, for tests that kill it or limit its file sizes:
// the core against the simulator's instrument model, second records on, the long minute layout, the
// manual clock 200 ms further at every tick.
//
//   krv-recording-child DIR START SECONDS [--default-file-size-signal]
//
// DIR is the program's folder, START the seconds after 2026-12-09 00:00 at which its clock starts,
// SECONDS how many seconds it records before it closes as the program does (0: until killed). It
// ignores SIGXFSZ as the program's main() does, unless told to keep the default.
#include "common/Clock.h"
#include "common/FileSizeSignal.h"
#include "program/ProgramCore.h"
#include "support/RecordingPrompts.h"
#include "support/SimulatedInstrumentPort.h"
#include <QString>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: krv-recording-child DIR START SECONDS [--default-file-size-signal]\n", stderr);
        return 2;
    }
    if (!(argc > 4 && std::strcmp(argv[4], "--default-file-size-signal") == 0)) IgnoreFileSizeSignal();
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const long start = std::atol(argv[2]);
    const long seconds = std::atol(argv[3]);

    SimulatedInstrumentPort port;
    port.Model.SetWind(3.25, 271, -2);
    ManualClock clock(EncodeDateTime(2026, 12, 9, 0, 0, 0) + double(start) / 86400);
    RecordingPrompts prompts;
    TProgramCore core(port, clock, prompts, prompts, dir);
    core.Create();
    core.Show();
    core.Monitor.SetSecondRecord(true);
    core.Monitor.EnterServiceMode();
    core.BBStartClick();
    for (long tick = 0; seconds == 0 || tick < seconds * 5; ++tick) {
        core.MainTimerTimer();
        // As fast as it goes, the ticks would outrun the writer's thread, which in the program has
        // a second for every row.
        core.Monitor.FlushRecords();
        port.DeliverAnswers();
        clock.AdvanceMs(200);
    }
    core.Shutdown();
    return 0;
}
