#pragma once
#include <QString>

struct TSampleRec;

// What the main window shows once a second, formatted.
struct TLiveTexts {
    QString Caption;
    QString WindSpeed;
    QString Azimuth;
    QString Depression;
    QString AirTemp;
    QString SensorInfo; // status panel 1
    QString PortName;   // status panel 2 (panel 3, the records, is the monitor's)
    bool operator==(const TLiveTexts&) const = default;
};

QString MainCaption();
QString MainCaptionWithPort(const QString& portName);
// `portName`: the port the link has open, or none.
TLiveTexts MakeLiveTexts(const TSampleRec& sample, const QString& portName);
// The caption and status panels once the link has closed: as before the first poll, so a window
// whose port is gone does not pass for a live one. The value panels keep their last texts.
TLiveTexts MakeClosedPortTexts();
