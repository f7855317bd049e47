#include "settings/DirectPage.h"
#include "common/NumberFormat.h"
#include "common/NumberParse.h"
#include "settings/WritePrm.h"
#include <cmath>

namespace {

template <auto Member> float& Plain(TWritePrm& p) {
    return p.*Member;
}
template <auto Member, int I> float& Element(TWritePrm& p) {
    return (p.*Member)[I];
}

template <int... I> void AddGrid(std::vector<TParamField>& f, std::integer_sequence<int, I...>) {
    ((f.push_back({"SGRev", I + 1, 0, Element<&TWritePrm::RevDiv, I>, "%1.2f", {}}),
      f.push_back({"SGRev", I + 1, 1, Element<&TWritePrm::RevVal, I>, "%1.2f", {}})),
     ...);
}

} // namespace

const std::vector<TParamField>& DirectPageFields() {
    static const std::vector<TParamField> fields = [] {
        std::vector<TParamField> f{
            {"EWDDif1", -1, -1, Element<&TWritePrm::WDDif, 0>, "%1.3f", {}},
            {"EWDDif2", -1, -1, Element<&TWritePrm::WDDif, 1>, "%1.3f", {}},
            {"EWDDif3", -1, -1, Element<&TWritePrm::WDDif, 2>, "%1.3f", {}},
            {"EWDDif4", -1, -1, Element<&TWritePrm::WDDif, 3>, "%1.3f", {}},
            {"EATDif1", -1, -1, Element<&TWritePrm::ATDif, 0>, "%1.3f", {}},
            {"EATDif2", -1, -1, Element<&TWritePrm::ATDif, 1>, "%1.3f", {}},
            {"ERevX", -1, -1, Plain<&TWritePrm::RevX>, "%1.3f", {}},
            {"ERevY", -1, -1, Plain<&TWritePrm::RevY>, "%1.3f", {}},
            {"ERevZp", -1, -1, Plain<&TWritePrm::RevZp>, "%1.3f", {}},
            {"ERevZn", -1, -1, Plain<&TWritePrm::RevZn>, "%1.3f", {}},
            {"EVSCoef0", -1, -1, Element<&TWritePrm::VSCoef, 0>, "%1.5f", {}},
            {"EVSCoef1", -1, -1, Element<&TWritePrm::VSCoef, 1>, "%1.5f", {}},
            {"EVSCoef2", -1, -1, Element<&TWritePrm::VSCoef, 2>, "%1.5f", {}},
            {"EVSCoef3", -1, -1, Element<&TWritePrm::VSCoef, 3>, "%1.5f", {}},
            {"EVSCoef4", -1, -1, Element<&TWritePrm::VSCoef, 4>, "%1.5f", {}},
            {"EVSCoef5", -1, -1, Element<&TWritePrm::VSCoef, 5>, "%1.5f", {}},
            {"EDifT0m", -1, -1, Plain<&TWritePrm::DifT0m>, "%1.2f", {}},
            {"EAdjWS", -1, -1, Plain<&TWritePrm::AdjWS>, "%1.2f", {}},
            {"EAdjDifT", -1, -1, Plain<&TWritePrm::AdjDifT>, "%1.2f", {}},
            // Shown with four decimals, sent with three.
            {"EHeaterWatt", -1, -1, Plain<&TWritePrm::HeaterWatt>, "%1.4f", {}},
            {"EStdVolt", -1, -1, Plain<&TWritePrm::ChipStdV>, "%4.0f", {}},
            {"SGRev", 0, 0, nullptr, nullptr, QStringLiteral("補正点")},
            {"SGRev", 0, 1, nullptr, nullptr, QStringLiteral("補正量")},
        };
        AddGrid(f, std::make_integer_sequence<int, 10>{});
        return f;
    }();
    return fields;
}

void ShowParams(const TWritePrm& prm, TParamView& view) {
    TWritePrm copy = prm;
    for (const TParamField& f : DirectPageFields())
        view.SetFieldText(f, f.Field ? FormatPrintf(f.Format, double(f.Field(copy))) : f.Heading);
}

std::optional<QString> ReadParams(TWritePrm& prm, const TParamView& view) {
    for (const TParamField& f : DirectPageFields()) {
        if (!f.Field) continue;
        const std::optional<double> value = ParseNumber(view.FieldText(f));
        if (!value || !std::isfinite(float(*value))) return ConvertWarningText;
        f.Field(prm) = float(*value);
    }
    return std::nullopt;
}
