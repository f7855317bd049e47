// The CP932 line reader: any bytes read as text line by line. No line holds a line end; the lines
// are the decoded text cut at CR LF, LF and CR; a byte that starts no character becomes "?" and is
// counted; and the text written back in CP932 reads as the same text.
#include "FuzzSupport.h"
#include "common/TextFile.h"
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TCp932Text decoded = FromCp932(bytes);
    FUZZ_CHECK(decoded.Ok(), decoded.Error.toStdString());
    FUZZ_CHECK(decoded.Replaced >= 0 && decoded.Replaced <= bytes.size(),
               "count " + std::to_string(decoded.Replaced));
    FUZZ_CHECK(decoded.Replaced > 0 || !decoded.Text.contains(QChar::ReplacementCharacter),
               "an unmarked replacement");
    if (decoded.Replaced == 0)
        FUZZ_CHECK(decoded.Text.count(u'?') == bytes.count('?'), "a \"?\" not from the bytes");

    const QString path = ScratchDir() + QStringLiteral("/fuzz.txt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
    file.close();
    QStringList lines;
    FUZZ_CHECK(bool(ReadLines(path, lines)), "read");
    // The lines, as the text cut at every line end (CR LF one end, a lone CR or LF one each).
    QStringList expected;
    QString rest = decoded.Text;
    rest.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (!rest.isEmpty()) {
        expected = rest.split(u'\n');
        if (rest.endsWith(u'\n')) expected.removeLast();
    }
    FUZZ_CHECK(lines == expected,
               std::to_string(lines.size()) + " lines against " + std::to_string(expected.size()));

    const TCp932Bytes encoded = EncodeLines(lines);
    FUZZ_CHECK(encoded.Ok(), encoded.Error.toStdString());
    FUZZ_CHECK(encoded.Replaced == 0, "a character read from CP932 that CP932 cannot hold");
    const TCp932Text again = FromCp932(encoded.Bytes);
    FUZZ_CHECK(again.Replaced == 0, "written bytes that do not read");
    QStringList back = again.Text.split(QStringLiteral("\r\n"));
    back.removeLast();
    FUZZ_CHECK(back == lines, "written back, the lines read otherwise");
    return 0;
}
