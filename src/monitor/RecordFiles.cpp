#include "monitor/RecordFiles.h"
#include "common/IniFile.h"
#include "monitor/RecordStorage.h"
#include <QDir>

FileResult TRecordFiles::Write(const TRecordRow& row, bool* started) {
    if (started) *started = false;
    if (row.Text.isEmpty()) return storage_.EnsureFolder(folder_);
    const QString path = QDir(folder_).filePath(row.FileName);
    const bool minute = row.Kind == TRecordKind::Minute;
    QStringList lines;
    const bool isNew = storage_.IsNewFile(path);
    // A file that is there has its folder; only a new one may need the folder made.
    if (isNew) {
        if (const FileResult folder = storage_.EnsureFolder(folder_); !folder) return folder;
        lines << row.Header;
    }
    if (minute && row.LongLayout != LastRecordLayout) lines << row.Header;
    lines << row.Text;
    const FileResult written = storage_.Append(path, lines);
    if (written && minute) LastRecordLayout = row.LongLayout;
    if (started) *started = written && isNew;
    return written;
}

QList<TRecordFiles::TWritten> TRecordFiles::WriteAll(const std::vector<TRecordRow>& rows) {
    QList<TWritten> written;
    written.reserve(qsizetype(rows.size()));
    const auto one = [&](const TRecordRow& row) {
        TWritten w;
        w.Result = Write(row, &w.StartedFile);
        written << w;
    };
    for (size_t first = 0; first < rows.size();) {
        size_t end = first + 1;
        const auto joins = [&](const TRecordRow& row) {
            return !row.Text.isEmpty() && row.Kind == rows[first].Kind &&
                   row.FileName == rows[first].FileName;
        };
        if (!rows[first].Text.isEmpty())
            while (end < rows.size() && joins(rows[end]))
                ++end;
        if (end - first == 1) {
            one(rows[first++]);
            continue;
        }
        const QString path = QDir(folder_).filePath(rows[first].FileName);
        const bool isNew = storage_.IsNewFile(path);
        if (const FileResult folder = isNew ? storage_.EnsureFolder(folder_) : FileResult{}; !folder) {
            for (; first < end; ++first)
                written << TWritten{folder};
            continue;
        }
        QStringList lines;
        if (isNew) lines << rows[first].Header;
        bool layout = LastRecordLayout;
        for (size_t k = first; k < end; ++k) {
            if (rows[k].Kind == TRecordKind::Minute && rows[k].LongLayout != layout) lines << rows[k].Header;
            layout = rows[k].LongLayout;
            lines << rows[k].Text;
        }
        if (storage_.Append(path, lines)) {
            if (rows[first].Kind == TRecordKind::Minute) LastRecordLayout = layout;
            for (bool started = isNew; first < end; ++first, started = false)
                written << TWritten{FileResult{}, started};
        } else {
            for (; first < end; ++first)
                one(rows[first]);
        }
    }
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
