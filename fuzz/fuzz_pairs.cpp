// Key/value lists. SplitPairs of any text against a splitter written here from the list's rules,
// with the entries past the result untouched; BuildPairList of any pairs against its length rule,
// and what it built splits back into the same pairs.
#include "FuzzSupport.h"
#include "link/FrameCodec.h"
#include "link/PairList.h"
#include <array>
#include <vector>

namespace {

// Every item ends at a ","; its key is what comes before the first "=", its value the rest without
// any further "="; text after the last "," is no item.
std::vector<TKeyValStr> Items(const QString& text) {
    std::vector<TKeyValStr> items;
    QStringList parts = text.split(u',');
    parts.removeLast();
    for (const QString& part : parts) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            items.push_back({part, {}});
        else
            items.push_back({part.left(eq), part.mid(eq + 1).remove(u'=')});
    }
    return items;
}

// A key or value without the list's own separators.
QString Field(FuzzedDataProvider& fdp) {
    QString s = QString::fromLatin1(Bytes(fdp, 40));
    s.remove(u',');
    s.remove(u'=');
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider fdp(data, size);
    const bool build = fdp.ConsumeBool();
    if (!build) {
        const QString text = FromWireBytes(Bytes(fdp, 4096));
        const TKeyValStr untouched{QStringLiteral("k"), QStringLiteral("v")};
        std::array<TKeyValStr, PairCapacity> out;
        out.fill(untouched);
        const int n = SplitPairs(text, out);
        const std::vector<TKeyValStr> items = Items(text);
        FUZZ_CHECK(n == int(std::min(items.size(), size_t(PairCapacity))), "count " + std::to_string(n));
        for (int i = 0; i < PairCapacity; ++i)
            FUZZ_CHECK(out[i] == (i < n ? items[i] : untouched), "pair " + std::to_string(i));
        return 0;
    }
    // Pairs into a list that may already hold text (the request's "RW,").
    QString out = QString::fromLatin1(Bytes(fdp, 140)).remove(u',').remove(u'=');
    const QString prefix = out;
    std::vector<TKeyValStr> pairs;
    while (pairs.size() < 25 && fdp.remaining_bytes() > 0)
        pairs.push_back({Field(fdp), Field(fdp)});
    const int n = fdp.ConsumeIntegralInRange<int>(0, int(pairs.size()));
    const int built = BuildPairList(pairs, n, out);
    int fits = 0;
    qsizetype length = prefix.size();
    while (fits < n && length + pairs[fits].Key.size() + pairs[fits].Val.size() + 2 < MaxBracketedLength) {
        length += pairs[fits].Key.size() + pairs[fits].Val.size() + 2;
        ++fits;
    }
    FUZZ_CHECK(built == fits, "built " + std::to_string(built) + ", fit " + std::to_string(fits));
    FUZZ_CHECK(out.size() == length && (built == 0 || out.size() < MaxBracketedLength), "length");
    FUZZ_CHECK(out.startsWith(prefix), "the text before is kept");
    std::array<TKeyValStr, PairCapacity> back{};
    const int split = SplitPairs(QStringView(out).sliced(prefix.size()), back);
    FUZZ_CHECK(split == std::min(built, PairCapacity), "split back " + std::to_string(split));
    for (int i = 0; i < split; ++i)
        FUZZ_CHECK(back[i] == pairs[i],
                   "pair " + std::to_string(i) + ": " + Shown(back[i].Key) + "=" + Shown(back[i].Val));
    return 0;
}
