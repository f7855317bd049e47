#include "PtyPort.h"
#include "StdinLines.h"
#include "common/FileSizeSignal.h"
#include "common/ProgramInfo.h"
#include "common/QuitSignals.h"
#include "model/ConsoleCommand.h"
#include "model/Responder.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <fcntl.h>

using namespace krvsim;

namespace {

enum class Verbosity { Quiet, Normal, Verbose };

void PrintLine(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// Frames as readable text: CR, LF and anything unprintable escaped.
QString Escaped(QByteArrayView bytes) {
    QString out;
    for (char c : bytes) {
        const auto u = quint8(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (u < 0x20 || u >= 0x7F || c == '\\')
            out += QString("\\x%1").arg(u, 2, 16, QChar('0'));
        else
            out += QChar(c);
    }
    return out;
}

[[noreturn]] void Fail(const QString& message) {
    PrintLine(stderr, "krv-sim: " + message);
    std::exit(2);
}

double NumberOption(const QCommandLineParser& parser, const QString& name, double lo, double hi) {
    bool ok = false;
    const double v = parser.value(name).toDouble(&ok);
    if (!ok || !(v >= lo && v <= hi))
        Fail(QString("--%1 needs a number from %2 to %3, not '%4'")
                 .arg(name)
                 .arg(lo)
                 .arg(hi)
                 .arg(parser.value(name)));
    return v;
}

const char* kDescription =
    "Simulates a KRV series anemometer on a pseudo-terminal.\n"
    "\n"
    "Standard output: the first line is \"PORT <slave path>\" (e.g. PORT /dev/pts/5), printed once\n"
    "the port (and the --link symlink) is ready. Each command read from standard input is answered\n"
    "on standard output with a line starting \"OK\" or \"ERROR\". Log messages go to standard error.\n"
    "\n"
    "Wind vector: M07 = ws*cos(dep)*sin(az), M08 = ws*cos(dep)*cos(az), M09 = -ws*sin(dep).\n"
    "Rates are probabilities 0..1 per answer; the same --seed gives the same faults.\n"
    "SIGINT, SIGTERM and \"quit\" exit cleanly; end of standard input does not.\n"
    "\n";

} // namespace

int main(int argc, char** argv) {
    // Its output often goes to a file (the demo's krv-sim.out): past a size limit a line is lost,
    // not the simulator.
    IgnoreFileSizeSignal();
    // A closed standard descriptor would be handed to the pty, and stdin's reader would then eat the
    // port's bytes.
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0) ::open("/dev/null", O_RDWR);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("krv-sim");
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString(kDescription) + ConsoleHelp());
    parser.addHelpOption();
    const QList<QCommandLineOption> options{
        {"link", "Make a symlink PATH to the slave (an existing symlink is replaced); removed on exit.",
         "PATH"},
        {"wind-speed", "Wind speed in m/s (default 2.5).", "M/S"},
        {"azimuth", "Wind azimuth in degrees (default 0).", "DEG"},
        {"depression", "Depression angle in degrees, -90..90 (default 0).", "DEG"},
        {"air-temp", "Air temperature in deg C (default 20).", "C"},
        {"model", "Model number S00 (default 17.03).", "N"},
        {"firmware", "Firmware version S01 (default 0.80).", "V"},
        {"set", "Set any code, e.g. --set S11=4 (repeatable).", "CODE=VALUE"},
        {"vary", "Let wind and temperature drift slowly with time."},
        {"calibration-setting",
         "An instrument to calibrate: a sensor law (C32 = 45 / (1 + 0.55 sqrt(ws))) that "
         "the program's default parameters do not match, and 0.002 deg C of noise on "
         "the temperatures, seeded by --seed."},
        {"drop", "Rate of answers not sent.", "RATE"},
        {"delay", "Rate of answers sent late (see --delay-ms).", "RATE"},
        {"delay-ms", "How late a delayed answer is (default 500).", "MS"},
        {"corrupt", "Rate of answers with a wrong checksum.", "RATE"},
        {"duplicate", "Rate of answers sent twice.", "RATE"},
        {"noise", "Rate of answers preceded by garbage.", "RATE"},
        {"seed", "Seed of the fault generator (default 1).", "N"},
        {"silent-writes", "Write requests are neither applied nor answered."},
        {"drop-last-pair", "Write answers leave out their last pair."},
        {"answer-value", "Write answers give KEY with VALUE (repeatable).", "KEY=VALUE"},
        {"answer-key", "Write answers give OTHER in KEY's place (repeatable).", "KEY=OTHER"},
        {{"q", "quiet"}, "Log errors only."},
        {{"v", "verbose"}, "Log every frame received and sent."},
        {"version", "Show the simulator's version and its Qt version, and exit."},
    };
    parser.addOptions(options);
    parser.process(app);
    if (parser.isSet("version")) {
        PrintLine(stdout, VersionLine("krv-sim"));
        return 0;
    }

    InstrumentModel model;
    FaultInjector faults;
    if (parser.isSet("wind-speed")) model.SetWindSpeed(NumberOption(parser, "wind-speed", 0, 1e6));
    if (parser.isSet("azimuth")) model.SetAzimuth(NumberOption(parser, "azimuth", -1e6, 1e6));
    if (parser.isSet("depression")) model.SetDepression(NumberOption(parser, "depression", -90, 90));
    if (parser.isSet("air-temp")) model.SetAirTemperature(NumberOption(parser, "air-temp", -273.15, 1e4));
    if (parser.isSet("model")) model.SetModelNumber(NumberOption(parser, "model", -1e9, 1e9));
    if (parser.isSet("firmware")) model.SetFirmware(NumberOption(parser, "firmware", -1e9, 1e9));
    for (const QString& item : parser.values("set")) {
        const qsizetype eq = item.indexOf('=');
        if (eq <= 0 || !model.SetValue(item.left(eq), item.mid(eq + 1))) Fail("--set refused: " + item);
    }
    model.SetVary(parser.isSet("vary"));
    if (parser.isSet("calibration-setting"))
        model.UseCalibrationSetting(
            parser.isSet("seed") ? quint32(NumberOption(parser, "seed", 0, 4294967295.0)) : 1);
    model.Misbehaviour.Silent = parser.isSet("silent-writes");
    model.Misbehaviour.DropLastPair = parser.isSet("drop-last-pair");
    for (const QString& name : {QString("answer-value"), QString("answer-key")})
        for (const QString& item : parser.values(name)) {
            const qsizetype eq = item.indexOf('=');
            if (eq <= 0)
                Fail("--" + name + " needs KEY=" + (name == "answer-key" ? "OTHER" : "VALUE") + ": " + item);
            (name == "answer-key" ? model.Misbehaviour.KeyInPlace : model.Misbehaviour.Values)
                .insert(item.left(eq), item.mid(eq + 1));
        }
    for (int i = 0; i < FaultCount; ++i) {
        const QString name = FaultInjector::Name(Fault(i));
        if (parser.isSet(name)) faults.SetRate(Fault(i), NumberOption(parser, name, 0, 1));
    }
    if (parser.isSet("delay-ms")) faults.SetDelayMs(int(NumberOption(parser, "delay-ms", 0, 3600000)));
    if (parser.isSet("seed")) faults.SetSeed(quint32(NumberOption(parser, "seed", 0, 4294967295.0)));
    const Verbosity verbosity = parser.isSet("verbose") ? Verbosity::Verbose
                                : parser.isSet("quiet") ? Verbosity::Quiet
                                                        : Verbosity::Normal;
    auto log = [verbosity](Verbosity level, const QString& text) {
        if (level <= verbosity) PrintLine(stderr, "krv-sim: " + text);
    };

    TQuitSignals quitSignals({SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&quitSignals, &TQuitSignals::Caught, &app, [&](int sig) {
        log(Verbosity::Normal, QString("signal %1, quitting").arg(sig));
        app.quit();
    });

    PtyPort port;
    QString error;
    if (!port.Open(&error)) Fail(error);
    if (parser.isSet("link") && !port.Link(parser.value("link"), &error)) Fail(error);
    QObject::connect(&port, &PtyPort::Failed, &app,
                     [&](const QString& message) { log(Verbosity::Quiet, message); });

    QElapsedTimer uptime;
    uptime.start();
    Responder responder(model, faults);
    responder.OnFrame = [&](const TParsedFrame& frame) {
        log(Verbosity::Verbose, QString(frame.Good ? "rx " : "rx bad ") + Escaped(frame.Text));
    };
    auto send = [&](const QByteArray& bytes) {
        if (!port.Write(bytes)) log(Verbosity::Normal, "answer lost: the port's buffer is full");
    };
    QObject::connect(&port, &PtyPort::Received, &app, [&](const QByteArray& bytes) {
        model.SetTimeMs(uptime.elapsed());
        for (const Emission& e : responder.Feed(bytes)) {
            log(Verbosity::Verbose, QString("tx%1 %2")
                                        .arg(e.DelayMs ? QString(" +%1ms").arg(e.DelayMs) : QString())
                                        .arg(Escaped(e.Bytes)));
            if (e.DelayMs == 0)
                send(e.Bytes);
            else
                QTimer::singleShot(e.DelayMs, &port, [&send, bytes = e.Bytes] { send(bytes); });
        }
    });

    StdinLines console;
    QObject::connect(&console, &StdinLines::Line, &app, [&](const QString& line) {
        model.SetTimeMs(uptime.elapsed());
        const ConsoleReply reply = RunConsoleCommand(line, model, faults);
        if (!reply.Text.isEmpty()) PrintLine(stdout, reply.Text);
        if (reply.Quit) app.quit();
    });

    PrintLine(stdout, "PORT " + port.SlavePath());
    log(Verbosity::Normal,
        "serving " + port.SlavePath() + (parser.isSet("link") ? " via " + parser.value("link") : QString()));
    return app.exec();
}
