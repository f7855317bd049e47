#pragma once
#include "link/PairList.h"
#include <array>

class TDeviceLink;

// The one request/answer channel to the instrument. Every caller (polling, settings writes,
// calibration) fills Request, sends, and looks at Response on its own next step; this layer never
// retries and has no time-out.
class TExchange {
  public:
    explicit TExchange(TDeviceLink& link) : link_(link) {}

    std::array<TKeyValStr, PairCapacity> Request{};
    std::array<TKeyValStr, PairCapacity> Response{};
    bool ResponseReceived = false;
    // Writers switch it off while their own exchanges run, so the poll neither overwrites Request
    // nor sends in between.
    bool PollingEnabled = true;

    // The program's creation: polling allowed.
    void ResetAtStart() { PollingEnabled = true; }
    void ClearRequest();
    // The link has opened: an answer that arrived before, to a request of the last session, is
    // not taken as this session's.
    void ForgetAnswer() {
        ClearResponse();
        ResponseReceived = false;
    }
    void ClearResponse();
    // "RD," and every leading non-empty key with a comma.
    void SendReadRequest();
    // "RW," and the leading complete pairs that fit in 128 characters.
    void SendWriteRequest();
    // Takes the first "AD" or "AW" answer after a send; everything else is ignored.
    void AnswerHandler(const QString& frame);
    // Positional: answer pair i against request pair i, values compared in single precision;
    // request pairs with an empty key and values that do not convert are skipped.
    bool ResponseMatches(int count) const;

  private:
    void Send(const QString& payload);

    TDeviceLink& link_;
};
