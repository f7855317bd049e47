#include "link/FrameCodec.h"

QByteArray ToWireBytes(QStringView text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = char(text[i].unicode() & 0xFF);
    return bytes;
}

QString FromWireBytes(QByteArrayView bytes) {
    return QString::fromLatin1(bytes);
}

quint8 FrameChecksum(QByteArrayView bytes) {
    quint8 sum = 0;
    for (char c : bytes)
        sum = quint8(sum + quint8(c));
    return quint8(-sum);
}

QByteArray HexByte(quint8 value) {
    static const char digits[] = "0123456789ABCDEF";
    const char pair[2] = {digits[value >> 4], digits[value & 0x0F]};
    return QByteArray(pair, 2);
}

std::optional<quint8> HexPairToByte(char high, char low) {
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    const int h = digit(high), l = digit(low);
    if (h < 0 || l < 0) return std::nullopt;
    return quint8(h * 16 + l);
}

std::optional<QByteArray> BuildFrame(QByteArrayView payload) {
    if (payload.size() + 2 > MaxBracketedLength) return std::nullopt;
    QByteArray frame;
    frame.reserve(payload.size() + 6);
    frame += '<';
    frame += payload;
    frame += '>';
    frame += HexByte(FrameChecksum(frame));
    frame += "\r\n";
    return frame;
}

std::optional<TParsedFrame> TFrameReceiver::Feed(char c) {
    if (c != '\r' && c != '\n') RxBuffer += c;
    if (c == '<') {
        RxState = -1;
    } else if (c == '>') {
        RxState = 0;
    } else if (RxState >= 0) {
        if (++RxState == 2) {
            TParsedFrame frame = Parse();
            Reset();
            return frame;
        }
    }
    // A stream that never closes a frame must not grow memory without end.
    if (RxBuffer.size() > MaxRxBuffer) Reset();
    return std::nullopt;
}

TParsedFrame TFrameReceiver::Parse() const {
    if (RxBuffer.size() < 2) return {false, RxBuffer};
    const qsizetype n = RxBuffer.size() - 2;
    const std::optional<quint8> received = HexPairToByte(RxBuffer[n], RxBuffer[n + 1]);
    QByteArray text = RxBuffer.left(n);
    return {received && FrameChecksum(text) == *received, text};
}
