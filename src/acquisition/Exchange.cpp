#include "acquisition/Exchange.h"
#include "common/NumberParse.h"
#include "link/DeviceLink.h"

TPollingPause& TPollingPause::operator=(TPollingPause&& other) noexcept {
    if (this != &other) {
        Release();
        exchange_ = std::exchange(other.exchange_, nullptr);
    }
    return *this;
}

void TPollingPause::Release() {
    if (exchange_) --std::exchange(exchange_, nullptr)->pauses_;
}

TExchange::TExchange(TDeviceLink& link) : link_(link) {
    link_.OnFrame = [this](const QString& frame) { AnswerHandler(frame); };
}

TExchange::~TExchange() {
    link_.OnFrame = nullptr;
}

TPollingPause TExchange::PausePolling() {
    ++pauses_;
    return TPollingPause(this);
}

void TExchange::ForgetAnswer() {
    response_.fill({});
    responseReceived_ = false;
}

void TExchange::Read(std::span<const QString> keys) {
    request_.fill({});
    for (size_t i = 0; i < keys.size() && i < request_.size(); ++i)
        request_[i].Key = keys[i];
    QString text;
    for (const TKeyValStr& pair : request_) {
        if (pair.Key.isEmpty()) break;
        text += pair.Key + u',';
    }
    Send(QStringLiteral("RD,") + text);
}

void TExchange::Write(std::span<const TKeyValStr> pairs) {
    request_.fill({});
    for (size_t i = 0; i < pairs.size() && i < request_.size(); ++i)
        request_[i] = pairs[i];
    int n = 0;
    while (n < PairCapacity && !request_[n].Key.isEmpty() && !request_[n].Val.isEmpty())
        ++n;
    QString text;
    BuildPairList(request_, n, text);
    Send(QStringLiteral("RW,") + text);
}

void TExchange::Send(const QString& payload) {
    ForgetAnswer();
    sent_ = true;
    link_.SendFrame(payload);
}

void TExchange::AnswerHandler(const QString& frame) {
    if (!sent_ || frame.size() < 2) return;
    const QStringView payload = QStringView(frame).sliced(1, frame.size() - 2);
    if (payload.size() < 2) return;
    const QStringView code = payload.first(2);
    if (code != u"AD" && code != u"AW") return;
    if (!responseReceived_) SplitPairs(payload.size() > 3 ? payload.sliced(3) : QStringView(), response_);
    responseReceived_ = true;
}

TVerification TExchange::Verify(const TVerifyPolicy& policy) const {
    using TSkip = TVerifyPolicy::TSkip;
    using TKind = TMismatch::TKind;
    TVerification result;
    bool anyAnswered = false;
    for (int i = 0; i < qMin(policy.Count, PairCapacity); ++i) {
        const TKeyValStr& sent = request_[i];
        const TKeyValStr& told = response_[i];
        if ((policy.Skip == TSkip::EmptyRequestKey ? sent : told).Key.isEmpty()) continue;
        anyAnswered = true;
        if (told.Key != sent.Key) {
            result.Ok = false;
            result.Mismatches.append({TKind::Key, sent, told});
            continue;
        }
        const std::optional<float> a = ParseSingle(sent.Val);
        const std::optional<float> b = ParseSingle(told.Val);
        if (!a || !b) {
            result.Mismatches.append({TKind::Unreadable, sent, told});
        } else if (*a != *b) {
            result.Ok = false;
            result.Mismatches.append({TKind::Value, sent, told});
        }
    }
    if (policy.NeedsAnswer && !anyAnswered && policy.Count != 0) result.Ok = false;
    return result;
}
