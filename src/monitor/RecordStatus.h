#pragma once
#include <QString>

// Whether the records are being written: the failure of each record's last row, with the file (or
// folder) and the system's reason; empty while its rows land or none was tried.
struct TRecordHealth {
    QString MinuteFailure;
    QString SecondFailure;
};

// The status bar's record panel: "SR" only while the second record is on and its rows land; a short
// failure word while a record's last row failed ("REC!" the minute record, "SR!" the second
// record), with what failed and why as the detail.
struct TRecordStatus {
    QString Text;
    QString Detail;
    bool operator==(const TRecordStatus&) const = default;
};

TRecordStatus MakeRecordStatus(bool secondRecordOn, const TRecordHealth& health);
