#include "common/TextFile.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

// Runs iconv over the whole input; where a character cannot be converted (or the input ends inside
// one) a '?' stands for it and conversion resumes after it.
template <typename SkipInvalid>
QByteArray Convert(const char* to, const char* from, const QByteArray& input, SkipInvalid skip) {
    QByteArray output;
    if (input.isEmpty()) return output;
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return output;
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = size_t(input.size());
    const char* const inEnd = in + inLeft;
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        const int error = rc == size_t(-1) ? errno : 0;
        output.append(buffer, out - buffer);
        if (error == EILSEQ || error == EINVAL) {
            output.append('?');
            const size_t step = std::min(skip(in, inEnd), inLeft);
            in += step;
            inLeft -= step;
            iconv(cd, nullptr, nullptr, nullptr, nullptr); // drop any partial state
        } else if (error != 0 && error != E2BIG) {
            break;
        }
    }
    iconv_close(cd);
    return output;
}

size_t Utf8Length(const char* p, const char* end) {
    const auto lead = static_cast<unsigned char>(*p);
    size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return std::min(n, size_t(end - p));
}

} // namespace

QByteArray ToCp932(const QString& text) {
    return Convert("CP932", "UTF-8", text.toUtf8(), Utf8Length);
}

QString FromCp932(const QByteArray& bytes) {
    // A byte that starts no valid character is replaced alone; what follows it may still be text.
    const QByteArray utf8 =
        Convert("UTF-8", "CP932", bytes, [](const char*, const char*) { return size_t(1); });
    return QString::fromUtf8(utf8);
}

QByteArray EncodeLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += ToCp932(line);
        bytes += "\r\n";
    }
    return bytes;
}

FileResult AppendLines(const QString& path, const QStringList& lines) {
    const QByteArray bytes = EncodeLines(lines);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return FileResult::Failure(file.errorString());
    if (file.write(bytes) != bytes.size()) return FileResult::Failure(file.errorString());
    // Buffered data reaches the disk only here, so a full disk shows up at the flush.
    if (!file.flush()) return FileResult::Failure(file.errorString());
    file.close();
    return {};
}

FileResult ReplaceFile(const QString& path, const QStringList& lines) {
    return ReplaceFileBytes(path, EncodeLines(lines));
}

FileResult ReplaceFileBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return FileResult::Failure(file.errorString());
    // commit() does not notice a failure to flush its buffer (Qt 6.4) and would put a short file in
    // place; flushing first catches it, and the destructor then drops the temporary file.
    if (file.write(bytes) != bytes.size() || !file.flush()) return FileResult::Failure(file.errorString());
    if (!file.commit()) return FileResult::Failure(file.errorString());
    return {};
}

FileResult ReadLines(const QString& path, QStringList& lines) {
    lines.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return FileResult::Failure(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return FileResult::Failure(file.errorString());
    const QString text = FromCp932(bytes);
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.append(text.mid(start));
    return {};
}
