#pragma once
#include <QString>
#include <optional>

// Where the program keeps its files.
struct TProgramFolders {
    TProgramFolders() = default;
    // One folder for everything: beside the executable, --data-dir, and the tests' scratch folders.
    TProgramFolders(const QString& folder) : Config(folder), Data(folder) {}
    TProgramFolders(QString config, QString data) : Config(std::move(config)), Data(std::move(data)) {}

    // Port0.ini and BaseSetpoint.ini.
    QString Config;
    // The Record folder, DefaultPrm.krv, the calibration's work and setpoint files, and the folder
    // the setpoint dialogs start in.
    QString Data;

    QString RecordDir() const;
};

// Beside the executable; the per-user folders of the XDG rules; the one folder given by --data-dir.
enum class TFolderLayout { Portable, PerUser, DataDir };

// What the choice depends on, read from the system by CurrentFolderSituation().
struct TFolderSituation {
    QString ProgramDir;
    bool ProgramDirWritable = false;
    std::optional<QString> DataDir;
    // The user's base folders for configuration and data (~/.config, ~/.local/share).
    QString ConfigHome;
    QString DataHome;
};

struct TFolderChoice {
    TFolderLayout Layout = TFolderLayout::Portable;
    TProgramFolders Folders;
};

// --data-dir first; then beside the executable where that folder can be written, so an existing
// installation keeps its files; otherwise krv-monitor under the user's XDG folders.
TFolderChoice ChooseFolders(const TFolderSituation& situation);

// Whether the program may keep its files in its own folder: the user can write it (by access(2),
// which is honest for root: only a read-only file system refuses root), and it is not under /usr,
// where a package's files live and even root must not add its own.
bool ProgramDirWritable(const QString& dir);

// The situation of this process: the executable's folder, the XDG locations, --data-dir made
// absolute.
TFolderSituation CurrentFolderSituation(const std::optional<QString>& dataDir);

// Creates the chosen folders where they are missing (the portable layout needs none) and checks
// that they can be written. The reason why not, or nothing.
std::optional<QString> PrepareFolders(const TFolderChoice& choice);
