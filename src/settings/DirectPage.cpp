#include "settings/DirectPage.h"
#include "common/NumberParse.h"
#include "settings/WritePrm.h"
#include <cmath>

const std::vector<const TPrmAspect*>& DirectPageAspects() {
    static const std::vector<const TPrmAspect*> rows = [] {
        std::vector<const TPrmAspect*> r;
        for (const TPrmAspect& a : PrmAspects())
            if (a.ObjectName) r.push_back(&a);
        return r;
    }();
    return rows;
}

void ShowParams(const TWritePrm& prm, TParamView& view) {
    for (const TPrmAspect* a : DirectPageAspects())
        view.SetFieldText(*a, a->ShownText(prm));
}

std::optional<QString> ReadParams(TWritePrm& prm, const TParamView& view) {
    for (const TPrmAspect* a : DirectPageAspects()) {
        const std::optional<double> value = ParseNumber(view.FieldText(*a));
        if (!value || !std::isfinite(float(*value))) return ConvertWarningText;
        a->Field.Float(prm) = float(*value);
    }
    return std::nullopt;
}
