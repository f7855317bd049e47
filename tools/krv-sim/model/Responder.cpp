#include "model/Responder.h"

namespace krvsim {

QList<Emission> Responder::Feed(QByteArrayView bytes) {
    QList<Emission> out;
    for (char c : bytes) {
        const std::optional<TParsedFrame> frame = receiver_.Feed(c);
        if (!frame) continue;
        if (OnFrame) OnFrame(*frame);
        if (frame->Good) out += Answer(frame->Text);
    }
    return out;
}

QList<Emission> Responder::Answer(const QByteArray& text) {
    // A good frame may still carry bytes before its "<" if they happened to sum to zero; the
    // command starts after the last "<".
    const qsizetype open = text.lastIndexOf('<');
    if (open < 0 || !text.endsWith('>')) return {};
    const QByteArrayView payload = QByteArrayView(text).sliced(open + 1, text.size() - open - 2);
    const QByteArray answer = model_.HandleFrame(payload);
    if (answer.isEmpty()) return {};
    const std::optional<QByteArray> frame = BuildFrame(answer);
    if (!frame) return {};
    return faults_.Apply(*frame);
}

} // namespace krvsim
