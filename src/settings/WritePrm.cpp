#include "settings/WritePrm.h"
#include "common/IniFile.h"
#include "common/NumberFormat.h"
#include "common/NumberParse.h"
#include "settings/PrmAspects.h"
#include <cmath>

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
    for (const TPrmAspect* a : SetpointFileAspects())
        ini.WriteString(a->Section, a->Key, FormatGeneral(double(a->Value(*this))));
    return ini.Save(path);
}

FileResult TWritePrm::LoadSetpoint(const QString& path, int* keysFound) {
    if (keysFound) *keysFound = 0;
    IniFile ini;
    if (FileResult loaded = ini.Load(path); !loaded) return loaded;
    TWritePrm defaults;
    for (const TPrmAspect* a : SetpointFileAspects()) {
        const QString text = ini.ReadString(a->Section, a->Key, QString());
        if (keysFound && ini.HasKey(a->Section, a->Key)) ++*keysFound;
        // Read as a double and narrowed, so the 15 digits written give back the same float; a value
        // the float cannot hold is as malformed as a word.
        const std::optional<double> read = ParseNumber(text);
        const float value = read ? float(*read) : 0.0f;
        a->Field.Float(*this) = read && std::isfinite(value) ? value : a->Value(defaults);
    }
    return {};
}
