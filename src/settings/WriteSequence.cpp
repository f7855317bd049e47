#include "settings/WriteSequence.h"
#include "acquisition/Exchange.h"
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
    exchange_.PollingEnabled = false;
    Running = true;
    RetryCount = Rewrites;
}

void TWriteSequence::Close() {
    if (!Shown) return;
    Shown = false;
    Running = false;
    exchange_.PollingEnabled = true;
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
        exchange_.PollingEnabled = true;
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
    exchange_.ClearRequest();
    const TSendPairs pairs = GroupPairs(prm_, group);
    for (qsizetype i = 0; i < pairs.size(); ++i)
        exchange_.Request[i] = {pairs[i].first, pairs[i].second};
    exchange_.SendWriteRequest();
    ++Step;
    AddMsg(GroupLine(group, "書込み"));
}

void TWriteSequence::CheckGroup(int group) {
    if (exchange_.ResponseReceived) {
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
    bool result = true;
    bool anyAnswered = false;
    for (int i = 0; i < n && i < int(exchange_.Request.size()); ++i) {
        const TKeyValStr& sent = exchange_.Request[i];
        const TKeyValStr& told = exchange_.Response[i];
        // A pair the answer lacks is not compared.
        if (told.Key.isEmpty()) continue;
        anyAnswered = true;
        if (told.Key != sent.Key) {
            result = false;
            AddMsg(QStringLiteral("Key Missmatch! : ") + sent.Key + QStringLiteral(" ? ") + told.Key);
            continue;
        }
        const std::optional<float> a = ParseSingle(sent.Val);
        const std::optional<float> b = ParseSingle(told.Val);
        if (!a || !b) {
            AddMsg(QStringLiteral("No Data! : ") + told.Key + u':' + told.Val);
        } else if (*a != *b) {
            result = false;
            AddMsg(QStringLiteral("Data Missmatch! : ") + told.Key + u':' + sent.Val + QStringLiteral(" ? ") +
                   told.Val);
        }
    }
    // An answer that carries none of the compared pairs confirms nothing; passing it would report an
    // unwritten group as written.
    return result && (anyAnswered || n == 0);
}
