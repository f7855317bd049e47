#pragma once
#include "model/FaultInjector.h"
#include "model/InstrumentModel.h"
#include <QString>

namespace krvsim {

struct ConsoleReply {
    bool Ok = true;
    bool Quit = false;
    QString Text; // starts "OK" or "ERROR"; empty for a blank line
};

// One line typed at the simulator while it runs, e.g. "set M01 3.5", "wind 4 270 -5",
// "fault drop 0.2", "fault none", "quit". "help" lists them all.
ConsoleReply RunConsoleCommand(QStringView line, InstrumentModel& model, FaultInjector& faults);

QString ConsoleHelp();

} // namespace krvsim
