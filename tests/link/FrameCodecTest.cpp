#include "link/FrameCodec.h"
#include <QList>
#include <gmock/gmock.h>

namespace {

QList<TParsedFrame> FeedAll(TFrameReceiver& rx, QByteArrayView bytes) {
    QList<TParsedFrame> frames;
    for (char c : bytes)
        if (auto f = rx.Feed(c)) frames << *f;
    return frames;
}

TEST(BuildFrame, AppendsUpperCaseChecksumAndCrLf) {
    EXPECT_EQ(BuildFrame("RD,M01,"), QByteArray("<RD,M01,>EA\r\n"));
    EXPECT_EQ(BuildFrame("RD,M01,M05,M06,M07,M08,M09,M11,C01,C11,C16,"),
              QByteArray("<RD,M01,M05,M06,M07,M08,M09,M11,C01,C11,C16,>38\r\n"));
}

TEST(BuildFrame, ZeroPadsTheChecksum) {
    // Find a payload whose checksum is below 0x10 and check it keeps two digits.
    for (int c = 0x20; c < 0x7F; ++c) {
        QByteArray payload = QByteArray("X") + char(c);
        QByteArray frame = *BuildFrame(payload);
        if (FrameChecksum(frame.left(frame.size() - 4)) < 0x10) {
            EXPECT_EQ(frame.mid(frame.size() - 4, 1), "0");
            return;
        }
    }
    FAIL() << "no payload with a small checksum in the range tried";
}

TEST(FrameChecksum, MakesTheByteSumZero) {
    const QByteArray text = "<AD,M01=1.234,>";
    quint8 sum = FrameChecksum(text);
    for (char c : text)
        sum = quint8(sum + quint8(c));
    EXPECT_EQ(sum, 0);
    EXPECT_EQ(HexByte(FrameChecksum(text)), "C6");
}

TEST(HexPairToByte, OnlyUpperCaseDigitsAreAChecksum) {
    EXPECT_EQ(HexPairToByte('C', '6'), 0xC6);
    EXPECT_EQ(HexPairToByte('0', '5'), 0x05);
    EXPECT_EQ(HexPairToByte('F', 'F'), 0xFF);
    EXPECT_EQ(HexPairToByte('c', '6'), std::nullopt);
    EXPECT_EQ(HexPairToByte('C', 'f'), std::nullopt);
    EXPECT_EQ(HexPairToByte(',', '>'), std::nullopt);
}

TEST(WireBytes, OneBytePerCharacterBothWays) {
    const QString text = QString::fromLatin1("\xB0\xFF") + QChar(0x3042);
    EXPECT_EQ(ToWireBytes(text), QByteArray("\xB0\xFF\x42"));
    EXPECT_EQ(FromWireBytes(QByteArray("\xB0\xFF")), QString::fromLatin1("\xB0\xFF"));
}

const QByteArray GoodFrame = "<AD,M01=1.234,>C6\r\n";

TEST(FrameReceiver, SplitAtAnyPointGivesExactlyOneFrame) {
    for (int split = 0; split <= GoodFrame.size(); ++split) {
        TFrameReceiver rx;
        auto frames = FeedAll(rx, GoodFrame.left(split));
        frames += FeedAll(rx, GoodFrame.mid(split));
        ASSERT_EQ(frames.size(), 1) << "split at " << split;
        EXPECT_TRUE(frames[0].Good);
        EXPECT_EQ(frames[0].Text, "<AD,M01=1.234,>");
        EXPECT_EQ(rx.RxState, -2);
        EXPECT_TRUE(rx.RxBuffer.isEmpty());
    }
}

TEST(FrameReceiver, FrameIsParsedAtTheSecondCharacterAfterTheBracket) {
    TFrameReceiver rx;
    EXPECT_TRUE(FeedAll(rx, "<AD,M01=1.234,>C").isEmpty());
    EXPECT_EQ(rx.RxState, 1);
    EXPECT_EQ(FeedAll(rx, "6").size(), 1);
    // CR LF after the frame are neither stored nor counted once idle.
    EXPECT_TRUE(FeedAll(rx, "\r\n").isEmpty());
    EXPECT_TRUE(rx.RxBuffer.isEmpty());
}

// One bad frame each: a lower-case checksum; none, so that "," and ">" are read as its digits; a
// closing bracket with only the line end after it.
TEST(FrameReceiver, BadFramesKeepTheirText) {
    const std::pair<QByteArray, QString> cases[] = {{"<AD,M01=1.234,>c6\r\n", "<AD,M01=1.234,>"},
                                                    {"<AD,M01=1.234,>\r\n", "<AD,M01=1.234"},
                                                    {">\r\n", ">"}};
    for (const auto& [bytes, text] : cases) {
        TFrameReceiver rx;
        auto frames = FeedAll(rx, bytes);
        ASSERT_EQ(frames.size(), 1) << bytes.constData();
        EXPECT_FALSE(frames[0].Good) << bytes.constData();
        EXPECT_EQ(frames[0].Text, text);
    }
}

TEST(FrameReceiver, NoiseBeforeAFrameFailsThatFrameOnly) {
    TFrameReceiver rx;
    auto frames = FeedAll(rx, "x" + GoodFrame + GoodFrame);
    ASSERT_EQ(frames.size(), 2);
    EXPECT_FALSE(frames[0].Good);
    EXPECT_EQ(frames[0].Text, "x<AD,M01=1.234,>");
    EXPECT_TRUE(frames[1].Good);
}

TEST(FrameReceiver, StateTableTransitions) {
    struct Step {
        char c;
        qint8 state;
    };
    const Step steps[] = {{'a', -2}, {'<', -1}, {'<', -1}, {'b', -1}, {'>', 0}, {'>', 0},
                          {'<', -1}, {'>', 0},  {'1', 1},  {'>', 0},  {'1', 1}, {'<', -1}};
    TFrameReceiver rx;
    for (const Step& s : steps) {
        EXPECT_FALSE(rx.Feed(s.c).has_value());
        EXPECT_EQ(rx.RxState, s.state) << "after '" << s.c << "'";
    }
}

TEST(FrameReceiver, GarbageWithoutClosingBracketIsBounded) {
    TFrameReceiver rx;
    FeedAll(rx, "<" + QByteArray(MaxRxBuffer - 1, 'z'));
    EXPECT_EQ(rx.RxBuffer.size(), MaxRxBuffer);
    FeedAll(rx, "z");
    EXPECT_TRUE(rx.RxBuffer.isEmpty());
    EXPECT_EQ(rx.RxState, -2);
    // After the drop, a clean frame comes through.
    auto frames = FeedAll(rx, GoodFrame);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_TRUE(frames[0].Good);
}

} // namespace
