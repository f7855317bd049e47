#include "common/ProgramFolders.h"
#include "common/ProgramDir.h"
#include "common/ProgramInfo.h"
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

QString TProgramFolders::RecordDir() const {
    return QDir(Data).filePath(QStringLiteral("Record"));
}

TFolderChoice ChooseFolders(const TFolderSituation& s) {
    if (s.DataDir) return {TFolderLayout::DataDir, QDir::cleanPath(*s.DataDir)};
    if (s.ProgramDirWritable) return {TFolderLayout::Portable, QDir::cleanPath(s.ProgramDir)};
    return {TFolderLayout::PerUser,
            {QDir(s.ConfigHome).filePath(ProgramName), QDir(s.DataHome).filePath(ProgramName)}};
}

namespace {
bool UnderUsr(const QString& dir) {
    const QString clean = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    return clean == QLatin1String("/usr") || clean.startsWith(QLatin1String("/usr/"));
}

// The system's reason when the folder cannot be written, or nothing.
std::optional<QString> WriteRefusal(const QString& dir) {
    if (::access(QFile::encodeName(dir).constData(), W_OK | X_OK) == 0) return std::nullopt;
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

bool ProgramDirWritable(const QString& dir) {
    return !UnderUsr(dir) && !WriteRefusal(dir);
}

TFolderSituation CurrentFolderSituation(const std::optional<QString>& dataDir) {
    TFolderSituation s;
    s.ProgramDir = ProgramDir();
    s.ProgramDirWritable = ProgramDirWritable(s.ProgramDir);
    if (dataDir) s.DataDir = QFileInfo(*dataDir).absoluteFilePath();
    s.ConfigHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    s.DataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return s;
}

std::optional<QString> PrepareFolders(const TFolderChoice& choice) {
    if (choice.Layout == TFolderLayout::Portable) return std::nullopt;
    for (const QString& dir : {choice.Folders.Config, choice.Folders.Data}) {
        std::error_code error;
        std::filesystem::create_directories(QFile::encodeName(dir).toStdString(), error);
        if (error)
            return QStringLiteral("cannot create %1: %2").arg(dir, QString::fromLocal8Bit(error.message()));
        if (const std::optional<QString> reason = WriteRefusal(dir))
            return QStringLiteral("cannot write in %1: %2").arg(dir, *reason);
    }
    return std::nullopt;
}
