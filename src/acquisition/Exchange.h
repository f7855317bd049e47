#pragma once
#include "link/PairList.h"
#include <QList>
#include <array>
#include <span>
#include <utility>

class TDeviceLink;
class TExchange;

using TPairTable = std::array<TKeyValStr, PairCapacity>;

// How an answer is judged against the request it answers, position by position over the first
// Count pairs; values are compared in single precision and a value that does not convert on either
// side is not compared.
struct TVerifyPolicy {
    // Which empty key leaves a position out: the request's (a shorter request; a pair the answer
    // lacks is then a wrong key), or the answer's (a pair the answer lacks is not compared).
    enum class TSkip { EmptyRequestKey, EmptyAnswerKey };

    int Count = 0;
    TSkip Skip = TSkip::EmptyRequestKey;
    // An answer that carries none of the compared pairs confirms nothing (unless Count is 0).
    bool NeedsAnswer = false;
};

struct TMismatch {
    // Unreadable is a finding, not a failure: the position's values are not compared.
    enum class TKind { Key, Value, Unreadable };

    TKind Kind;
    TKeyValStr Sent;
    TKeyValStr Told;
    bool operator==(const TMismatch&) const = default;
};

struct TVerification {
    bool Ok = true;
    // In request order.
    QList<TMismatch> Mismatches;
};

// Polling stays off while any of these is held. Each holder has its own, so no one can end another
// holder's pause; it ends at Release() or when the token goes. The exchange must outlive it.
class TPollingPause {
  public:
    TPollingPause() = default;
    TPollingPause(TPollingPause&& other) noexcept : exchange_(std::exchange(other.exchange_, nullptr)) {}
    TPollingPause& operator=(TPollingPause&& other) noexcept;
    TPollingPause(const TPollingPause&) = delete;
    TPollingPause& operator=(const TPollingPause&) = delete;
    ~TPollingPause() { Release(); }

    bool Held() const { return exchange_ != nullptr; }
    void Release();

  private:
    friend class TExchange;
    explicit TPollingPause(TExchange* exchange) : exchange_(exchange) {}

    TExchange* exchange_ = nullptr;
};

// The one request/answer channel to the instrument. Every caller (polling, settings writes,
// calibration) sends through it and looks at the answer on its own next step; this layer never
// retries and has no time-out. It takes every frame the link receives from its construction on,
// keeping the first "AD" or "AW" answer after each send.
class TExchange {
  public:
    explicit TExchange(TDeviceLink& link);
    ~TExchange();
    TExchange(const TExchange&) = delete;
    TExchange& operator=(const TExchange&) = delete;

    // "RD," and every leading non-empty key with a comma.
    void Read(std::span<const QString> keys);
    // "RW," and the leading complete pairs that fit in 128 characters.
    void Write(std::span<const TKeyValStr> pairs);

    // The request last sent, and what answered it (empty pairs until the answer arrives).
    const TPairTable& LastRequest() const { return request_; }
    const TPairTable& LastAnswer() const { return response_; }
    bool AnswerReceived() const { return responseReceived_; }
    // The last answer against the last request.
    TVerification Verify(const TVerifyPolicy& policy) const;

    // Whoever sends in a series of its own holds one, so the poll neither replaces its request nor
    // sends in between.
    [[nodiscard]] TPollingPause PausePolling();
    bool PollingAllowed() const { return pauses_ == 0; }

    // The link has opened: an answer that arrived before, to a request of the last session, is
    // not taken as this session's.
    void ForgetAnswer();

  private:
    friend class TPollingPause;

    void Send(const QString& payload);
    void AnswerHandler(const QString& frame);

    TDeviceLink& link_;
    TPairTable request_{};
    TPairTable response_{};
    bool responseReceived_ = false;
    // Nothing is taken before the first send: there is nothing an answer could answer.
    bool sent_ = false;
    int pauses_ = 0;
};
