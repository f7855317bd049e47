#pragma once
#include "common/DateTime.h"
#include <QString>
#include <QStringList>

struct TSampleRec;
struct TMinuteResult;
class TSampleHistory;

// The texts of the record files and the exports, built without touching a file: samples in, lines
// out. Every data row ends in a comma after its last value.

// Minute record: the short layout, or the long one in service mode.
QStringList MinuteRecordHeader(bool longLayout);
QString MinuteRecordRow(const TMinuteResult& minute, TDateTime closedAt, bool longLayout);
QString MinuteRecordFileName(TDateTime now);

// Second record: the header names the port as the status record has it; the file name only its
// last path component, made safe (see SecondRecordPortPart).
QStringList SecondRecordHeader(const QString& portName);
QString SecondRecordRow(const TSampleRec& sample, TDateTime now);
QString SecondRecordFileName(const QString& portName, TDateTime now);
// "/dev/ttyUSB0" gives "ttyUSB0", "COM7" stays: the last component, any character that cannot stand
// in a file name replaced by "_", so a port name can never lead a row outside the record directory.
QString SecondRecordPortPart(const QString& portName);

// The exports of the history: entries 1023 down to 1, oldest first, skipping entries never filled.
enum class TExportKind { ShortLog, PlotData };
QStringList ExportLines(const TSampleHistory& history, TExportKind kind);
