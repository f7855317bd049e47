#include "link/PairList.h"
#include "link/FrameCodec.h"

int BuildPairList(std::span<const TKeyValStr> pairs, int n, QString& out) {
    int count = 0;
    for (int i = 0; i < n && i < int(pairs.size()); ++i) {
        const TKeyValStr& p = pairs[i];
        if (out.size() + p.Key.size() + p.Val.size() + 2 >= MaxBracketedLength) break;
        out += p.Key + u'=' + p.Val + u',';
        ++count;
    }
    return count;
}

int SplitPairs(QStringView text, std::span<TKeyValStr> out) {
    int count = 0;
    for (qsizetype start = 0, end = text.indexOf(u','); end >= 0 && count < int(out.size());
         start = end + 1, end = text.indexOf(u',', start)) {
        const QStringView item = text.sliced(start, end - start);
        const qsizetype equals = item.indexOf(u'=');
        TKeyValStr& pair = out[count++];
        pair.Key = (equals < 0 ? item : item.first(equals)).toString();
        pair.Val = equals < 0 ? QString() : item.sliced(equals + 1).toString();
        // Every '=' only switches to the value: a second one is dropped, not kept.
        if (pair.Val.contains(u'=')) pair.Val.remove(u'=');
    }
    return count;
}
