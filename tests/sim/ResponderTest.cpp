#include "model/Responder.h"
#include "sim/SimTestSupport.h"
#include <gmock/gmock.h>

using krvsim::Emission;
using krvsim::Fault;

namespace {

const QByteArray kReadM01 = "<RD,M01,>EA\r\n";
const QByteArray kAnswerM01 = "AD,M01=2.500,";

class ResponderTest : public ::testing::Test {
  protected:
    krvsim::InstrumentModel model;
    krvsim::FaultInjector faults;
    krvsim::Responder responder{model, faults};

    QByteArrayList Answers(QByteArrayView bytes) {
        QByteArrayList out;
        for (const Emission& e : responder.Feed(bytes))
            out.append(e.Bytes);
        return out;
    }
};

TEST_F(ResponderTest, AnswersARequestWithAWellFormedFrame) {
    const QByteArrayList answers = Answers(kReadM01);
    ASSERT_EQ(answers.size(), 1);
    EXPECT_TRUE(simtest::WireFrameOk(answers[0])) << answers[0].constData();
    EXPECT_EQ(simtest::WirePayload(answers[0]), kAnswerM01);
}

TEST_F(ResponderTest, ARequestArrivingByteByByteIsAnsweredOnceAtItsSecondChecksumDigit) {
    for (qsizetype i = 0; i < kReadM01.size(); ++i)
        EXPECT_EQ(Answers(kReadM01.sliced(i, 1)).size(), i == kReadM01.size() - 3 ? 1 : 0) << i;
}

TEST_F(ResponderTest, BackToBackRequestsAreAnsweredInOrder) {
    EXPECT_EQ(Answers("\r\n" + kReadM01 + *BuildFrame("RW,E1=x,")),
              QByteArrayList({*BuildFrame(kAnswerM01), *BuildFrame("AW,E1=x,")}));
}

TEST_F(ResponderTest, SpoiltFramesGetNoAnswerAndTheNextFrameIsServed) {
    QList<bool> checked;
    responder.OnFrame = [&](const TParsedFrame& f) { checked.append(f.Good); };
    EXPECT_TRUE(Answers("<RD,M01,>EB\r\n").isEmpty());
    EXPECT_TRUE(Answers("<RD,M01,>ea\r\n").isEmpty());
    // Noise before a frame takes part in its checksum.
    EXPECT_TRUE(Answers("xz!" + kReadM01).isEmpty());
    EXPECT_EQ(Answers(kReadM01).size(), 1);
    EXPECT_EQ(checked, QList<bool>({false, false, false, true}));
}

TEST_F(ResponderTest, JunkClosedBeforeTheRequestLeavesTheRequestIntact) {
    // The junk's ">" and the two characters after it make a bad frame of their own.
    EXPECT_EQ(Answers("#junk>zz" + kReadM01).size(), 1);
}

TEST_F(ResponderTest, AGoodFrameThatIsNotARequestGetsNoAnswer) {
    EXPECT_TRUE(Answers(*BuildFrame("AD,M01=1,")).isEmpty());
    EXPECT_TRUE(Answers(*BuildFrame("")).isEmpty());
}

TEST_F(ResponderTest, AnswersPassThroughTheFaultInjector) {
    faults.SetRate(Fault::Delay, 1);
    faults.SetDelayMs(40);
    faults.SetRate(Fault::Duplicate, 1);
    const QByteArray frame = *BuildFrame(kAnswerM01);
    EXPECT_EQ(responder.Feed(kReadM01), QList<Emission>({{40, frame}, {40, frame}}));
    faults.SetRate(Fault::Drop, 1);
    EXPECT_TRUE(responder.Feed(kReadM01).isEmpty());
}

} // namespace
