// Setpoint files (BaseSetpoint.ini and *.krv): a file that loads takes the parameter set, saves it
// and keeps every other section and key with its value; loading the saved file gives the same set,
// and saving again gives the same bytes. A file that does not load changes neither the set nor
// itself.
#include "FuzzSupport.h"
#include "common/IniFile.h"
#include "settings/WritePrm.h"
#include <QFile>
#include <map>
#include <set>

namespace {

bool Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

using TName = std::pair<QByteArray, QByteArray>;
using TNames = std::set<TName>;

// Section and key names in ASCII lower case, as the reader matches them, with their values.
std::map<TName, QByteArray> Entries(const IniFile& ini) {
    std::map<TName, QByteArray> entries;
    for (const TIniSection& s : ini.Sections())
        for (const auto& [key, value] : s.Keys)
            entries[{s.Name.toLower(), key.toLower()}] = value;
    return entries;
}

// The 41 keys of the layout, as a save into an empty file writes them (lower case: names match
// without regard to case).
const TNames& SetpointNames() {
    static const TNames names = [] {
        const QString path = ScratchDir() + QStringLiteral("/layout.krv");
        IniFile ini;
        if (!TWritePrm{}.SaveSetpoint(path) || !ini.Load(path)) std::abort();
        TNames n;
        for (const TIniSection& s : ini.Sections())
            for (const auto& [key, value] : s.Keys)
                n.insert({s.Name.toLower(), key.toLower()});
        return n;
    }();
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TNames& layout = SetpointNames();
    const QString path = ScratchDir() + QStringLiteral("/fuzz.krv");
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!Put(path, input)) std::abort();
    TWritePrm prm;
    prm.SerialNo = QStringLiteral("K-7");
    prm.CalStart = 46000.5;
    prm.AdjWS = 9;
    const TWritePrm before = prm;
    if (!prm.LoadSetpoint(path)) {
        FUZZ_CHECK(prm == before, "a refused file changed the set");
        FUZZ_CHECK(!prm.SaveSetpoint(path).Ok, "a refused file was saved over");
        FUZZ_CHECK(Read(path) == input, "a refused file changed");
        return 0;
    }
    FUZZ_CHECK(prm.SerialNo == before.SerialNo && prm.CalStart == before.CalStart, "fields no file holds");
    IniFile original;
    FUZZ_CHECK(bool(original.Load(path)), "the set loaded from a file the INI reader refuses");
    FUZZ_CHECK(bool(prm.SaveSetpoint(path)), "save");
    const QByteArray saved = Read(path);
    IniFile after;
    FUZZ_CHECK(bool(after.Load(path)), "the saved file cannot be loaded: " + Shown(saved));
    const std::map<TName, QByteArray> kept = Entries(after);
    for (const TName& name : layout)
        FUZZ_CHECK(kept.contains(name), "key missing after the save: " + Shown(name.second));
    for (const auto& [name, value] : Entries(original)) {
        if (layout.contains(name)) continue;
        const auto it = kept.find(name);
        FUZZ_CHECK(it != kept.end(), "lost [" + Shown(name.first) + "] " + Shown(name.second));
        FUZZ_CHECK(it->second == value, "changed [" + Shown(name.first) + "] " + Shown(name.second));
    }
    TWritePrm again;
    again.SerialNo = prm.SerialNo;
    again.CalStart = prm.CalStart;
    FUZZ_CHECK(bool(again.LoadSetpoint(path)) && again == prm, "the saved set reads back otherwise");
    FUZZ_CHECK(bool(again.SaveSetpoint(path)) && Read(path) == saved, "a second save changed the file");
    return 0;
}
