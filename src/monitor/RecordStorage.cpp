#include "monitor/RecordStorage.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

FileResult TFileStorage::EnsureFolder(const QString& folder) {
    if (QDir().mkpath(folder)) return {};
    // QDir keeps no reason; the last step tried again tells it (the parent missing or not writable).
    int error = ::mkdir(QFile::encodeName(folder).constData(), 0777) == 0 ? 0 : errno;
    if (error == 0 || (error == EEXIST && QFileInfo(folder).isDir())) return {};
    // Something that is not a folder stands in the way.
    if (error == EEXIST) error = ENOTDIR;
    return FileResult::Failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(folder),
                                                            QString::fromLocal8Bit(std::strerror(error))));
}

bool TFileStorage::IsNewFile(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || info.size() == 0;
}

FileResult TFileStorage::Append(const QString& path, const QStringList& lines) {
    const FileResult written = AppendLines(path, lines);
    if (written) return written;
    return FileResult::Failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), written.Error));
}
