#include "acquisition/Exchange.h"
#include "acquisition/MeasurementStore.h"
#include "link/DeviceLink.h"
#include "support/FakeSerialPort.h"
#include "support/RecordingPrompts.h"
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace {

QByteArray Frame(const QByteArray& payload) {
    return BuildFrame(payload).value();
}

class ExchangeTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingPrompts prompts;
    TDeviceLink link{port, prompts, prompts, dir.path()};
    TExchange exchange{link};

    void SetUp() override { ASSERT_TRUE(link.OpenLink()); }

    void SetRequest(std::initializer_list<TKeyValStr> pairs) {
        exchange.ClearRequest();
        int i = 0;
        for (const TKeyValStr& p : pairs)
            exchange.Request[i++] = p;
    }
    void Answer(const QByteArray& payload) { port.Receive(Frame(payload)); }
};

TEST_F(ExchangeTest, ReadRequestStopsAtTheFirstEmptyKey) {
    SetRequest({{"M01", ""}, {"M05", ""}, {"", ""}, {"M06", ""}});
    exchange.SendReadRequest();
    EXPECT_EQ(port.TakeWritten(), Frame("RD,M01,M05,"));
}

TEST_F(ExchangeTest, WriteRequestStopsAtTheFirstEmptyKeyOrValue) {
    SetRequest({{"E12", "0.5"}, {"E13", ""}, {"E14", "2"}});
    exchange.SendWriteRequest();
    EXPECT_EQ(port.TakeWritten(), Frame("RW,E12=0.5,"));
    SetRequest({{"E12", "0.5"}, {"", "1"}, {"E14", "2"}});
    exchange.SendWriteRequest();
    EXPECT_EQ(port.TakeWritten(), Frame("RW,E12=0.5,"));
}

TEST_F(ExchangeTest, TwentyShortPairsGoInOneWriteRequest) {
    QByteArray expected = "RW,";
    for (int i = 0; i < PairCapacity; ++i) {
        exchange.Request[i] = {QStringLiteral("A%1").arg(10 + i), "1"};
        expected += "A" + QByteArray::number(10 + i) + "=1,";
    }
    exchange.SendWriteRequest();
    EXPECT_EQ(port.TakeWritten(), Frame(expected));
}

TEST_F(ExchangeTest, PairThatWouldReach128CharactersAndAllAfterItAreLeftOut) {
    const QString longVal(100, '7');
    // 104 characters of text; the 24-character pair would bring it to 128, the short one would fit.
    SetRequest({{"K1", longVal}, {"K2", QString(20, '8')}, {"K3", "1"}});
    exchange.SendWriteRequest();
    EXPECT_EQ(port.TakeWritten(), Frame("RW,K1=" + longVal.toLatin1() + ","));
}

TEST_F(ExchangeTest, WriteFrameOverTheLinkLimitIsNotSentAtAll) {
    // "<RW,K=" + value + ",>" is 128 characters with a 120-character value.
    SetRequest({{"K", QString(120, '1')}});
    exchange.SendWriteRequest();
    EXPECT_EQ(port.TakeWritten().size(), 128 + 4);

    Answer("AW,K=1,");
    ASSERT_TRUE(exchange.ResponseReceived);
    SetRequest({{"K", QString(121, '1')}});
    exchange.SendWriteRequest();
    EXPECT_TRUE(port.TakeWritten().isEmpty());
    EXPECT_FALSE(exchange.ResponseReceived) << "the caller sees no answer";
    EXPECT_EQ(exchange.Response[0], TKeyValStr{});
}

TEST_F(ExchangeTest, AnswerIsComparedByPosition) {
    SetRequest({{"E12", "0.5"}, {"E14", "2"}});
    exchange.SendWriteRequest();
    EXPECT_EQ(port.TakeWritten(), Frame("RW,E12=0.5,E14=2,"));
    Answer("AW,E12=0.5,E14=2,");
    EXPECT_TRUE(exchange.ResponseReceived);
    EXPECT_EQ(exchange.Response[0], (TKeyValStr{"E12", "0.5"}));
    EXPECT_EQ(exchange.Response[1], (TKeyValStr{"E14", "2"}));
    EXPECT_TRUE(exchange.ResponseMatches(2));

    exchange.SendWriteRequest();
    Answer("AW,E14=2,E12=0.5,");
    EXPECT_FALSE(exchange.ResponseMatches(2));
}

TEST_F(ExchangeTest, CountBeyondTheFilledPairsComparesOnlyTheFilledOnes) {
    SetRequest({{"E1", "1"}, {"E2", "2"}, {"E3", "3"}});
    exchange.SendWriteRequest();
    Answer("AW,E1=1,E2=2,E3=3,E4=9,");
    EXPECT_TRUE(exchange.ResponseMatches(5));

    exchange.SendWriteRequest();
    Answer("AW,E1=1,E2=2,E3=4,");
    EXPECT_TRUE(exchange.ResponseMatches(2));
    EXPECT_FALSE(exchange.ResponseMatches(5)) << "the third pair is compared";
}

TEST_F(ExchangeTest, NoAnswerDoesNotMatch) {
    SetRequest({{"E12", "0.5"}});
    exchange.SendWriteRequest();
    EXPECT_FALSE(exchange.ResponseReceived);
    EXPECT_FALSE(exchange.ResponseMatches(1));
}

TEST_F(ExchangeTest, OnlyTheFirstAnswerAfterASendIsKept) {
    SetRequest({{"E12", "0.5"}});
    exchange.SendWriteRequest();
    Answer("XX,E12=9,");
    EXPECT_FALSE(exchange.ResponseReceived) << "other codes are ignored";
    EXPECT_EQ(exchange.Response[0], TKeyValStr{});

    Answer("AD,E12=1,");
    Answer("AW,E12=0.5,E13=2,");
    EXPECT_TRUE(exchange.ResponseReceived);
    EXPECT_EQ(exchange.Response[0], (TKeyValStr{"E12", "1"}));
    EXPECT_EQ(exchange.Response[1], TKeyValStr{});
}

TEST_F(ExchangeTest, NewSendClearsThePreviousAnswer) {
    SetRequest({{"M01", ""}});
    exchange.SendReadRequest();
    Answer("AD,M01=2.5,M05=90,");
    ASSERT_TRUE(exchange.ResponseReceived);
    exchange.SendReadRequest();
    EXPECT_FALSE(exchange.ResponseReceived);
    EXPECT_EQ(exchange.Response[0], TKeyValStr{});
    EXPECT_EQ(exchange.Response[1], TKeyValStr{});
    Answer("AD,M01=3.5,");
    EXPECT_EQ(exchange.Response[0], (TKeyValStr{"M01", "3.5"}));
}

struct MatchCase {
    const char* requested;
    const char* answer;
    bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* os) {
    *os << "E12=" << c.requested << " answered " << c.answer;
}

class ResponseMatchesTest : public ExchangeTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(ResponseMatchesTest, ComparesKeysExactlyAndValuesInSinglePrecision) {
    SetRequest({{"E12", GetParam().requested}});
    exchange.SendWriteRequest();
    Answer(QByteArray("AW,") + GetParam().answer);
    EXPECT_EQ(exchange.ResponseMatches(1), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ResponseMatchesTest,
    ::testing::Values(MatchCase{"0.5", "E12=0.5,", true}, MatchCase{"0.5", "E12=0.50,", true},
                      MatchCase{"0.5", "E12=0.6,", false}, MatchCase{"0.5", "E13=0.5,", false},
                      MatchCase{"0.5", "e12=0.5,", false}, MatchCase{"0.5", "E12=abc,", true},
                      MatchCase{"abc", "E12=0.5,", true}, MatchCase{"0.1", "E12=0.100000001,", true},
                      MatchCase{"1", "E12=1.0,", true}, MatchCase{"1", "E12=-1,", false}));

} // namespace
