#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// Outcome of a file operation; `Error` carries the operating system's reason.
struct [[nodiscard]] FileResult {
    bool Ok = true;
    QString Error;
    explicit operator bool() const { return Ok; }
    static FileResult Failure(QString reason) { return {false, std::move(reason)}; }
};

// What becomes of a character that CP932 cannot hold: "?" in its place (files the program keeps
// for itself), or a failure that names it (files the user saves, who must not lose a character
// unknowingly).
enum class TUnmappable { Replace, Refuse };

// A conversion's result. `Error` is set when the converter cannot be had, or when a character
// could not be converted under TUnmappable::Refuse; `Bytes` is then not to be used.
struct [[nodiscard]] TCp932Bytes {
    QByteArray Bytes;
    int Replaced = 0; // characters written as "?"
    QString Error;
    bool Ok() const { return Error.isEmpty(); }
};
struct [[nodiscard]] TCp932Text {
    QString Text;
    int Replaced = 0; // bytes that start no character, read as "?"
    QString Error;
    bool Ok() const { return Error.isEmpty(); }
};

TCp932Bytes ToCp932(const QString& text, TUnmappable mode = TUnmappable::Replace);
TCp932Text FromCp932(const QByteArray& bytes);

// Text files of the program: CP932, every line ended by CR LF, no byte-order mark.
TCp932Bytes EncodeLines(const QStringList& lines, TUnmappable mode = TUnmappable::Replace);
// Appends (creating the file if needed): one open-append-close per call. Record rows: a character
// CP932 cannot hold is written as "?". A failed append leaves the file as it was (what a short write
// put there is cut off again). A last line without its end is what a crash inside an append leaves:
// it is cut off before the new lines, unless it only lacks its LF or is longer than any row.
FileResult AppendLines(const QString& path, const QStringList& lines);
// Replaces the whole file atomically: on failure the old file is left whole.
FileResult ReplaceFile(const QString& path, const QStringList& lines,
                       TUnmappable mode = TUnmappable::Replace);
FileResult ReplaceFileBytes(const QString& path, const QByteArray& bytes);
// Reads a CP932 text file; CR LF, LF and CR all end lines.
FileResult ReadLines(const QString& path, QStringList& lines);
