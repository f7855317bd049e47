// INI files: whatever loads saves and loads back to the same sections, keys and values, save after
// save, and a file read and saved run after run never grows (comments attached to nothing may be
// dropped once). A file that does not load leaves nothing loaded.
#include "FuzzSupport.h"
#include "common/IniFile.h"
#include <QFile>

namespace {

bool Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

std::string Described(const QList<TIniSection>& sections) {
    std::string out;
    for (const TIniSection& s : sections) {
        out += "[" + Shown(s.Name) + "]\n";
        for (const auto& [key, value] : s.Keys)
            out += "  " + Shown(key) + "=" + Shown(value) + "\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = ScratchDir() + QStringLiteral("/fuzz.ini");
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!Put(path, input)) std::abort();
    IniFile first;
    if (!first.Load(path)) {
        FUZZ_CHECK(!first.Exists() && first.Sections().isEmpty() && first.ToBytes().isEmpty(),
                   "a refused file left something loaded");
        return 0;
    }
    // The writer puts the keys of "[]" (the keys before any header) first, where they belong.
    QList<TIniSection> loaded = first.Sections();
    for (qsizetype i = 1; i < loaded.size(); ++i)
        if (loaded[i].Name.isEmpty()) loaded.move(i, 0);
    const QByteArray saved = first.ToBytes();
    FUZZ_CHECK(!saved.contains('\0'), "a NUL written");
    for (qsizetype i = 0; i < saved.size(); ++i) {
        const bool lineEnd = saved[i] == '\r' || saved[i] == '\n';
        const bool crlf =
            saved[i] == '\r' ? i + 1 < saved.size() && saved[i + 1] == '\n' : i > 0 && saved[i - 1] == '\r';
        FUZZ_CHECK(!lineEnd || crlf, "a line end other than CR LF: " + Shown(saved));
    }
    QByteArray previous = saved;
    for (int run = 2; run <= 3; ++run) {
        if (!Put(path, previous)) std::abort();
        IniFile again;
        FUZZ_CHECK(bool(again.Load(path)), "what was saved cannot be loaded: " + Shown(previous));
        FUZZ_CHECK(again.Sections() == loaded, "loaded:\n" + Described(loaded) + "saved and loaded back:\n" +
                                                   Described(again.Sections()));
        const QByteArray next = again.ToBytes();
        FUZZ_CHECK(next.size() <= previous.size(),
                   "save " + std::to_string(run) + " grew:\n" + Shown(next) + "\nfrom:\n" + Shown(previous));
        previous = next;
    }
    return 0;
}
