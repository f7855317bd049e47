#include "monitor/RecordFiles.h"
#include "common/IniFile.h"
#include "common/TextFile.h"
#include "monitor/RecordRows.h"
#include <QDir>
#include <QFileInfo>

namespace {

// A file that exists but holds nothing gets its header lines as a new one does.
bool IsNewFile(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || info.size() == 0;
}

} // namespace

TRecordFiles::TRecordFiles(const QString& dataDir)
    : directory_(QDir(dataDir).filePath(QStringLiteral("Record"))) {}

void TRecordFiles::EnsureDirectory() const {
    QDir().mkpath(directory_);
}

bool TRecordFiles::WriteMinuteRecord(const TMinuteResult& minute, TDateTime now, bool longLayout) {
    const QString path = QDir(directory_).filePath(MinuteRecordFileName(now));
    QStringList lines;
    if (IsNewFile(path)) lines << MinuteRecordHeader(longLayout);
    if (longLayout != LastRecordLayout) lines << MinuteRecordHeader(longLayout);
    lines << MinuteRecordRow(minute, now, longLayout);
    // Only a row that landed changes the layout on record, so that a lost row's header lines
    // come again before the next row.
    if (!AppendLines(path, lines)) return false;
    LastRecordLayout = longLayout;
    return true;
}

bool TRecordFiles::WriteSecondRecord(const TSampleRec& sample, const QString& portName, TDateTime now) {
    const QString path = QDir(directory_).filePath(SecondRecordFileName(portName, now));
    QStringList lines;
    if (IsNewFile(path)) lines << SecondRecordHeader(portName);
    lines << SecondRecordRow(sample, now);
    return bool(AppendLines(path, lines));
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
