#include "settings/PrmAspects.h"
#include "common/NumberFormat.h"
#include "settings/WritePrm.h"
#include <QtGlobal>
#include <algorithm>

namespace {

const char* const WD = "Early-WD";
const char* const WS = "Early-WS";
const char* const SYS = "System";

using A = TPrmAspect;
using B = TPageBox;

template <int... I> void AddGrid(std::vector<A>& rows, std::integer_sequence<int, I...>) {
    // P(2k+1), P(2k+2) carry row k; the default values go out four rows a step.
    static const char* const codes[] = {"P01", "P02", "P03", "P04", "P05", "P06", "P07", "P08", "P09", "P10",
                                        "P11", "P12", "P13", "P14", "P15", "P16", "P17", "P18", "P19", "P20"};
    static const char* const divKeys[] = {"DIV0", "DIV1", "DIV2", "DIV3", "DIV4",
                                          "DIV5", "DIV6", "DIV7", "DIV8", "DIV9"};
    static const char* const valKeys[] = {"VAL0", "VAL1", "VAL2", "VAL3", "VAL4",
                                          "VAL5", "VAL6", "VAL7", "VAL8", "VAL9"};
    ((rows.push_back({.Field = MemberRef<&TWritePrm::RevDiv, I>(),
                      .Code = codes[2 * I],
                      .SendFormat = "%1.2f",
                      .Section = WS,
                      .Key = divKeys[I],
                      .FileRank = 5,
                      .ObjectName = "SGRev",
                      .Box = B::Grid,
                      .Label = QStringLiteral("補正点"),
                      .Row = I,
                      .Column = 0,
                      .DefaultStep = 3 + I / 4}),
      rows.push_back({.Field = MemberRef<&TWritePrm::RevVal, I>(),
                      .Code = codes[2 * I + 1],
                      .SendFormat = "%1.2f",
                      .Section = WS,
                      .Key = valKeys[I],
                      .FileRank = 5,
                      .ObjectName = "SGRev",
                      .Box = B::Grid,
                      .Label = QStringLiteral("補正量"),
                      .Row = I,
                      .Column = 1,
                      .DefaultStep = 3 + I / 4})),
     ...);
}

std::vector<A> MakeRows() {
    const QString diff = QStringLiteral("器差-%1");
    // clang-format off
    // member, code, send format, section, key, file rank, object name, box, label, shown format,
    // grid row, grid column, write group, compared, default step
    std::vector<A> rows{
        {MemberRef<&TWritePrm::WDDif, 0>(), "E12", "%1.3f", WD, "ErDifDir0", 0, "EWDDif1", B::WDDif, diff.arg(1), nullptr, -1, -1, 2, true, 1},
        {MemberRef<&TWritePrm::WDDif, 1>(), "E13", "%1.3f", WD, "ErDifDir1", 0, "EWDDif2", B::WDDif, diff.arg(2), nullptr, -1, -1, 2, true, 1},
        {MemberRef<&TWritePrm::WDDif, 2>(), "E14", "%1.3f", WD, "ErDifDir2", 0, "EWDDif3", B::WDDif, diff.arg(3), nullptr, -1, -1, 2, true, 1},
        {MemberRef<&TWritePrm::WDDif, 3>(), "E15", "%1.3f", WD, "ErDifDir3", 0, "EWDDif4", B::WDDif, diff.arg(4), nullptr, -1, -1, 2, true, 1},
        {MemberRef<&TWritePrm::ATDif, 0>(), "E16", "%1.3f", WD, "ErDifAT0", 0, "EATDif1", B::ATDif, diff.arg(1), nullptr, -1, -1, 2, true, 1},
        {MemberRef<&TWritePrm::ATDif, 1>(), "E17", "%1.3f", WD, "ErDifAT1", 0, "EATDif2", B::ATDif, diff.arg(2), nullptr, -1, -1, 2, true, 1},
        {MemberRef<&TWritePrm::RevX>(), "E21", "%1.3f", WD, "Revice_X", 0, "ERevX", B::Rev, QStringLiteral("X軸補正"), nullptr, -1, -1, 3, true, 2},
        {MemberRef<&TWritePrm::RevY>(), "E22", "%1.3f", WD, "Revice_Y", 0, "ERevY", B::Rev, QStringLiteral("Y軸補正"), nullptr, -1, -1, 3, true, 2},
        {MemberRef<&TWritePrm::RevZp>(), "E23", "%1.3f", WD, "Revice_Z", 0, "ERevZp", B::Rev, QStringLiteral("Z軸補正P"), nullptr, -1, -1, 4, true, 2},
        {MemberRef<&TWritePrm::RevZn>(), "E24", "%1.3f", WD, "Revice_Zn", 0, "ERevZn", B::Rev, QStringLiteral("Z軸補正N"), nullptr, -1, -1, 4, true, 2},
        // Sent as a default value only; nothing shows, stores or changes it.
        {MemberRef<&TWritePrm::ParamP41>(), "P41", "%1.3f", nullptr, nullptr, 0, nullptr, B::None, {}, nullptr, -1, -1, 0, true, 2},
        {MemberRef<&TWritePrm::VSCoef, 0>(), "E26", "%1.5f", WD, "VWSC_Coef-0", 0, "EVSCoef0", B::OldType, QStringLiteral("0次係数"), nullptr, -1, -1, 5, true, 13},
        {MemberRef<&TWritePrm::VSCoef, 1>(), "E27", "%1.5f", WD, "VWSC_Coef-1", 0, "EVSCoef1", B::OldType, QStringLiteral("1次係数"), nullptr, -1, -1, 5, true, 13},
        {MemberRef<&TWritePrm::VSCoef, 2>(), "E28", "%1.5f", WD, "VWSC_Coef-2", 0, "EVSCoef2", B::OldType, QStringLiteral("2次係数"), nullptr, -1, -1, 5, true, 13},
        {MemberRef<&TWritePrm::VSCoef, 3>(), "E29", "%1.5f", WD, "VWSC_Coef-3", 0, "EVSCoef3", B::OldType, QStringLiteral("3次係数"), nullptr, -1, -1, 6, true, 14},
        {MemberRef<&TWritePrm::VSCoef, 4>(), "E30", "%1.5f", WD, "VWSC_Coef-4", 0, "EVSCoef4", B::OldType, QStringLiteral("4次係数"), nullptr, -1, -1, 6, true, 14},
        {MemberRef<&TWritePrm::VSCoef, 5>(), "E31", "%1.5f", WD, "VWSC_Coef-5", 0, "EVSCoef5", B::OldType, QStringLiteral("5次係数"), nullptr, -1, -1, 6, true, 14},
        {MemberRef<&TWritePrm::DifT0m>(), "E01", "%1.2f", WS, "DifT0m", 2, "EDifT0m", B::CurrentType, QStringLiteral("0m/s.時\u3000温度差"), nullptr, -1, -1, 0, true, 0},
        {MemberRef<&TWritePrm::AdjWS>(), "E02", "%1.2f", WS, "AdjWS", 4, "EAdjWS", B::CurrentType, QStringLiteral("基準風速値（m/s.）"), nullptr, -1, -1, 0, true, 0},
        {MemberRef<&TWritePrm::AdjDifT>(), "E03", "%1.2f", WS, "AdjDifT", 3, "EAdjDifT", B::CurrentType, QStringLiteral("基準時温度差（℃）"), nullptr, -1, -1, 0, true, 0},
        // Shown with four decimals, sent with three.
        {MemberRef<&TWritePrm::HeaterWatt>(), "E04", "%1.3f", WS, "HeaterWatt", 1, "EHeaterWatt", B::CurrentType, QStringLiteral("ヒータ出力（W）"), "%1.4f", -1, -1, 0, true, 0},
        // Written with group 4 but never compared: the instrument answers its own measured value.
        {MemberRef<&TWritePrm::ChipStdV>(), "P32", "%4.0f", SYS, "ChipStdV", 0, "EStdVolt", B::System, QStringLiteral("基準電圧"), nullptr, -1, -1, 4, false, -1},
    };
    // clang-format on
    AddGrid(rows, std::make_integer_sequence<int, 10>{});
    return rows;
}

} // namespace

QString TPrmAspect::SendText(const TWritePrm& prm) const {
    return FormatPrintf(SendFormat, double(Value(prm)));
}

QString TPrmAspect::ShownText(const TWritePrm& prm) const {
    return FormatPrintf(ShowFormat ? ShowFormat : SendFormat, double(Value(prm)));
}

const std::vector<TPrmAspect>& PrmAspects() {
    static const std::vector<TPrmAspect> rows = MakeRows();
    return rows;
}

const TPrmAspect& PrmAspect(const char* code) {
    for (const TPrmAspect& a : PrmAspects())
        if (qstrcmp(a.Code, code) == 0) return a;
    qFatal("no field with the code %s", code);
}

const std::vector<const TPrmAspect*>& SetpointFileAspects() {
    static const std::vector<const TPrmAspect*> rows = [] {
        const char* const sections[] = {WD, WS, SYS};
        auto sectionIndex = [&](const TPrmAspect* a) {
            return std::find(std::begin(sections), std::end(sections), a->Section) - std::begin(sections);
        };
        std::vector<const TPrmAspect*> r;
        for (const TPrmAspect& a : PrmAspects())
            if (a.Section) r.push_back(&a);
        std::stable_sort(r.begin(), r.end(), [&](const TPrmAspect* x, const TPrmAspect* y) {
            return std::pair(sectionIndex(x), x->FileRank) < std::pair(sectionIndex(y), y->FileRank);
        });
        return r;
    }();
    return rows;
}

TSendPairs SendPairs(const TWritePrm& prm, std::initializer_list<const char*> codes) {
    TSendPairs pairs;
    for (const char* code : codes) {
        const TPrmAspect& a = PrmAspect(code);
        pairs.append({QString::fromLatin1(a.Code), a.SendText(prm)});
    }
    return pairs;
}
