#pragma once
#include "common/TextFile.h"
#include <QString>
#include <QStringList>
#include <memory>

// INI access with section and key names compared without regard to case; every section and key
// that is not written keeps its place and text. Values are CP932 in the file.
class IniFile {
  public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // A missing file loads as empty and reports success with Exists() false.
    FileResult Load(const QString& path);
    bool Exists() const { return exists_; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // Values that do not convert give the default.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    // Replaces the value in place, or appends the key to its section (the section to the file).
    // A value with a character CP932 cannot hold is not written, and the next Save fails saying so.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    QByteArray ToBytes() const; // "key=value" lines ended by CR LF
    // Atomic: a failed save leaves the old file whole.
    FileResult Save(const QString& path) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    bool exists_ = false;
    QString encodingError_;
};
