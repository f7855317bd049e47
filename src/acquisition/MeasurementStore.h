#pragma once
#include "common/DateTime.h"
#include <QString>
#include <QStringView>
#include <array>

// One sample of every measured value. Plain value: copied as a whole, owns nothing.
struct TSampleRec {
    TDateTime Time = 0;
    bool Valid = false;
    float Azimuth = 0;
    float Depression = 0;
    float WindSpeed = 0;
    float AirTemp = 0;
    float AirTempInternal = 0;
    float WindSpeedRaw = 0;
    float WindSpeedUncorr = 0;
    std::array<float, 4> WdTemp{};
    std::array<float, 4> WdTempDiff{};
    float TempDiff = 0;
    float VectorX = 0;
    float VectorY = 0;
    float VectorZ = 0;
    float VectorLength = 0; // no code fills it
    float CpuUse = 0;
    float SupplyVoltage = 0; // no code fills it
    qint32 AdCount = 0;
    float DaOutput = 0; // no code fills it
    std::array<float, 2> AtTemp{};
    float ModelNumber = 0;
    float FirmwareVersion = 0;
    qint32 SystemStatus = 0;
    qint32 HardwareStatus = 0;
    qint32 SoftwareStatus = 0;
    std::array<float, 4> Debug{}; // 2 and 3 have no code
};

inline constexpr int HistorySize = 1024;

// The one-second samples, index 0 the newest. A ring, so the once-a-second shift moves nothing.
class TSampleHistory {
  public:
    const TSampleRec& operator[](int k) const { return ring_[Slot(k)]; }
    TSampleRec& operator[](int k) { return ring_[Slot(k)]; }
    static constexpr int size() { return HistorySize; }
    // The oldest entry falls out and `newest` becomes index 0.
    void Push(const TSampleRec& newest) {
        head_ = (head_ + HistorySize - 1) % HistorySize;
        ring_[head_] = newest;
    }

  private:
    int Slot(int k) const { return (head_ + k) % HistorySize; }
    std::array<TSampleRec, HistorySize> ring_{};
    int head_ = 0;
};

// What the instrument reported: the current sample and the history.
struct TMeasurementStore {
    TSampleRec CurrentSample;
    TSampleHistory SampleHistory;

    // The program's creation: no wind speed, no air temperature, nothing valid.
    void ResetAtStart();
    // The value of the code at `index` of CodeTable; text that does not convert leaves the field as
    // it was, an index outside the table changes nothing.
    void StoreCodeValue(int index, QStringView text);
    void ShiftHistory(TDateTime now);
    void ClearHistory();
};
