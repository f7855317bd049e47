#pragma once
#include "common/DateTime.h"
#include <QString>

struct TSampleRec;
struct TMinuteResult;

// The day files in the Record directory. Rows are appended (open, append, close per row); a file is
// never read back or rewritten, so a row costs the same at any hour and a crash loses at most the
// row being written. A row that cannot be written is lost silently; the next row is tried anew.
class TRecordFiles {
  public:
    explicit TRecordFiles(const QString& dataDir);

    QString Directory() const { return directory_; }
    // Creates the directory and its parents if missing; a failure shows later as a lost row.
    void EnsureDirectory() const;

    // Header lines precede the row when the file is new, and again when the layout differs from
    // the last row's: a new file right after a layout change has them twice.
    bool WriteMinuteRecord(const TMinuteResult& minute, TDateTime now, bool longLayout);
    bool WriteSecondRecord(const TSampleRec& sample, const QString& portName, TDateTime now);

    // The layout of the last minute row that reached its file in this run.
    bool LastRecordLayout = false;

  private:
    QString directory_;
};

// [Record] SecRec in the given INI file: true when it reads as an integer other than 0 (decimal, or
// hexadecimal after "0x"); false when missing, not an integer, or the file cannot be read.
bool LoadRecordSettings(const QString& iniPath);
// Writes "1" or "0" and leaves every other section and key as it was. A file that exists but cannot
// be read is left alone rather than replaced by one holding only this key. Failures are ignored.
void SaveRecordSettings(const QString& iniPath, bool secRec);
