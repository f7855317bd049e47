#pragma once
#include "common/TextFile.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>

// One section as the file holds it: its name and its keys with their values (CP932 bytes), in the
// order of the file.
struct TIniSection {
    QByteArray Name;
    QList<std::pair<QByteArray, QByteArray>> Keys;
    bool operator==(const TIniSection&) const = default;
};

// INI access with section and key names compared without regard to case; every section and key
// that is not written keeps its place and text. Values are CP932 in the file.
class IniFile {
  public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // A missing file loads as empty and reports success with Exists() false. A file that exists
    // but is no INI text that can be read whole fails, and so is never saved over: one holding a
    // NUL byte (binary, UTF-16 or UTF-32 text) or a byte no CP932 text has (0xFD to 0xFF, as in a
    // UTF-16 byte-order mark), one with a line that starts a section name but lacks its "]", one
    // whose section or key name would run over a line end.
    FileResult Load(const QString& path);
    bool Exists() const { return exists_; }

    // Every section, the one of keys before the first header (named "") included when it has any.
    QList<TIniSection> Sections() const;

    bool HasKey(const QString& section, const QString& key) const;
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
    bool fileComment_ = false; // the loaded file starts with comment lines
    QString encodingError_;
};
