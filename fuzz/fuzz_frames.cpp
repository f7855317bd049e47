// The receive path: arbitrary bytes in arbitrary chunks through the port, the link's receive state
// machine and the exchange's answer handler. Checked against a receiver written here from the
// protocol's table, fed the same bytes one by one: the same frames, good or bad, in the same order,
// whatever the chunks; the link's own state machine within its bounds after every byte; the answer
// taken from the first good "AD," or "AW," frame and from nothing else.
#include "FuzzSupport.h"
#include "acquisition/Exchange.h"
#include "link/DeviceLink.h"
#include "link/FrameCodec.h"
#include "link/PairList.h"
#include "support/FakeSerialPort.h"
#include <array>
#include <string>

namespace {

// The receive table as the protocol gives it, with the two decisions taken on it: the checksum digits
// are upper-case hexadecimal only, and more than MaxRxBuffer characters without a ">" are dropped.
struct TTableReceiver {
    std::string Buffer;
    int State = -2;

    // A frame (good or not, its text) when the second character after ">" arrives.
    std::optional<std::pair<bool, std::string>> Feed(char c) {
        if (c != '\r' && c != '\n') Buffer += c;
        if (c == '<') {
            State = -1;
        } else if (c == '>') {
            State = 0;
        } else if (State >= 0 && ++State == 2) {
            auto frame = Check();
            Buffer.clear();
            State = -2;
            return frame;
        }
        if (Buffer.size() > size_t(MaxRxBuffer)) {
            Buffer.clear();
            State = -2;
        }
        return std::nullopt;
    }

    std::pair<bool, std::string> Check() const {
        if (Buffer.size() < 2) return {false, Buffer};
        const std::string text = Buffer.substr(0, Buffer.size() - 2);
        const std::string digits = Buffer.substr(Buffer.size() - 2);
        unsigned sum = 0;
        for (char c : text)
            sum += static_cast<unsigned char>(c);
        char expected[3];
        std::snprintf(expected, sizeof expected, "%02X", (256 - sum % 256) % 256);
        return {digits == expected, text};
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider fdp(data, size);
    FakeSerialPort port;
    FuzzPrompts prompts;
    TDeviceLink link(port, prompts, prompts, ScratchDir());
    TExchange exchange(link);
    link.SetReceiveLog(true);
    QStringList logged;
    const auto following = link.ReceiveLogLine.Follow([&](const QString& line) { logged << line; });
    FUZZ_CHECK(link.OpenLink(), "the fake port opens");
    exchange.Read({});

    TTableReceiver table;
    TFrameReceiver receiver; // the link's own, watched byte by byte
    QStringList expected;
    std::optional<QString> firstAnswer;
    while (fdp.remaining_bytes() > 0) {
        const size_t chunkSize = fdp.ConsumeIntegralInRange<size_t>(1, 300);
        const std::string chunk = fdp.ConsumeBytesAsString(chunkSize);
        for (char c : chunk) {
            const std::optional<TParsedFrame> parsed = receiver.Feed(c);
            FUZZ_CHECK(receiver.RxBuffer.size() <= MaxRxBuffer,
                       "buffer of " + std::to_string(receiver.RxBuffer.size()));
            FUZZ_CHECK(receiver.RxState >= -2 && receiver.RxState <= 1,
                       "state " + std::to_string(receiver.RxState));
            const auto frame = table.Feed(c);
            FUZZ_CHECK(parsed.has_value() == frame.has_value(), "a frame ends here for one receiver only");
            if (!frame) continue;
            const QString text = QString::fromLatin1(frame->second.data(), qsizetype(frame->second.size()));
            FUZZ_CHECK(parsed->Good == frame->first &&
                           parsed->Text == QByteArray::fromStdString(frame->second),
                       Shown(parsed->Text) + " against " + Shown(QByteArray::fromStdString(frame->second)));
            if (!frame->first) {
                expected << QStringLiteral("SumCheck Error! : ") + text;
                continue;
            }
            expected << text;
            // The handler reads the two characters after the frame's first as the command.
            const QString command = text.mid(1, 2);
            if (!firstAnswer && text.size() >= 4 && (command == u"AD" || command == u"AW"))
                firstAnswer = text;
        }
        port.Receive(QByteArray(chunk.data(), qsizetype(chunk.size())));
    }

    FUZZ_CHECK(logged == expected, "the link saw " + std::to_string(logged.size()) + " frames, one by one " +
                                       std::to_string(expected.size()));
    FUZZ_CHECK(exchange.AnswerReceived() == firstAnswer.has_value(), "answer flag");
    std::array<TKeyValStr, PairCapacity> answer{};
    if (firstAnswer) {
        const QStringView payload = QStringView(*firstAnswer).sliced(1, firstAnswer->size() - 2);
        SplitPairs(payload.size() > 3 ? payload.sliced(3) : QStringView(), answer);
    }
    FUZZ_CHECK(exchange.LastAnswer() == answer, "the answer's pairs");
    FUZZ_CHECK(link.DroppedChunks() == 0, "a chunk dropped");
    return 0;
}
