#include "monitor/RecordFiles.h"
#include "common/IniFile.h"
#include "common/TextFile.h"
#include "monitor/RecordRows.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// A file that exists but holds nothing gets its header lines as a new one does.
bool IsNewFile(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || info.size() == 0;
}

} // namespace

TRecordFiles::TRecordFiles(const QString& programDir)
    : directory_(QDir(programDir).filePath(QStringLiteral("Record"))) {}

FileResult TRecordFiles::EnsureDirectory() const {
    if (QDir().mkpath(directory_)) return {};
    // QDir keeps no reason; the last step tried again tells it (the parent missing or not writable).
    int error = ::mkdir(QFile::encodeName(directory_).constData(), 0777) == 0 ? 0 : errno;
    if (error == 0 || (error == EEXIST && QFileInfo(directory_).isDir())) return {};
    // Something that is not a folder stands in the way.
    if (error == EEXIST) error = ENOTDIR;
    return FileResult::Failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(directory_),
                                                            QString::fromLocal8Bit(std::strerror(error))));
}

namespace {

FileResult Append(const QString& path, const QStringList& lines) {
    const FileResult written = AppendLines(path, lines);
    if (written) return written;
    return FileResult::Failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), written.Error));
}

} // namespace

FileResult TRecordFiles::WriteMinuteRecord(const TMinuteResult& minute, TDateTime now, bool longLayout) {
    const QString path = QDir(directory_).filePath(MinuteRecordFileName(now));
    QStringList lines;
    if (IsNewFile(path)) lines << MinuteRecordHeader(longLayout);
    if (longLayout != LastRecordLayout) lines << MinuteRecordHeader(longLayout);
    lines << MinuteRecordRow(minute, now, longLayout);
    // Only a row that landed changes the layout on record, so that a lost row's header lines
    // come again before the next row.
    const FileResult written = Append(path, lines);
    if (written) LastRecordLayout = longLayout;
    return written;
}

FileResult TRecordFiles::WriteSecondRecord(const TSampleRec& sample, const QString& portName, TDateTime now) {
    const QString path = QDir(directory_).filePath(SecondRecordFileName(portName, now));
    QStringList lines;
    if (IsNewFile(path)) lines << SecondRecordHeader(portName);
    lines << SecondRecordRow(sample, now);
    return Append(path, lines);
}

namespace {
const QString Section = QStringLiteral("Record");
const QString Key = QStringLiteral("SecRec");
} // namespace

bool LoadRecordSettings(const QString& iniPath) {
    IniFile ini;
    if (!ini.Load(iniPath)) return false;
    const QString text = ini.ReadString(Section, Key, QString()).trimmed();
    bool ok = false;
    const qint64 value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                             ? text.mid(2).toLongLong(&ok, 16)
                             : text.toLongLong(&ok, 10);
    return ok && value != 0;
}

void SaveRecordSettings(const QString& iniPath, bool secRec) {
    IniFile ini;
    if (!ini.Load(iniPath)) return;
    ini.WriteBool(Section, Key, secRec);
    (void)ini.Save(iniPath);
}
