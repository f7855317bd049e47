#include "acquisition/LiveTexts.h"
#include "acquisition/MeasurementStore.h"
#include "common/NumberFormat.h"
#include "common/ProgramStatus.h"

QString MainCaption() {
    return QStringLiteral("KRV-series monitor. Ver.") + VersionText;
}

QString MainCaptionWithPort(const QString& portName) {
    return portName + QStringLiteral(" | ") + MainCaption();
}

TLiveTexts MakeLiveTexts(const TSampleRec& sample, const QString& portName) {
    TLiveTexts t;
    t.Caption = MainCaptionWithPort(portName);
    t.WindSpeed = FormatPrintf("%1.3f m/s.", double(sample.WindSpeed));
    // No degree sign once refreshed, unlike the initial "000 °".
    t.Azimuth = FormatPrintf("%3.0f", double(sample.Azimuth));
    t.Depression = FormatPrintf("%3.0f", double(sample.Depression));
    t.AirTemp = FormatPrintf("%1.1f ℃", double(sample.AirTemp));
    t.SensorInfo = FormatPrintf("Sensor Model %1.2f", double(sample.ModelNumber)) +
                   FormatPrintf(" | Ver. %1.2f", double(sample.FirmwareVersion));
    t.PortName = portName;
    return t;
}

TLiveTexts MakeClosedPortTexts() {
    TLiveTexts t;
    t.Caption = MainCaption();
    return t;
}
