#pragma once
#include "common/ProgramFolders.h"
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

// What the command line asks for. Everything but Run is answered on the terminal, without a display.
// Headless records without a window and without a display.
enum class TCommandAction { Run, Headless, Help, Version, Paths, Refused };

// krv-monitor's command line: --help, --version, --paths, --port PATH, --data-dir DIR, --headless,
// --second-record on|off.
class TCommandLine {
  public:
    TCommandLine();

    // The arguments with the program's path first, as argv holds them.
    void Parse(const QStringList& arguments);

    TCommandAction Action = TCommandAction::Run;
    // --port: opens this port instead of Port0.ini's, without storing it; empty when not given.
    QString Port;
    std::optional<QString> DataDir;
    // --second-record: the switch for this headless run, instead of BaseSetpoint.ini's, not stored.
    std::optional<bool> SecondRecord;
    // Why the line was refused.
    QString Error;

    // Prints what an action other than Run and Headless asks for and gives the exit status: 0, or 2 for a
    // refused line (the reason and the usage on the error stream). The usage names the program as it was
    // called, so an application object should exist by then.
    int Answer(const TFolderChoice& folders, QTextStream& out, QTextStream& err) const;

  private:
    QCommandLineParser parser_;
};

// One "name: path" line per folder: program, config, data, records.
QString PathsText(const QString& programDir, const TFolderChoice& choice);
