#pragma once
#include <QDateTime>
#include <QString>

// Local date and time as days since 1899-12-30, the time of day being the fraction.
using TDateTime = double;

struct TDateTimeParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, MSec = 0;
};

TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                         int msec = 0);
// Rounds to the nearest millisecond, so that a value built by EncodeDateTime decodes to its parts.
TDateTimeParts DecodeDateTime(TDateTime value);
// Whole seconds since the epoch, of the time rounded to the millisecond as the time stamps show it.
// Truncating value x 86400 itself would put a time of exactly hh:nn:ss.000 into the second before
// whenever the double lands a hair below it.
qint64 WholeSeconds(TDateTime value);

TDateTime FromQDateTime(const QDateTime& local);
QDateTime ToQDateTime(TDateTime value);

// Patterns built from yyyy, yy, mm, dd, hh, nn, ss; every other character stands for itself
// ("yyyy/mm/dd hh:nn:ss", "yyyymmdd", "_yymmddhhnn").
QString FormatDateTime(const QString& pattern, TDateTime value);
