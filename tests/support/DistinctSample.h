#pragma once
#include "acquisition/MeasurementStore.h"

// A sample in which every value differs: base + 1, base + 2, ... in member order (the integers
// truncated), so that a row shows which value stands in which column.
inline TSampleRec DistinctSample(float base) {
    TSampleRec s;
    float v = base;
    const auto next = [&] { return v += 1; };
    for (float* f : {&s.Azimuth, &s.Depression, &s.WindSpeed, &s.AirTemp, &s.AirTempInternal, &s.WindSpeedRaw,
                     &s.WindSpeedUncorr})
        *f = next();
    for (float& f : s.WdTemp)
        f = next();
    for (float& f : s.WdTempDiff)
        f = next();
    for (float* f :
         {&s.TempDiff, &s.VectorX, &s.VectorY, &s.VectorZ, &s.VectorLength, &s.CpuUse, &s.SupplyVoltage})
        *f = next();
    s.AdCount = qint32(next());
    s.DaOutput = next();
    for (float& f : s.AtTemp)
        f = next();
    s.ModelNumber = next();
    s.FirmwareVersion = next();
    for (qint32* i : {&s.SystemStatus, &s.HardwareStatus, &s.SoftwareStatus})
        *i = qint32(next());
    for (float& f : s.Debug)
        f = next();
    return s;
}

// Entries 1 and 0 of a history both hold `s`, valid and stamped `t`: an export shows entry 1.
inline TSampleHistory HistoryOf(TSampleRec s, TDateTime t) {
    TSampleHistory history;
    s.Valid = true;
    s.Time = t;
    history.Push(s);
    history.Push(s);
    return history;
}
