#include "acquisition/Exchange.h"
#include "common/NumberParse.h"
#include "link/DeviceLink.h"

void TExchange::ClearRequest() {
    Request.fill({});
}

void TExchange::ClearResponse() {
    Response.fill({});
}

void TExchange::SendReadRequest() {
    QString text;
    for (const TKeyValStr& pair : Request) {
        if (pair.Key.isEmpty()) break;
        text += pair.Key + u',';
    }
    Send(QStringLiteral("RD,") + text);
}

void TExchange::SendWriteRequest() {
    int n = 0;
    while (n < PairCapacity && !Request[n].Key.isEmpty() && !Request[n].Val.isEmpty())
        ++n;
    QString text;
    BuildPairList(Request, n, text);
    Send(QStringLiteral("RW,") + text);
}

void TExchange::Send(const QString& payload) {
    ResponseReceived = false;
    ClearResponse();
    link_.OnFrame = [this](const QString& frame) { AnswerHandler(frame); };
    link_.SendFrame(payload);
}

void TExchange::AnswerHandler(const QString& frame) {
    if (frame.size() < 2) return;
    const QStringView payload = QStringView(frame).sliced(1, frame.size() - 2);
    if (payload.size() < 2) return;
    const QStringView code = payload.first(2);
    if (code != u"AD" && code != u"AW") return;
    if (!ResponseReceived) SplitPairs(payload.size() > 3 ? payload.sliced(3) : QStringView(), Response);
    ResponseReceived = true;
}

bool TExchange::ResponseMatches(int count) const {
    bool result = true;
    for (int i = 0; i < qMin(count, PairCapacity); ++i) {
        const TKeyValStr& asked = Request[i];
        if (asked.Key.isEmpty()) continue;
        const TKeyValStr& told = Response[i];
        if (told.Key != asked.Key) {
            result = false;
            continue;
        }
        const std::optional<float> a = ParseSingle(asked.Val);
        const std::optional<float> b = ParseSingle(told.Val);
        if (a && b && *a != *b) result = false;
    }
    return result;
}
