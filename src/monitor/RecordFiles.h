#pragma once
#include "common/TextFile.h"
#include <QString>
#include <QStringList>
#include <vector>

class RecordStorage;

enum class TRecordKind { Minute, Second };

// One row for a day file, formatted, with the header lines its file needs when new. A row with no
// text only makes sure the folder is there.
struct TRecordRow {
    TRecordKind Kind = TRecordKind::Minute;
    QString FileName;
    QStringList Header;
    bool LongLayout = false; // minute rows
    QString Text;
};

// The day files in the Record folder. Rows are appended (open, append, close per row); a file is
// never read back or rewritten, so a row costs the same at any hour and a crash loses at most the
// row being written. A row that cannot be written is lost without a message box; the failure, with
// the file and the system's reason, goes back to the caller, and the next row is tried anew.
class TRecordFiles {
  public:
    TRecordFiles(RecordStorage& storage, const QString& folder) : storage_(storage), folder_(folder) {}

    const QString& Folder() const { return folder_; }
    // Header lines precede the row when the file is new, and for a minute row again when the
    // layout differs from the last minute row's: a new file right after a layout change has them
    // twice. `started`, when given, tells whether the row began its file (a new day file).
    FileResult Write(const TRecordRow& row, bool* started = nullptr);
    // The rows in order, each with what Write would give it. Rows that follow each other into one
    // file go in one append; when that fails, they are written one by one, so that each has its own
    // result and those that can land do.
    struct TWritten {
        FileResult Result;
        bool StartedFile = false;
    };
    QList<TWritten> WriteAll(const std::vector<TRecordRow>& rows);

    // The layout of the last minute row that reached its file in this run. Only a row that landed
    // changes it, so that a lost row's header lines come again before the next row.
    bool LastRecordLayout = false;

  private:
    RecordStorage& storage_;
    QString folder_;
};

// [Record] SecRec in the given INI file: true when it reads as an integer other than 0 (decimal, or
// hexadecimal after "0x"); false when missing, not an integer, or the file cannot be read.
bool LoadRecordSettings(const QString& iniPath);
// Writes "1" or "0" and leaves every other section and key as it was. A file that exists but cannot
// be read is left alone rather than replaced by one holding only this key. Failures are ignored.
void SaveRecordSettings(const QString& iniPath, bool secRec);
