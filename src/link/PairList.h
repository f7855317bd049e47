#pragma once
#include <QString>
#include <QStringView>
#include <span>

// One key/value pair of a request or an answer.
struct TKeyValStr {
    QString Key;
    QString Val;
    bool operator==(const TKeyValStr&) const = default;
};

inline constexpr int PairCapacity = 20;

// Appends "Key=Val," items while the text stays under 128 characters; the first pair that does not
// fit ends the list. Returns the number of pairs appended.
int BuildPairList(std::span<const TKeyValStr> pairs, int n, QString& out);

// Splits "Key=Val," items into `out`; only a "," stores a pair, at most out.size() are stored and
// the entries after the result are left as they were. Returns the number stored.
int SplitPairs(QStringView text, std::span<TKeyValStr> out);
