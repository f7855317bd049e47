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
    QString key, val;
    bool fillingValue = false;
    for (QChar c : text) {
        if (c == u',') {
            if (count < int(out.size())) out[count++] = {key, val};
            key.clear();
            val.clear();
            fillingValue = false;
        } else if (c == u'=') {
            fillingValue = true;
        } else {
            (fillingValue ? val : key) += c;
        }
    }
    return count;
}
