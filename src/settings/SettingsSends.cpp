#include "settings/SettingsSends.h"
#include "acquisition/PollingCycle.h"
#include "settings/PrmAspects.h"
#include "settings/WritePrm.h"
#include "settings/WriteSequence.h"

namespace {

using TPairs = TSendPairs;

// The unlock, then the fields of step n in row order; nothing for a step no field has.
TPairs DefaultStepPairs(const TWritePrm& p, int n) {
    TPairs pairs;
    for (const TPrmAspect& a : PrmAspects())
        if (a.DefaultStep == n) pairs.append({QString::fromLatin1(a.Code), a.SendText(p)});
    if (n == 0 && !pairs.isEmpty()) pairs = TPairs{{"E91", "1"}, {"P99", WriteUnlockCode}} + pairs;
    return pairs;
}

// A correction unlocks nothing: E91 alone, then the corrected fields.
TPairs CorrectionPairs(const TWritePrm& p, std::initializer_list<const char*> codes) {
    return TPairs{{"E91", "1"}} + SendPairs(p, codes);
}

} // namespace

void TSettingsSends::AddStatusLine(const QString& text) {
    StatusLines.append(text);
    if (StatusLines.size() > StatusMemoMaxLines) StatusLines.removeFirst();
    StatusLineAdded.Notify(text);
}

void TSettingsSends::PausePolling() {
    if (!pause_.Held()) pause_ = exchange_.PausePolling();
}

void TSettingsSends::Send(const TPairs& pairs) {
    exchange_.Write(std::span(pairs.constData(), size_t(pairs.size())));
}

void TSettingsSends::SendSetInit() {
    PausePolling();
    AddStatusLine(QStringLiteral("＜設定初期化＞"));
    Send({{"E91", "1"}, {"P99", WriteUnlockCode}, {"P91", InitialisationCode}});
    verifyCount_ = 3;
}

void TSettingsSends::SendDefaultStep(int n) {
    const TPairs pairs = DefaultStepPairs(prm_, n);
    if (pairs.isEmpty()) return;
    PausePolling();
    AddStatusLine(QStringLiteral("＜デフォルト値設定＞：") + QString::number(n));
    DefaultStepSent.Notify(n);
    Send(pairs);
    verifyCount_ = int(pairs.size());
    writePending_ = true;
}

bool TSettingsSends::NextDefaultStep(bool advance, bool restart) {
    if (restart) {
        DefaultStep = 0;
    } else if (advance) {
        ++DefaultStep;
        if (polling_.CurrentFirmware()) {
            if (DefaultStep > 5) return true;
        } else {
            if (DefaultStep == 3) DefaultStep = 13;
            if (DefaultStep > 14) return true;
        }
    }
    SendDefaultStep(DefaultStep);
    return false;
}

bool TSettingsSends::CheckSetResult() {
    writePending_ = false;
    // Positional over the pairs sent; a pair the answer lacks is wrong, and so is no answer at all.
    const bool ok = exchange_.Verify({verifyCount_, TVerifyPolicy::TSkip::EmptyRequestKey, false}).Ok;
    AddStatusLine(ok ? QStringLiteral("設定OK") : QStringLiteral("設定NG"));
    return ok;
}

void TSettingsSends::SendCorrection(const QString& line, const TPairs& pairs) {
    PausePolling();
    AddStatusLine(line);
    verifyCount_ = int(pairs.size());
    writePending_ = true;
    Send(pairs);
}

void TSettingsSends::SendATRev() {
    SendCorrection(QStringLiteral("＜気温補正送信＞"), CorrectionPairs(prm_, {"E16", "E17"}));
}

void TSettingsSends::SendWDRev() {
    SendCorrection(QStringLiteral("＜風向温補正送信＞"), CorrectionPairs(prm_, {"E12", "E13", "E14", "E15"}));
}

void TSettingsSends::Send0mRev() {
    SendCorrection(QStringLiteral("＜0m/s. 補正送信＞"), CorrectionPairs(prm_, {"E01"}));
}

void TSettingsSends::SendNmRev() {
    SendCorrection(QStringLiteral("＜Nm/s. 補正送信＞"), CorrectionPairs(prm_, {"E03", "E02"}));
}
