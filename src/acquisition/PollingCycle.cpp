#include "acquisition/PollingCycle.h"
#include "acquisition/Exchange.h"
#include "acquisition/MeasurementStore.h"
#include "acquisition/SampleFields.h"
#include <QHash>
#include <array>
#include <cmath>
#include <span>

namespace {
// The code names made once: a request shares them instead of converting ten names a tick, and an
// answer's name finds its code without comparing it with thirty.
const std::array<QString, CodeCount> CodeNames = [] {
    std::array<QString, CodeCount> names;
    for (int j = 0; j < CodeCount; ++j)
        names[j] = QString::fromLatin1(CodeTable[j]);
    return names;
}();
const QHash<QString, int> CodeIndex = [] {
    QHash<QString, int> index;
    for (int j = 0; j < CodeCount; ++j)
        index.insert(CodeNames[j], j);
    return index;
}();
} // namespace

void TPollingCycle::PollStep() {
    ++GroupCounter;
    const int group = GroupCounter % GroupCount;
    const quint8 answered = exchange_.AnswerReceived() ? DecodeResponse() : 0;
    if (answered != 0) {
        answeredGroups_ |= answered;
        SilentPolls = 0;
    } else if (++SilentPolls >= GroupCount) {
        // A whole round without an answer: the sample would only repeat the last values, so it
        // stays invalid until every group has been answered again.
        answeredGroups_ = 0;
        SilentPolls = GroupCount;
    }
    exchange_.Read(std::span(CodeNames).subspan(GroupSize * group, GroupSize));
}

quint8 TPollingCycle::DecodeResponse() {
    // Matched by name, not by the request it answers; a repeated code leaves the later value.
    quint8 groups = 0;
    for (int i = 0; i < GroupSize; ++i) {
        const TKeyValStr& pair = exchange_.LastAnswer()[i];
        const auto code = CodeIndex.constFind(pair.Key);
        if (code == CodeIndex.constEnd()) continue;
        store_.StoreCodeValue(*code, pair.Val);
        groups |= quint8(1u << (*code / GroupSize));
    }
    return groups;
}

bool TPollingCycle::CountTick() {
    TickCount = (TickCount + 1) % TicksPerSecond;
    return TickCount == 0;
}

bool IsCurrentFirmware(float modelNumber, float firmwareVersion) {
    // Extended precision, so the single-precision value decides: 0.69f lies below 0.69 and gives 68.
    // Kept as long double, so a wild reported value cannot overflow an integer.
    const long double m = std::trunc(static_cast<long double>(modelNumber) * 100.0L);
    const long double v = std::trunc(static_cast<long double>(firmwareVersion) * 100.0L);
    return !(m == 1703 && v < 69);
}

void TPollingCycle::UpdateFirmwareFlag() {
    currentFirmware_ =
        IsCurrentFirmware(store_.CurrentSample.ModelNumber, store_.CurrentSample.FirmwareVersion);
}
