#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// Outcome of a file operation; `Error` carries the operating system's reason.
struct FileResult {
    bool Ok = true;
    QString Error;
    explicit operator bool() const { return Ok; }
    static FileResult Failure(QString reason) { return {false, std::move(reason)}; }
};

// CP932 conversion. Characters that CP932 cannot hold become "?".
QByteArray ToCp932(const QString& text);
QString FromCp932(const QByteArray& bytes);

// Text files of the program: CP932, every line ended by CR LF, no byte-order mark.
QByteArray EncodeLines(const QStringList& lines);
// Appends (creating the file if needed): one open-append-close per call.
FileResult AppendLines(const QString& path, const QStringList& lines);
// Replaces the whole file atomically: on failure the old file is left whole.
FileResult ReplaceFile(const QString& path, const QStringList& lines);
FileResult ReplaceFileBytes(const QString& path, const QByteArray& bytes);
// Reads a CP932 text file; CR LF, LF and CR all end lines.
FileResult ReadLines(const QString& path, QStringList& lines);
