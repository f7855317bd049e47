#include "acquisition/MeasurementStore.h"
#include "common/NumberParse.h"
#include <variant>

namespace {
using FieldRef = std::variant<float*, qint32*>;

// The field each code of CodeTable fills, by decode index.
FieldRef FieldFor(TSampleRec& s, int index) {
    switch (index) {
    case 0:
        return &s.WindSpeed;
    case 1:
        return &s.Azimuth;
    case 2:
        return &s.Depression;
    case 3:
        return &s.VectorX;
    case 4:
        return &s.VectorY;
    case 5:
        return &s.VectorZ;
    case 6:
        return &s.AirTemp;
    case 7:
        return &s.WindSpeedRaw;
    case 8:
        return &s.AirTempInternal;
    case 9:
    case 10:
    case 11:
    case 12:
        return &s.WdTemp[index - 9];
    case 13:
    case 14:
    case 15:
    case 16:
        return &s.WdTempDiff[index - 13];
    case 17:
        return &s.CpuUse;
    case 18:
        return &s.WindSpeedUncorr;
    case 19:
        return &s.AdCount;
    case 20:
        return &s.ModelNumber;
    case 21:
        return &s.FirmwareVersion;
    case 22:
        return &s.SystemStatus;
    case 23:
        return &s.HardwareStatus;
    case 24:
        return &s.SoftwareStatus;
    case 25:
    case 26:
        return &s.AtTemp[index - 25];
    case 27:
        return &s.TempDiff;
    case 28:
    case 29:
        return &s.Debug[index - 28];
    default:
        return static_cast<float*>(nullptr);
    }
}
} // namespace

void TMeasurementStore::StoreCodeValue(int index, QStringView text) {
    const FieldRef field = FieldFor(CurrentSample, index);
    if (auto f = std::get_if<float*>(&field)) {
        if (!*f) return;
        if (auto v = ParseSingle(text)) **f = *v;
    } else if (auto i = std::get_if<qint32*>(&field)) {
        if (auto v = ParseTruncatedInt(text)) **i = *v;
    }
}

void TMeasurementStore::ResetAtStart() {
    CurrentSample.AirTemp = 0;
    CurrentSample.WindSpeed = 0;
    CurrentSample.Valid = false;
}

void TMeasurementStore::ShiftHistory(TDateTime now) {
    SampleHistory.Push(CurrentSample);
    // An entry that is no measurement keeps its time but is neither plotted nor counted.
    SampleHistory[0].Time = now;
}

void TMeasurementStore::ClearHistory() {
    for (int k = 0; k < HistorySize; ++k) {
        TSampleRec& e = SampleHistory[k];
        e.Time = 0;
        e.Valid = false;
        e.WindSpeed = 0;
        e.AirTemp = 0;
    }
}
