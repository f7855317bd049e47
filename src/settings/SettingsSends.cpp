#include "settings/SettingsSends.h"
#include "acquisition/PollingCycle.h"
#include "common/NumberFormat.h"
#include "settings/WritePrm.h"
#include "settings/WriteSequence.h"

namespace {

using TPairs = QList<TKeyValStr>;

QString F(const char* format, float value) {
    return FormatPrintf(format, double(value));
}

// Keys P(2k+1), P(2k+2) carry RevDiv[k], RevVal[k].
TPairs TablePairs(const TWritePrm& p, int first, int count) {
    TPairs pairs;
    for (int k = first; k < first + count; ++k) {
        pairs.append({QStringLiteral("P%1").arg(2 * k + 1, 2, 10, QChar(u'0')), F("%1.2f", p.RevDiv[k])});
        pairs.append({QStringLiteral("P%1").arg(2 * k + 2, 2, 10, QChar(u'0')), F("%1.2f", p.RevVal[k])});
    }
    return pairs;
}

TPairs DefaultStepPairs(const TWritePrm& p, int n) {
    switch (n) {
    case 0:
        return {{"E91", "1"},
                {"P99", WriteUnlockCode},
                {"E01", F("%1.2f", p.DifT0m)},
                {"E02", F("%1.2f", p.AdjWS)},
                {"E03", F("%1.2f", p.AdjDifT)},
                {"E04", F("%1.3f", p.HeaterWatt)}};
    case 1:
        return {{"E12", F("%1.3f", p.WDDif[0])}, {"E13", F("%1.3f", p.WDDif[1])},
                {"E14", F("%1.3f", p.WDDif[2])}, {"E15", F("%1.3f", p.WDDif[3])},
                {"E16", F("%1.3f", p.ATDif[0])}, {"E17", F("%1.3f", p.ATDif[1])}};
    case 2:
        return {{"E21", F("%1.3f", p.RevX)},
                {"E22", F("%1.3f", p.RevY)},
                {"E23", F("%1.3f", p.RevZp)},
                {"E24", F("%1.3f", p.RevZn)},
                {"P41", F("%1.3f", p.ParamP41)}};
    case 3:
        return TablePairs(p, 0, 4);
    case 4:
        return TablePairs(p, 4, 4);
    case 5:
        return TablePairs(p, 8, 2);
    case 13:
        return {{"E26", F("%1.5f", p.VSCoef[0])},
                {"E27", F("%1.5f", p.VSCoef[1])},
                {"E28", F("%1.5f", p.VSCoef[2])}};
    case 14:
        return {{"E29", F("%1.5f", p.VSCoef[3])},
                {"E30", F("%1.5f", p.VSCoef[4])},
                {"E31", F("%1.5f", p.VSCoef[5])}};
    default:
        return {};
    }
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
    SendCorrection(QStringLiteral("＜気温補正送信＞"),
                   {{"E91", "1"}, {"E16", F("%1.3f", prm_.ATDif[0])}, {"E17", F("%1.3f", prm_.ATDif[1])}});
}

void TSettingsSends::SendWDRev() {
    SendCorrection(QStringLiteral("＜風向温補正送信＞"), {{"E91", "1"},
                                                          {"E12", F("%1.3f", prm_.WDDif[0])},
                                                          {"E13", F("%1.3f", prm_.WDDif[1])},
                                                          {"E14", F("%1.3f", prm_.WDDif[2])},
                                                          {"E15", F("%1.3f", prm_.WDDif[3])}});
}

void TSettingsSends::Send0mRev() {
    SendCorrection(QStringLiteral("＜0m/s. 補正送信＞"), {{"E91", "1"}, {"E01", F("%1.2f", prm_.DifT0m)}});
}

void TSettingsSends::SendNmRev() {
    SendCorrection(QStringLiteral("＜Nm/s. 補正送信＞"),
                   {{"E91", "1"}, {"E03", F("%1.2f", prm_.AdjDifT)}, {"E02", F("%1.2f", prm_.AdjWS)}});
}
