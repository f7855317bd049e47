#pragma once
#include <QtGlobal>

class TExchange;
struct TMeasurementStore;

// The rotation of read requests: one group of ten codes per poll, three groups, each code every
// 600 ms. The answer decoded at a poll is whatever arrived first after the previous poll's send.
class TPollingCycle {
  public:
    TPollingCycle(TExchange& exchange, TMeasurementStore& store) : exchange_(exchange), store_(store) {}

    static constexpr int GroupSize = 10;
    static constexpr int TicksPerSecond = 5;

    // Wraps from 255 to 0, so group 0 is asked twice in a row at the wrap.
    quint8 GroupCounter = 0;
    // Polling ticks within the current second, 0 to 4; a pause keeps it.
    int TickCount = 0;
    // Polls in a row that decoded nothing; a whole round of them means the instrument is silent.
    int SilentPolls = 0;

    // The current sample is a measurement: every group has been answered since the link opened (or
    // since the instrument last fell silent), and answers keep coming. Otherwise it holds zeros
    // from start-up or values from before a pause, which must not pass for a measurement.
    bool SampleCurrent() const { return answeredGroups_ == AllGroups; }
    // The link has opened: what the sample holds is not from this instrument session.
    void LinkOpened() {
        answeredGroups_ = 0;
        SilentPolls = 0;
    }
    // Decode the previous answer, then ask for the next group.
    void PollStep();
    // Counts one polling tick; true when it completes a second.
    bool CountTick();
    // Sensor model 17.03 before firmware 0.69 is the old firmware. Judged once a second, from the
    // sample as it then stands; the old firmware takes another series of default values.
    void UpdateFirmwareFlag();
    bool CurrentFirmware() const { return currentFirmware_; }

  private:
    static constexpr int GroupCount = 3;
    static constexpr quint8 AllGroups = (1u << GroupCount) - 1;

    // The groups whose codes the answer carried.
    quint8 DecodeResponse();

    TExchange& exchange_;
    TMeasurementStore& store_;
    quint8 answeredGroups_ = 0;
    bool currentFirmware_ = false;
};

// The flag's arithmetic on its own: the single-precision values times 100, truncated.
bool IsCurrentFirmware(float modelNumber, float firmwareVersion);
