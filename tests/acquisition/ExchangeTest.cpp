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

    void Write(std::initializer_list<TKeyValStr> pairs) {
        exchange.Write(std::span(pairs.begin(), pairs.size()));
    }
    void Answer(const QByteArray& payload) { port.Receive(Frame(payload)); }
};

TEST_F(ExchangeTest, ReadRequestStopsAtTheFirstEmptyKey) {
    const QString keys[] = {"M01", "M05", "", "M06"};
    exchange.Read(keys);
    EXPECT_EQ(port.TakeWritten(), Frame("RD,M01,M05,"));
    EXPECT_EQ(exchange.LastRequest()[3], (TKeyValStr{"M06", ""}));
}

TEST_F(ExchangeTest, WriteRequestStopsAtTheFirstEmptyKeyOrValue) {
    Write({{"E12", "0.5"}, {"E13", ""}, {"E14", "2"}});
    EXPECT_EQ(port.TakeWritten(), Frame("RW,E12=0.5,"));
    Write({{"E12", "0.5"}, {"", "1"}, {"E14", "2"}});
    EXPECT_EQ(port.TakeWritten(), Frame("RW,E12=0.5,"));
}

TEST_F(ExchangeTest, TwentyShortPairsGoInOneWriteRequest) {
    QByteArray expected = "RW,";
    std::vector<TKeyValStr> pairs;
    for (int i = 0; i < PairCapacity + 1; ++i) {
        pairs.push_back({QStringLiteral("A%1").arg(10 + i), "1"});
        if (i < PairCapacity) expected += "A" + QByteArray::number(10 + i) + "=1,";
    }
    exchange.Write(pairs);
    EXPECT_EQ(port.TakeWritten(), Frame(expected)) << "a twenty-first pair has no place";
}

TEST_F(ExchangeTest, PairThatWouldReach128CharactersAndAllAfterItAreLeftOut) {
    const QString longVal(100, '7');
    // 104 characters of text; the 24-character pair would bring it to 128, the short one would fit.
    Write({{"K1", longVal}, {"K2", QString(20, '8')}, {"K3", "1"}});
    EXPECT_EQ(port.TakeWritten(), Frame("RW,K1=" + longVal.toLatin1() + ","));
}

TEST_F(ExchangeTest, WriteFrameOverTheLinkLimitIsNotSentAtAll) {
    // "<RW,K=" + value + ",>" is 128 characters with a 120-character value.
    Write({{"K", QString(120, '1')}});
    EXPECT_EQ(port.TakeWritten().size(), 128 + 4);

    Answer("AW,K=1,");
    ASSERT_TRUE(exchange.AnswerReceived());
    Write({{"K", QString(121, '1')}});
    EXPECT_TRUE(port.TakeWritten().isEmpty());
    EXPECT_FALSE(exchange.AnswerReceived()) << "the caller sees no answer";
    EXPECT_EQ(exchange.LastAnswer()[0], TKeyValStr{});
}

TEST_F(ExchangeTest, OnlyTheFirstAnswerAfterASendIsKept) {
    Answer("AD,E12=7,");
    EXPECT_FALSE(exchange.AnswerReceived()) << "nothing was asked yet";
    Write({{"E12", "0.5"}});
    Answer("XX,E12=9,");
    EXPECT_FALSE(exchange.AnswerReceived()) << "other codes are ignored";
    EXPECT_EQ(exchange.LastAnswer()[0], TKeyValStr{});

    Answer("AD,E12=1,");
    Answer("AW,E12=0.5,E13=2,");
    EXPECT_TRUE(exchange.AnswerReceived());
    EXPECT_EQ(exchange.LastAnswer()[0], (TKeyValStr{"E12", "1"}));
    EXPECT_EQ(exchange.LastAnswer()[1], TKeyValStr{});
}

TEST_F(ExchangeTest, NewSendClearsThePreviousAnswer) {
    const QString keys[] = {"M01"};
    exchange.Read(keys);
    Answer("AD,M01=2.5,M05=90,");
    ASSERT_TRUE(exchange.AnswerReceived());
    exchange.Read(keys);
    EXPECT_FALSE(exchange.AnswerReceived());
    EXPECT_EQ(exchange.LastAnswer()[0], TKeyValStr{});
    EXPECT_EQ(exchange.LastAnswer()[1], TKeyValStr{});
    Answer("AD,M01=3.5,");
    EXPECT_EQ(exchange.LastAnswer()[0], (TKeyValStr{"M01", "3.5"}));
}

// Each holder ends its own pause and no one else's, however the pauses interleave.
TEST_F(ExchangeTest, APauseEndsOnlyByItsOwnHolder) {
    TPollingPause write = exchange.PausePolling();
    {
        TPollingPause calibration = exchange.PausePolling();
        write.Release();
        write.Release();
        EXPECT_FALSE(exchange.PollingAllowed()) << "a second release of one pause ends no other";
        write = exchange.PausePolling();
        calibration = exchange.PausePolling();
        calibration.Release();
        EXPECT_FALSE(exchange.PollingAllowed()) << "renewing a pause holds it once";
        calibration = exchange.PausePolling();
        TPollingPause moved = std::move(calibration);
        EXPECT_FALSE(calibration.Held());
        calibration.Release();
        write.Release();
        EXPECT_FALSE(exchange.PollingAllowed()) << "the pause went with the move";
    }
    EXPECT_TRUE(exchange.PollingAllowed()) << "a holder that goes ends its pause";
}

// The two rules the callers judge answers by: the calibration's sends (a pair the answer lacks is
// wrong) and the write window's (a pair the answer lacks is skipped, but some must come back).
struct VerifyCase {
    const char* name;
    std::vector<TKeyValStr> sent;
    const char* answer; // nullptr: none arrived
    int count;
    bool sendsOk;
    const char* sendsFindings;
    bool windowOk;
    const char* windowFindings;
};

void PrintTo(const VerifyCase& c, std::ostream* os) {
    *os << c.name;
}

class VerifyTest : public ExchangeTest, public ::testing::WithParamInterface<VerifyCase> {
  protected:
    // "K", "V" or "U" (key, value, unreadable) with the sent and the answered key, space-separated.
    std::string Findings(const TVerification& v) {
        QStringList items;
        for (const TMismatch& m : v.Mismatches)
            items << QStringLiteral("%1:%2?%3")
                         .arg(QString("KVU")[int(m.Kind)])
                         .arg(m.Sent.Key + u'=' + m.Sent.Val, m.Told.Key + u'=' + m.Told.Val);
        return items.join(' ').toStdString();
    }
};

TEST_P(VerifyTest, JudgesTheLastAnswerByThePolicyGiven) {
    const VerifyCase& c = GetParam();
    exchange.Write(c.sent);
    if (c.answer) Answer(QByteArray("AW,") + c.answer);
    using TSkip = TVerifyPolicy::TSkip;
    const TVerification sends = exchange.Verify({c.count, TSkip::EmptyRequestKey, false});
    EXPECT_EQ(sends.Ok, c.sendsOk);
    EXPECT_EQ(Findings(sends), c.sendsFindings);
    const TVerification window = exchange.Verify({c.count, TSkip::EmptyAnswerKey, true});
    EXPECT_EQ(window.Ok, c.windowOk);
    EXPECT_EQ(Findings(window), c.windowFindings);
}

const std::vector<TKeyValStr> TwoPairs = {{"E12", "0.5"}, {"E14", "2"}};
const std::vector<TKeyValStr> ThreePairs = {{"E1", "1"}, {"E2", "2"}, {"E3", "3"}};

INSTANTIATE_TEST_SUITE_P(
    Answers, VerifyTest,
    ::testing::Values(
        VerifyCase{"same", TwoPairs, "E12=0.50,E14=2.0,", 2, true, "", true, ""},
        VerifyCase{"swapped", TwoPairs, "E14=2,E12=0.5,", 2, false, "K:E12=0.5?E14=2 K:E14=2?E12=0.5", false,
                   "K:E12=0.5?E14=2 K:E14=2?E12=0.5"},
        VerifyCase{"none", TwoPairs, nullptr, 2, false, "K:E12=0.5?= K:E14=2?=", false, ""},
        VerifyCase{"short", TwoPairs, "E12=0.5,", 2, false, "K:E14=2?=", true, ""},
        VerifyCase{"longer", ThreePairs, "E1=1,E2=2,E3=3,E4=9,", 5, true, "", false, "K:=?E4=9"},
        VerifyCase{"third compared", ThreePairs, "E1=1,E2=2,E3=4,", 5, false, "V:E3=3?E3=4", false,
                   "V:E3=3?E3=4"},
        VerifyCase{"third not compared", ThreePairs, "E1=1,E2=2,E3=4,", 2, true, "", true, ""},
        VerifyCase{"nothing compared", TwoPairs, nullptr, 0, true, "", true, ""},
        VerifyCase{"unreadable answer",
                   {{"E12", "0.5"}},
                   "E12=abc,",
                   1,
                   true,
                   "U:E12=0.5?E12=abc",
                   true,
                   "U:E12=0.5?E12=abc"},
        VerifyCase{"unreadable request",
                   {{"E12", "abc"}},
                   "E12=0.5,",
                   1,
                   true,
                   "U:E12=abc?E12=0.5",
                   true,
                   "U:E12=abc?E12=0.5"},
        VerifyCase{"other value",
                   {{"E12", "0.5"}},
                   "E12=0.6,",
                   1,
                   false,
                   "V:E12=0.5?E12=0.6",
                   false,
                   "V:E12=0.5?E12=0.6"},
        VerifyCase{"keys are exact",
                   {{"E12", "0.5"}},
                   "e12=0.5,",
                   1,
                   false,
                   "K:E12=0.5?e12=0.5",
                   false,
                   "K:E12=0.5?e12=0.5"},
        VerifyCase{"single precision", {{"E12", "0.1"}}, "E12=0.100000001,", 1, true, "", true, ""},
        VerifyCase{"sign", {{"E12", "1"}}, "E12=-1,", 1, false, "V:E12=1?E12=-1", false, "V:E12=1?E12=-1"}),
    [](const auto& info) {
        QString name = QString::fromLatin1(info.param.name);
        return name.replace(' ', '_').toStdString();
    });

} // namespace
