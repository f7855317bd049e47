#include "common/TextFile.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <unistd.h>

namespace {

struct TConversion {
    QByteArray Output;
    int Replaced = 0;
    const char* FirstBad = nullptr; // where the first unconvertible input started
    bool Opened = true;
};

// Runs iconv over the whole input; where a character cannot be converted (or the input ends inside
// one) a '?' stands for it and conversion resumes after it.
template <typename SkipInvalid>
TConversion Convert(const char* to, const char* from, const QByteArray& input, SkipInvalid skip) {
    TConversion result;
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) {
        result.Opened = false;
        return result;
    }
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = size_t(input.size());
    const char* const inEnd = in + inLeft;
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        const int error = rc == size_t(-1) ? errno : 0;
        result.Output.append(buffer, out - buffer);
        if (error == EILSEQ || error == EINVAL) {
            if (!result.FirstBad) result.FirstBad = in;
            ++result.Replaced;
            result.Output.append('?');
            const size_t step = std::min(skip(in, inEnd), inLeft);
            in += step;
            inLeft -= step;
            iconv(cd, nullptr, nullptr, nullptr, nullptr); // drop any partial state
        } else if (error != 0 && error != E2BIG) {
            // Not a character's fault: nothing more can be converted.
            result.Opened = false;
            break;
        }
    }
    iconv_close(cd);
    return result;
}

size_t Utf8Length(const char* p, const char* end) {
    const auto lead = static_cast<unsigned char>(*p);
    size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return std::min(n, size_t(end - p));
}

// How a file ends: its last byte, and where a torn last line (one without its end, preceded by a
// whole line not far back) would be cut off; -1 where nothing is to be cut.
struct TTornTail {
    char Last = '\n';
    qint64 CutTo = -1;
};

TTornTail ReadTornTail(int fd, qint64 size) {
    TTornTail tail;
    if (::pread(fd, &tail.Last, 1, size - 1) != 1 || tail.Last == '\n' || tail.Last == '\r') return tail;
    // Longer than any row or header line the program writes: a longer last line is not one of its
    // rows cut short, and is kept.
    constexpr qint64 longestLine = 4096;
    const qint64 from = std::max<qint64>(0, size - longestLine);
    QByteArray end(size - from, Qt::Uninitialized);
    if (::pread(fd, end.data(), size_t(end.size()), from) != end.size()) return tail;
    const qsizetype lineEnd = end.lastIndexOf('\n');
    if (lineEnd >= 0) tail.CutTo = from + lineEnd + 1;
    return tail;
}

QString ConverterMissing(const char* direction) {
    return QStringLiteral("The CP932 converter is not available (%1)").arg(QLatin1String(direction));
}

} // namespace

TCp932Bytes ToCp932(const QString& text, TUnmappable mode) {
    const QByteArray utf8 = text.toUtf8();
    const TConversion c = Convert("CP932", "UTF-8", utf8, Utf8Length);
    if (!c.Opened) return {{}, 0, ConverterMissing("to CP932")};
    if (c.Replaced > 0 && mode == TUnmappable::Refuse) {
        const qsizetype at = c.FirstBad - utf8.constData();
        const QString bad =
            QString::fromUtf8(utf8.mid(at, qsizetype(Utf8Length(c.FirstBad, utf8.constEnd()))));
        return {{},
                c.Replaced,
                QStringLiteral("The character \"%1\" (U+%2) cannot be written in CP932")
                    .arg(bad)
                    .arg(bad.isEmpty() ? 0u : bad.toUcs4().value(0), 4, 16, QLatin1Char('0'))};
    }
    return {c.Output, c.Replaced, {}};
}

TCp932Text FromCp932(const QByteArray& bytes) {
    // A byte that starts no valid character is replaced alone; what follows it may still be text.
    const TConversion c =
        Convert("UTF-8", "CP932", bytes, [](const char*, const char*) { return size_t(1); });
    if (!c.Opened) return {{}, 0, ConverterMissing("from CP932")};
    return {QString::fromUtf8(c.Output), c.Replaced, {}};
}

TCp932Bytes EncodeLines(const QStringList& lines, TUnmappable mode) {
    TCp932Bytes all;
    for (const QString& line : lines) {
        TCp932Bytes one = ToCp932(line, mode);
        if (!one.Ok()) return one;
        all.Bytes += one.Bytes;
        all.Bytes += "\r\n";
        all.Replaced += one.Replaced;
    }
    return all;
}

FileResult AppendLines(const QString& path, const QStringList& lines) {
    const TCp932Bytes encoded = EncodeLines(lines);
    if (!encoded.Ok()) return FileResult::Failure(encoded.Error);
    // Unbuffered: the lines go out in one write, and a failure is seen at that write.
    QFile file(path);
    bool readable = file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered);
    if (!readable && !file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return FileResult::Failure(file.errorString());
    qint64 before = file.size();
    QByteArray bytes = encoded.Bytes;
    if (readable && before > 0) {
        const TTornTail tail = ReadTornTail(file.handle(), before);
        // A kill or a power cut inside the write of a row leaves its first part, which may end in
        // the middle of a number: a value that was never measured. It goes before the new lines
        // would be glued to it. A last line that only lacks its LF is whole and keeps its place.
        if (tail.CutTo >= 0 && file.resize(tail.CutTo))
            before = tail.CutTo;
        else if (tail.Last != '\n')
            bytes.prepend(tail.Last == '\r' ? "\n" : "\r\n");
    }
    // A short write is not yet a failure: the next write of the rest either lands or fails with the
    // system's reason (a full disk, a size limit), which a short write alone does not give.
    qint64 written = 0;
    for (qint64 n = 0; written < bytes.size(); written += n)
        if ((n = file.write(bytes.constData() + written, bytes.size() - written)) <= 0) break;
    if (written == bytes.size()) return {};
    const QString reason = file.errorString();
    // Part of the lines may have landed (a full disk, a file-size limit): without them the file is
    // as it was, and the next append starts on a clean line.
    if (!file.resize(before))
        return FileResult::Failure(
            QStringLiteral("%1; the part written could not be removed: %2").arg(reason, file.errorString()));
    return FileResult::Failure(reason);
}

FileResult ReplaceFile(const QString& path, const QStringList& lines, TUnmappable mode) {
    const TCp932Bytes encoded = EncodeLines(lines, mode);
    if (!encoded.Ok()) return FileResult::Failure(encoded.Error);
    return ReplaceFileBytes(path, encoded.Bytes);
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
    const TCp932Text decoded = FromCp932(bytes);
    if (!decoded.Ok()) return FileResult::Failure(decoded.Error);
    const QString& text = decoded.Text;
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
