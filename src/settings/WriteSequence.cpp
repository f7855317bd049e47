#include "settings/WriteSequence.h"
#include "common/NumberFormat.h"
#include "settings/WritePrm.h"
#include <vector>

namespace {

struct TPairSource {
    const char* Key;
    QString (*Value)(const TWritePrm&);
};

struct TGroup {
    const char* Label;
    std::vector<TPairSource> Pairs;
    int Compared;
};

template <auto Member> QString F3(const TWritePrm& p) {
    return FormatPrintf("%1.3f", double(p.*Member));
}
template <auto Member, int I> QString F3At(const TWritePrm& p) {
    return FormatPrintf("%1.3f", double((p.*Member)[I]));
}
template <int I> QString Coef(const TWritePrm& p) {
    return FormatPrintf("%1.5f", double(p.VSCoef[I]));
}
QString One(const TWritePrm&) {
    return QStringLiteral("1");
}
QString Zero(const TWritePrm&) {
    return QStringLiteral("0");
}
QString Unlock(const TWritePrm&) {
    return WriteUnlockCode;
}
QString StdVolt(const TWritePrm& p) {
    return FormatPrintf("%4.0f", double(p.ChipStdV));
}

// Group g is written at step 2g+1 and judged at step 2g+2.
const std::vector<TGroup>& Groups() {
    static const std::vector<TGroup> groups{
        {"Group-1", {{"E91", One}, {"P99", Unlock}}, 2},
        {"Group-2",
         {{"E12", F3At<&TWritePrm::WDDif, 0>},
          {"E13", F3At<&TWritePrm::WDDif, 1>},
          {"E14", F3At<&TWritePrm::WDDif, 2>},
          {"E15", F3At<&TWritePrm::WDDif, 3>},
          {"E16", F3At<&TWritePrm::ATDif, 0>},
          {"E17", F3At<&TWritePrm::ATDif, 1>}},
         6},
        {"Group-3", {{"E21", F3<&TWritePrm::RevX>}, {"E22", F3<&TWritePrm::RevY>}}, 2},
        // P32 is written but never compared.
        {"Group-4", {{"E23", F3<&TWritePrm::RevZp>}, {"E24", F3<&TWritePrm::RevZn>}, {"P32", StdVolt}}, 2},
        {"Group-5", {{"E26", Coef<0>}, {"E27", Coef<1>}, {"E28", Coef<2>}}, 3},
        {"Group-6", {{"E29", Coef<3>}, {"E30", Coef<4>}, {"E31", Coef<5>}}, 3},
        {"Finish", {{"E91", Zero}, {"P99", Zero}}, 2},
    };
    return groups;
}

constexpr int CompleteStep = 15;
constexpr int Rewrites = 3;

QString GroupLine(int group, const char* text) {
    return QString::fromLatin1(Groups()[group].Label) + QStringLiteral(" ： ") + QString::fromUtf8(text);
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
    std::vector<TKeyValStr> pairs;
    for (const TPairSource& source : Groups()[group].Pairs)
        pairs.push_back({QString::fromLatin1(source.Key), source.Value(prm_)});
    exchange_.Write(pairs);
    ++Step;
    AddMsg(GroupLine(group, "書込み"));
}

void TWriteSequence::CheckGroup(int group) {
    if (exchange_.AnswerReceived()) {
        if (CheckAnswer(Groups()[group].Compared)) {
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
            AddMsg(QStringLiteral("Data Missmatch! : ") + m.Told.Key + u':' + m.Sent.Val + QStringLiteral(" ? ") +
                   m.Told.Val);
            break;
        }
    }
    return verdict.Ok;
}
