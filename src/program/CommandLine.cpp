#include "program/CommandLine.h"
#include "common/ProgramDir.h"
#include "common/ProgramInfo.h"
#include <QTextStream>

namespace {
const QString HelpOption = QStringLiteral("help");
const QString VersionOption = QStringLiteral("version");
const QString PathsOption = QStringLiteral("paths");
const QString PortOption = QStringLiteral("port");
const QString DataDirOption = QStringLiteral("data-dir");
const QString HeadlessOption = QStringLiteral("headless");
const QString SecondRecordOption = QStringLiteral("second-record");

const char* const Description =
    "Monitor and service program for KRV-series anemometers on a serial port.\n"
    "\n"
    "Files: Port0.ini and BaseSetpoint.ini in the config folder; the Record folder, DefaultPrm.krv\n"
    "and the calibration's files in the data folder. Both are the program's own folder where it can\n"
    "be written, otherwise ~/.config/krv-monitor and ~/.local/share/krv-monitor (XDG), or the one\n"
    "folder given by --data-dir. --paths shows them.\n"
    "\n"
    "--headless records without a window and without a display: it opens the port at once, writes\n"
    "the minute and second records as the window does, tries a port that is missing or lost again\n"
    "every 5 s, logs what happens to standard error and ends cleanly on SIGTERM or SIGINT.";
} // namespace

TCommandLine::TCommandLine() {
    parser_.setApplicationDescription(QString::fromUtf8(Description));
    // Qt's own options (-platform, -style, ...) are not offered: the environment (QT_QPA_PLATFORM)
    // does the same, and the line is read before any application object exists.
    parser_.addOptions({
        {{QStringLiteral("h"), HelpOption}, QStringLiteral("Shows this help and exits.")},
        {VersionOption, QStringLiteral("Shows the program's version and its Qt version, and exits.")},
        {PathsOption, QStringLiteral("Shows the folders the program uses, and exits.")},
        {PortOption,
         QStringLiteral("Opens the serial port PATH (e.g. /dev/ttyUSB0) instead of the one in Port0.ini, "
                        "without storing it there."),
         QStringLiteral("PATH")},
        {DataDirOption,
         QStringLiteral("Keeps every file (INI files, records, work files) in DIR, created if missing."),
         QStringLiteral("DIR")},
        {HeadlessOption,
         QStringLiteral("Records without a window (no display needed) until SIGTERM or SIGINT.")},
        {SecondRecordOption,
         QStringLiteral("With --headless: the second record on or off for this run, instead of "
                        "BaseSetpoint.ini's switch, without storing it."),
         QStringLiteral("on|off")},
    });
}

void TCommandLine::Parse(const QStringList& arguments) {
    Action = TCommandAction::Run;
    Error.clear();
    if (!parser_.parse(arguments)) {
        Action = TCommandAction::Refused;
        Error = parser_.errorText();
        return;
    }
    if (!parser_.positionalArguments().isEmpty()) {
        Action = TCommandAction::Refused;
        Error = QStringLiteral("Unexpected argument '%1'.").arg(parser_.positionalArguments().constFirst());
        return;
    }
    Port = parser_.value(PortOption);
    if (parser_.isSet(PortOption) && Port.isEmpty()) {
        Action = TCommandAction::Refused;
        Error = QStringLiteral("--port needs a path.");
        return;
    }
    DataDir.reset();
    if (parser_.isSet(DataDirOption)) {
        if (parser_.value(DataDirOption).isEmpty()) {
            Action = TCommandAction::Refused;
            Error = QStringLiteral("--data-dir needs a folder.");
            return;
        }
        DataDir = parser_.value(DataDirOption);
    }
    SecondRecord.reset();
    if (parser_.isSet(SecondRecordOption)) {
        const QString value = parser_.value(SecondRecordOption);
        if (value != QLatin1String("on") && value != QLatin1String("off")) {
            Action = TCommandAction::Refused;
            Error = QStringLiteral("--second-record takes on or off, not '%1'.").arg(value);
            return;
        }
        // The window has its own box for it, and stores it at the end.
        if (!parser_.isSet(HeadlessOption)) {
            Action = TCommandAction::Refused;
            Error = QStringLiteral("--second-record needs --headless; the window has its own box.");
            return;
        }
        SecondRecord = value == QLatin1String("on");
    }
    if (parser_.isSet(HelpOption))
        Action = TCommandAction::Help;
    else if (parser_.isSet(VersionOption))
        Action = TCommandAction::Version;
    else if (parser_.isSet(PathsOption))
        Action = TCommandAction::Paths;
    else if (parser_.isSet(HeadlessOption))
        Action = TCommandAction::Headless;
}

int TCommandLine::Answer(const TFolderChoice& folders, QTextStream& out, QTextStream& err) const {
    switch (Action) {
    case TCommandAction::Run:
    case TCommandAction::Headless:
        break;
    case TCommandAction::Help:
        out << parser_.helpText();
        return 0;
    case TCommandAction::Version:
        out << VersionLine(ProgramName) << '\n';
        return 0;
    case TCommandAction::Paths:
        out << PathsText(ProgramDir(), folders);
        return 0;
    case TCommandAction::Refused:
        err << ProgramName << ": " << Error << "\n\n" << parser_.helpText();
        return 2;
    }
    return 0;
}

QString PathsText(const QString& programDir, const TFolderChoice& choice) {
    return QStringLiteral("program: %1\nconfig: %2\ndata: %3\nrecords: %4\n")
        .arg(programDir, choice.Folders.Config, choice.Folders.Data, choice.Folders.RecordDir());
}
