#include "model/FaultInjector.h"
#include "link/FrameCodec.h"
#include "sim/SimTestSupport.h"
#include <QSet>
#include <gmock/gmock.h>

using krvsim::Emission;
using krvsim::Fault;
using krvsim::FaultInjector;

namespace {

const QByteArray kFrame = *BuildFrame("AD,M01=2.500,M05=123.400,");
using Emissions = QList<Emission>;

FaultInjector Only(Fault fault, double rate, quint32 seed = 7) {
    FaultInjector f(seed);
    f.SetRate(fault, rate);
    return f;
}

QList<Emissions> ApplyMany(FaultInjector& f, int frames) {
    QList<Emissions> out;
    for (int i = 0; i < frames; ++i)
        out.append(f.Apply(kFrame));
    return out;
}

TEST(FaultInjector, RatesZeroAndOneDoWhatTheNameSays) {
    FaultInjector none;
    FaultInjector drop = Only(Fault::Drop, 1), delay = Only(Fault::Delay, 1),
                  twice = Only(Fault::Duplicate, 1);
    delay.SetDelayMs(250);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(none.Apply(kFrame), Emissions({{0, kFrame}}));
        EXPECT_EQ(drop.Apply(kFrame), Emissions());
        EXPECT_EQ(delay.Apply(kFrame), Emissions({{250, kFrame}}));
        EXPECT_EQ(twice.Apply(kFrame), Emissions({{0, kFrame}, {0, kFrame}}));
    }
}

TEST(FaultInjector, CorruptionChangesOnePayloadCharacterSoTheChecksumFails) {
    FaultInjector f = Only(Fault::Corrupt, 1);
    QSet<qsizetype> positions;
    for (const Emissions& e : ApplyMany(f, 200)) {
        ASSERT_EQ(e.size(), 1);
        const QByteArray& b = e[0].Bytes;
        ASSERT_EQ(b.size(), kFrame.size());
        EXPECT_FALSE(simtest::WireFrameOk(b)) << b.constData();
        QList<qsizetype> changed;
        for (qsizetype i = 0; i < b.size(); ++i)
            if (b[i] != kFrame[i]) changed.append(i);
        ASSERT_EQ(changed.size(), 1) << b.constData();
        // Never a character that would move the frame's boundaries or items.
        EXPECT_LT(changed[0], kFrame.indexOf('>'));
        EXPECT_TRUE(QChar(b[changed[0]]).isLetterOrNumber()) << b.constData();
        positions.insert(changed[0]);
    }
    EXPECT_GT(positions.size(), 5);
    EXPECT_FALSE(simtest::WireFrameOk(f.Apply(*BuildFrame("")).value(0).Bytes));
}

TEST(FaultInjector, NoiseComesBeforeTheFrameAndSpoilsItForABufferingReceiver) {
    FaultInjector f = Only(Fault::Noise, 1);
    // Enough frames that noise summing to zero, which would leave the checksum intact, turns up.
    int intact = 0;
    for (const Emissions& e : ApplyMany(f, 3000)) {
        ASSERT_EQ(e.size(), 1);
        const QByteArray& b = e[0].Bytes;
        ASSERT_TRUE(b.endsWith(kFrame));
        const QByteArray noise = b.left(b.size() - kFrame.size());
        ASSERT_TRUE(noise.size() >= 1 && noise.size() <= 8) << noise.size();
        for (char c : {'<', '>', '\r', '\n'})
            ASSERT_FALSE(noise.contains(c)) << noise.constData();
        TFrameReceiver rx;
        std::optional<TParsedFrame> parsed;
        for (char c : b)
            if (auto p = rx.Feed(c)) parsed = p;
        ASSERT_TRUE(parsed.has_value());
        intact += parsed->Good;
    }
    EXPECT_EQ(intact, 0);
}

TEST(FaultInjector, TheSameSeedGivesTheSameFaultsAtTheSetRate) {
    auto mixed = [](quint32 seed) {
        FaultInjector f(seed);
        for (int i = 0; i < krvsim::FaultCount; ++i)
            f.SetRate(Fault(i), 0.3);
        return f;
    };
    FaultInjector a = mixed(42), b = mixed(42), c = mixed(43);
    const QList<Emissions> runA = ApplyMany(a, 2000);
    EXPECT_EQ(runA, ApplyMany(b, 2000));
    EXPECT_NE(runA, ApplyMany(c, 2000));
    a.SetSeed(42);
    EXPECT_EQ(ApplyMany(a, 2000), runA);
    EXPECT_NEAR(runA.count(Emissions()) / 2000.0, 0.3, 0.03);
}

TEST(FaultInjector, ChangingOneRateDoesNotReshuffleTheOthers) {
    FaultInjector a = Only(Fault::Drop, 0.5, 9), b = Only(Fault::Drop, 0.5, 9);
    b.SetRate(Fault::Duplicate, 0.5);
    const QList<Emissions> runA = ApplyMany(a, 300), runB = ApplyMany(b, 300);
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(runA[i].isEmpty(), runB[i].isEmpty()) << i;
}

} // namespace
