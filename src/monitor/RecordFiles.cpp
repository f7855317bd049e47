#include "monitor/RecordFiles.h"
#include "common/IniFile.h"
#include "monitor/RecordStorage.h"
#include <QDir>

FileResult TRecordFiles::Write(const TRecordRow& row, bool* started) {
    if (started) *started = false;
    const FileResult folder = storage_.EnsureFolder(folder_);
    if (!folder || row.Text.isEmpty()) return folder;
    const QString path = QDir(folder_).filePath(row.FileName);
    const bool minute = row.Kind == TRecordKind::Minute;
    QStringList lines;
    const bool isNew = storage_.IsNewFile(path);
    if (isNew) lines << row.Header;
    if (minute && row.LongLayout != LastRecordLayout) lines << row.Header;
    lines << row.Text;
    const FileResult written = storage_.Append(path, lines);
    if (written && minute) LastRecordLayout = row.LongLayout;
    if (started) *started = written && isNew;
    return written;
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
