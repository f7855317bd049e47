#pragma once
#include "acquisition/MeasurementStore.h"
#include "common/TextFile.h"
#include <QString>
#include <QStringList>
#include <optional>

// Whether a serial number can stand in a file name of the data folder: no "/" or "\", no
// character a Windows file name cannot hold, no control character, not "." or "..". Empty is allowed.
bool IsFileNameSafeSerialNo(const QString& serialNo);

// dir + serialNo + start as "_yymmddhhnn" + suffix; nothing when the serial number is not safe,
// so no file can land outside that folder.
std::optional<QString> CalFilePath(const QString& dir, const QString& serialNo, TDateTime calStart,
                                   const QString& suffix);

// The work file's lines: two header lines, then the history from entry 1023 down to 1 (entries with a
// time), the newest sample left out.
QStringList CalCsvLines(const TSampleHistory& history);
// Written whole and atomically; a character CP932 cannot hold fails the write.
FileResult WriteCalCsv(const QString& path, const TSampleHistory& history);
