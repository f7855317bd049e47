#include "settings/WriteSequence.h"
#include "common/NumberFormat.h"
#include "common/NumberParse.h"
#include "settings/PrmAspects.h"
#include "settings/WritePrm.h"

namespace {

const char* const GroupLabels[] = {"Group-1", "Group-2", "Group-3", "Group-4",
                                   "Group-5", "Group-6", "Finish"};
constexpr int Groups = 7;

// Group g is written at step 2g+1 and judged at step 2g+2. The first unlocks the instrument and the
// last locks it again; the others carry the fields of their group, the compared ones first.
TSendPairs GroupPairs(const TWritePrm& p, int group) {
    if (group == 0) return {{"E91", "1"}, {"P99", WriteUnlockCode}};
    if (group == Groups - 1) return {{"E91", "0"}, {"P99", "0"}};
    TSendPairs pairs;
    for (const TPrmAspect& a : PrmAspects())
        if (a.WriteGroup == group + 1) pairs.append({QString::fromLatin1(a.Code), a.SendText(p)});
    return pairs;
}

int ComparedPairs(int group) {
    if (group == 0 || group == Groups - 1) return 2;
    int n = 0;
    for (const TPrmAspect& a : PrmAspects())
        n += a.WriteGroup == group + 1 && a.Compared;
    return n;
}

constexpr int CompleteStep = 15;
constexpr int Rewrites = 3;

QString GroupLine(int group, const char* text) {
    return QString::fromLatin1(GroupLabels[group]) + QStringLiteral(" ： ") + QString::fromUtf8(text);
}

} // namespace

void TWriteSequence::AddMsg(const QString& text) {
    Lines.append(text);
    LineAdded.Notify(text);
}

void TWriteSequence::FormShow() {
    Step = 0;
    Lines.clear();
    Running = false;
    CloseEnabled = false;
    CancelEnabled = true;
    Shown = true;
    StateChanged.Notify();
}

void TWriteSequence::BBDoClick() {
    Step = 1;
    AddMsg(QStringLiteral("【書込み開始】"));
    if (!pause_.Held()) pause_ = exchange_.PausePolling();
    Running = true;
    RetryCount = Rewrites;
}

void TWriteSequence::Close() {
    if (!Shown) return;
    Shown = false;
    Running = false;
    pause_.Release();
    StateChanged.Notify();
}

void TWriteSequence::WriteTick() {
    if (!Shown || !Running) return;
    if (Step <= 0) {
        AddMsg(QStringLiteral("書込み停止しました！"));
        Running = false;
    } else if (Step >= CompleteStep) {
        CloseEnabled = true;
        CancelEnabled = false;
        pause_.Release();
        AddMsg(QStringLiteral("●●書込み完了しました！●●"));
        Running = false;
        StateChanged.Notify();
    } else if (Step % 2 == 1) {
        WriteGroup(Step / 2);
    } else {
        CheckGroup(Step / 2 - 1);
    }
}

void TWriteSequence::WriteGroup(int group) {
    const TSendPairs pairs = GroupPairs(prm_, group);
    exchange_.Write(std::span(pairs.constData(), size_t(pairs.size())));
    ++Step;
    AddMsg(GroupLine(group, "書込み"));
}

void TWriteSequence::CheckGroup(int group) {
    if (exchange_.AnswerReceived()) {
        if (CheckAnswer(ComparedPairs(group))) {
            ++Step;
            AddMsg(GroupLine(group, "書込み成功！"));
            RetryCount = Rewrites;
        } else {
            Step = 0;
            AddMsg(GroupLine(group, "書込み失敗！ 送信データ不一致"));
        }
    } else if (RetryCount > 0) {
        --RetryCount;
        --Step;
        AddMsg(GroupLine(group, "応答なし 再書き込み！"));
    } else {
        Step = 0;
        AddMsg(GroupLine(group, "応答なし 書込み失敗！"));
    }
}

bool TWriteSequence::CheckAnswer(int n) {
    // A pair the answer lacks is not compared; but an answer that carries none of the compared pairs
    // confirms nothing, and passing it would report an unwritten group as written.
    const TVerification verdict = exchange_.Verify({n, TVerifyPolicy::TSkip::EmptyAnswerKey, true});
    for (const TMismatch& m : verdict.Mismatches) {
        switch (m.Kind) {
        case TMismatch::TKind::Key:
            AddMsg(QStringLiteral("Key Missmatch! : ") + m.Sent.Key + QStringLiteral(" ? ") + m.Told.Key);
            break;
        case TMismatch::TKind::Unreadable:
            AddMsg(QStringLiteral("No Data! : ") + m.Told.Key + u':' + m.Told.Val);
            break;
        case TMismatch::TKind::Value:
            AddMsg(QStringLiteral("Data Missmatch! : ") + m.Told.Key + u':' + m.Sent.Val +
                   QStringLiteral(" ? ") + m.Told.Val);
            break;
        }
    }
    return verdict.Ok;
}
