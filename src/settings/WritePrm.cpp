#include "settings/WritePrm.h"
#include "common/IniFile.h"
#include "common/NumberFormat.h"
#include "common/NumberParse.h"
#include <cmath>
#include <vector>

namespace {

struct TSetpointKey {
    QString Section;
    QString Key;
    float& (*Field)(TWritePrm&);
};

template <auto Member> float& Plain(TWritePrm& p) {
    return p.*Member;
}
template <auto Member, int I> float& Element(TWritePrm& p) {
    return (p.*Member)[I];
}

// The file's layout, in the order the keys are written.
const std::vector<TSetpointKey>& SetpointKeys() {
    static const std::vector<TSetpointKey> keys = [] {
        const QString wd = QStringLiteral("Early-WD"), ws = QStringLiteral("Early-WS");
        std::vector<TSetpointKey> k{
            {wd, "ErDifDir0", Element<&TWritePrm::WDDif, 0>},
            {wd, "ErDifDir1", Element<&TWritePrm::WDDif, 1>},
            {wd, "ErDifDir2", Element<&TWritePrm::WDDif, 2>},
            {wd, "ErDifDir3", Element<&TWritePrm::WDDif, 3>},
            {wd, "ErDifAT0", Element<&TWritePrm::ATDif, 0>},
            {wd, "ErDifAT1", Element<&TWritePrm::ATDif, 1>},
            {wd, "Revice_X", Plain<&TWritePrm::RevX>},
            {wd, "Revice_Y", Plain<&TWritePrm::RevY>},
            {wd, "Revice_Z", Plain<&TWritePrm::RevZp>},
            {wd, "Revice_Zn", Plain<&TWritePrm::RevZn>},
            {wd, "VWSC_Coef-0", Element<&TWritePrm::VSCoef, 0>},
            {wd, "VWSC_Coef-1", Element<&TWritePrm::VSCoef, 1>},
            {wd, "VWSC_Coef-2", Element<&TWritePrm::VSCoef, 2>},
            {wd, "VWSC_Coef-3", Element<&TWritePrm::VSCoef, 3>},
            {wd, "VWSC_Coef-4", Element<&TWritePrm::VSCoef, 4>},
            {wd, "VWSC_Coef-5", Element<&TWritePrm::VSCoef, 5>},
            {ws, "HeaterWatt", Plain<&TWritePrm::HeaterWatt>},
            {ws, "DifT0m", Plain<&TWritePrm::DifT0m>},
            {ws, "AdjDifT", Plain<&TWritePrm::AdjDifT>},
            {ws, "AdjWS", Plain<&TWritePrm::AdjWS>},
        };
        auto table = [&]<int... I>(std::integer_sequence<int, I...>) {
            ((k.push_back({ws, QStringLiteral("DIV%1").arg(I), Element<&TWritePrm::RevDiv, I>}),
              k.push_back({ws, QStringLiteral("VAL%1").arg(I), Element<&TWritePrm::RevVal, I>})),
             ...);
        };
        table(std::make_integer_sequence<int, 10>{});
        k.push_back({QStringLiteral("System"), "ChipStdV", Plain<&TWritePrm::ChipStdV>});
        return k;
    }();
    return keys;
}

} // namespace

void TWritePrm::SetDefaults() {
    TWritePrm defaults;
    defaults.CalStart = CalStart;
    defaults.SerialNo = SerialNo;
    defaults.ParamP41 = ParamP41;
    *this = defaults;
}

FileResult TWritePrm::SaveSetpoint(const QString& path) const {
    IniFile ini;
    if (FileResult loaded = ini.Load(path); !loaded) return loaded;
    TWritePrm copy = *this;
    for (const TSetpointKey& k : SetpointKeys())
        ini.WriteString(k.Section, k.Key, FormatGeneral(double(k.Field(copy))));
    return ini.Save(path);
}

FileResult TWritePrm::LoadSetpoint(const QString& path, int* keysFound) {
    if (keysFound) *keysFound = 0;
    IniFile ini;
    if (FileResult loaded = ini.Load(path); !loaded) return loaded;
    TWritePrm defaults;
    for (const TSetpointKey& k : SetpointKeys()) {
        const QString text = ini.ReadString(k.Section, k.Key, QString());
        if (keysFound && ini.HasKey(k.Section, k.Key)) ++*keysFound;
        // Read as a double and narrowed, so the 15 digits written give back the same float; a value
        // the float cannot hold is as malformed as a word.
        const std::optional<double> read = ParseNumber(text);
        const float value = read ? float(*read) : 0.0f;
        k.Field(*this) = read && std::isfinite(value) ? value : k.Field(defaults);
    }
    return {};
}
