#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// A frame on the wire: "<" payload ">" two upper-case hex checksum digits, CR, LF. The checksum is
// the two's complement of the 8-bit sum of every byte from "<" to ">".

inline constexpr int MaxBracketedLength = 128;
// Characters the receive buffer holds without a ">" before it gives up on them.
inline constexpr int MaxRxBuffer = 4096;

// Protocol text is one byte per character: the low 8 bits going out, the byte value coming in.
QByteArray ToWireBytes(QStringView text);
QString FromWireBytes(QByteArrayView bytes);

quint8 FrameChecksum(QByteArrayView bytes);
QByteArray HexByte(quint8 value);
// Two upper-case hexadecimal digits; anything else (lower case included) is no checksum at all.
// Plain digit arithmetic would let a lower-case first digit pass, since 16 x ('c' - 'C') wraps to 0.
std::optional<quint8> HexPairToByte(char high, char low);

// The whole frame with CR LF, or nothing when the bracketed text exceeds 128 characters.
std::optional<QByteArray> BuildFrame(QByteArrayView payload);

struct TParsedFrame {
    bool Good = false;
    QByteArray Text; // "<" payload ">" for a good frame; whatever was buffered for a bad one
};

// The receive state machine. RxState: -2 idle, -1 inside a frame, 0 and 1 count the characters
// after ">". Characters other than CR and LF are buffered in every state, so that noise before a
// "<" takes part in the next frame's checksum and fails it.
class TFrameReceiver {
  public:
    QByteArray RxBuffer;
    qint8 RxState = -2;

    // Returns the checked frame when the second character after ">" arrives.
    std::optional<TParsedFrame> Feed(char c);
    void Reset() {
        RxBuffer.resize(0); // keeps its room: the next frame goes in without growing it again
        RxState = -2;
    }

  private:
    TParsedFrame Parse() const;
};
