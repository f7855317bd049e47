#pragma once
#include "common/TextFile.h"
#include <QString>
#include <QStringList>

// Where record rows go. The program's is the file system; a test's or a benchmark's may be slow,
// hang or fail, as a network share or a USB stick does.
class RecordStorage {
  public:
    virtual ~RecordStorage() = default;
    // Creates the folder and its parents if missing; a failure names the folder and why.
    virtual FileResult EnsureFolder(const QString& folder) = 0;
    // Missing, or holding nothing: such a file gets its header lines first.
    virtual bool IsNewFile(const QString& path) = 0;
    // A failure names the file and the system's reason; the file is then as it was.
    virtual FileResult Append(const QString& path, const QStringList& lines) = 0;
};

class TFileStorage final : public RecordStorage {
  public:
    FileResult EnsureFolder(const QString& folder) override;
    bool IsNewFile(const QString& path) override;
    FileResult Append(const QString& path, const QStringList& lines) override;
};
