#include "model/ConsoleCommand.h"
#include <climits>
#include <cmath>

namespace krvsim {

namespace {

ConsoleReply Ok(const QString& text = {}) {
    return {true, false, text.isEmpty() ? "OK" : "OK " + text};
}
ConsoleReply Error(const QString& text) {
    return {false, false, "ERROR " + text};
}

std::optional<double> Number(const QString& text) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

QString Item(const InstrumentModel& model, const QString& code) {
    return code + "=" + model.ValueText(code);
}

QString FaultSummary(const FaultInjector& faults) {
    QStringList parts;
    for (int i = 0; i < FaultCount; ++i)
        parts << FaultInjector::Name(Fault(i)) + "=" + QString::number(faults.Rate(Fault(i)));
    parts << "delay-ms=" + QString::number(faults.DelayMs());
    return parts.join(' ');
}

ConsoleReply RunWind(const QStringList& args, InstrumentModel& model) {
    if (args.size() < 2 || args.size() > 4) return Error("usage: wind SPEED [AZIMUTH [DEPRESSION]]");
    std::array<std::optional<double>, 3> v;
    for (qsizetype i = 1; i < args.size(); ++i)
        if (!(v[i - 1] = Number(args[i]))) return Error("not a number: " + args[i]);
    const WindState& base = model.BaseWind();
    model.SetWind(*v[0], v[1].value_or(base.Azimuth), v[2].value_or(base.Depression));
    return Ok(Item(model, "M01") + " " + Item(model, "M05") + " " + Item(model, "M06"));
}

ConsoleReply RunFault(const QStringList& args, FaultInjector& faults) {
    if (args.size() == 1) return Ok(FaultSummary(faults));
    if (args.size() == 2 && args[1] == "none") {
        faults.Clear();
        return Ok(FaultSummary(faults));
    }
    if (args.size() != 3)
        return Error("usage: fault none | fault NAME RATE | fault delay-ms MS | fault seed N");
    if (args[1] == "delay-ms" || args[1] == "seed") {
        bool ok = false;
        const uint n = args[2].toUInt(&ok);
        if (!ok) return Error("not a whole number: " + args[2]);
        if (args[1] == "seed")
            faults.SetSeed(n);
        else
            faults.SetDelayMs(int(qMin(n, uint(INT_MAX))));
        return Ok(FaultSummary(faults));
    }
    const std::optional<Fault> fault = FaultInjector::FromName(args[1]);
    if (!fault) return Error("unknown fault: " + args[1]);
    const std::optional<double> rate = Number(args[2]);
    if (!rate || *rate < 0 || *rate > 1) return Error("rate must be 0..1: " + args[2]);
    faults.SetRate(*fault, *rate);
    return Ok(FaultSummary(faults));
}

QString MisbehaviourSummary(const InstrumentModel::WriteMisbehaviour& m) {
    QStringList parts{QString("silent-writes=") + (m.Silent ? "on" : "off"),
                      QString("drop-last=") + (m.DropLastPair ? "on" : "off")};
    for (auto it = m.Values.cbegin(); it != m.Values.cend(); ++it)
        parts << "value " + it.key() + "=" + it.value();
    for (auto it = m.KeyInPlace.cbegin(); it != m.KeyInPlace.cend(); ++it)
        parts << "key " + it.key() + "=" + it.value();
    return parts.join(' ');
}

std::optional<bool> OnOff(const QString& text) {
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
}

ConsoleReply RunMisbehave(const QStringList& args, InstrumentModel& model) {
    InstrumentModel::WriteMisbehaviour& m = model.Misbehaviour;
    if (args.size() == 2 && args[1] == "none")
        m = {};
    else if (args.size() == 3 && (args[1] == "silent-writes" || args[1] == "drop-last")) {
        const std::optional<bool> on = OnOff(args[2]);
        if (!on) return Error("usage: misbehave " + args[1] + " on|off");
        (args[1] == "silent-writes" ? m.Silent : m.DropLastPair) = *on;
    } else if (args.size() == 4 && args[1] == "value")
        m.Values.insert(args[2], args[3]);
    else if (args.size() == 4 && args[1] == "key")
        m.KeyInPlace.insert(args[2], args[3]);
    else if (args.size() != 1)
        return Error("usage: misbehave none | silent-writes on|off | drop-last on|off | value KEY VALUE | "
                     "key KEY OTHER");
    return Ok(MisbehaviourSummary(m));
}

} // namespace

QString ConsoleHelp() {
    return "commands:\n"
           "  set CODE VALUE                 set a code (M01 3.5, S01 0.81, E12 0.5, ...)\n"
           "  get CODE                       show the text a read of CODE answers\n"
           "  wind SPEED [AZIMUTH [DEPRESSION]]\n"
           "  temp CELSIUS                   air temperature\n"
           "  vary on|off                    slow drift of wind and temperature\n"
           "  fault                          show fault rates\n"
           "  fault NAME RATE                NAME: drop delay corrupt duplicate noise; RATE 0..1\n"
           "  fault delay-ms MS | fault seed N | fault none\n"
           "  misbehave                      show how write requests are answered wrongly\n"
           "  misbehave silent-writes on|off write requests neither applied nor answered\n"
           "  misbehave drop-last on|off     write answers leave out their last pair\n"
           "  misbehave value KEY VALUE      write answers give KEY with VALUE\n"
           "  misbehave key KEY OTHER        write answers give OTHER in KEY's place\n"
           "  misbehave none\n"
           "  quit\n";
}

ConsoleReply RunConsoleCommand(QStringView line, InstrumentModel& model, FaultInjector& faults) {
    const QStringList args = line.toString().simplified().split(' ', Qt::SkipEmptyParts);
    if (args.isEmpty()) return {true, false, {}};
    const QString& cmd = args[0];
    if (cmd == "quit" || cmd == "exit") return {true, true, "OK bye"};
    if (cmd == "help") return Ok(ConsoleHelp().trimmed());
    if (cmd == "set") {
        if (args.size() != 3) return Error("usage: set CODE VALUE");
        if (!model.SetValue(args[1], args[2])) return Error("refused: " + args[1] + " " + args[2]);
        return Ok(Item(model, args[1]));
    }
    if (cmd == "get") {
        if (args.size() != 2) return Error("usage: get CODE");
        if (!model.Knows(args[1])) return Error("unknown code: " + args[1]);
        return Ok(Item(model, args[1]));
    }
    if (cmd == "wind") return RunWind(args, model);
    if (cmd == "temp") {
        const std::optional<double> t = args.size() == 2 ? Number(args[1]) : std::nullopt;
        if (!t) return Error("usage: temp CELSIUS");
        model.SetAirTemperature(*t);
        return Ok(Item(model, "M11"));
    }
    if (cmd == "vary") {
        if (args.size() != 2 || (args[1] != "on" && args[1] != "off")) return Error("usage: vary on|off");
        model.SetVary(args[1] == "on");
        return Ok("vary " + args[1]);
    }
    if (cmd == "fault") return RunFault(args, faults);
    if (cmd == "misbehave") return RunMisbehave(args, model);
    return Error("unknown command: " + cmd + " (try help)");
}

} // namespace krvsim
