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
    // An answer has been decoded since the link last opened. Until then the current sample holds
    // nothing the instrument said (zeros after start-up, old values after a pause), and must not
    // pass for a measurement in the records.
    bool AnswerDecoded = false;

    // The link has opened: what the sample holds is not from this instrument session.
    void LinkOpened() { AnswerDecoded = false; }
    // Decode the previous answer, then ask for the next group.
    void PollStep();
    // Counts one polling tick; true when it completes a second.
    bool CountTick();
    // Sensor model 17.03 before firmware 0.69 is the old firmware.
    void UpdateFirmwareFlag();

  private:
    void DecodeResponse();

    TExchange& exchange_;
    TMeasurementStore& store_;
};

// The flag's arithmetic on its own: the single-precision values times 100, truncated.
bool IsCurrentFirmware(float modelNumber, float firmwareVersion);
