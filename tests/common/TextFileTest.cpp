#include "common/TextFile.h"
#include "support/FileSizeLimit.h"

#include <functional>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class TextFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir_;
};

TEST(Cp932, JapaneseRoundTrips) {
    const QString text = QStringLiteral("風速 12.3m/s ｶﾀｶﾅ ～ \\~");
    const QByteArray bytes = ToCp932(text).Bytes;
    EXPECT_EQ(bytes.left(4), QByteArray("\x95\x97\x91\xac"));
    EXPECT_EQ(FromCp932(bytes).Text, text);
}

TEST(Cp932, UnconvertibleCharactersBecomeQuestionMarksAndAreCounted) {
    const TCp932Bytes out = ToCp932(QStringLiteral("a€b😀c"));
    EXPECT_TRUE(out.Ok());
    EXPECT_EQ(out.Bytes, QByteArray("a?b?c"));
    EXPECT_EQ(out.Replaced, 2);
    // 0x80 is no character; 0x95 at the end is half of one.
    const TCp932Text in = FromCp932(QByteArray("a\x80"
                                               "b\x95"));
    EXPECT_EQ(in.Text, QStringLiteral("a?b?"));
    EXPECT_EQ(in.Replaced, 2);
}

TEST(Cp932, RefusedCharacterFailsNamingIt) {
    const TCp932Bytes out = ToCp932(QStringLiteral("風速😀"), TUnmappable::Refuse);
    EXPECT_FALSE(out.Ok());
    EXPECT_TRUE(out.Error.contains(QStringLiteral("U+1f600"))) << out.Error.toStdString();
    EXPECT_TRUE(ToCp932(QStringLiteral("風速"), TUnmappable::Refuse).Ok());
}

TEST(Cp932, EncodeLinesEndsEveryLineWithCrLfAndNoBom) {
    EXPECT_EQ(EncodeLines({QStringLiteral("風速"), QString(), QStringLiteral("x")}).Bytes,
              QByteArray("\x95\x97\x91\xac\r\n\r\nx\r\n"));
}

TEST_F(TextFileTest, AppendCreatesThenExtends) {
    const QString path = Path("log.csv");
    ASSERT_TRUE(AppendLines(path, {QStringLiteral("a,1")}));
    ASSERT_TRUE(AppendLines(path, {QStringLiteral("b,2"), QStringLiteral("風")}));
    EXPECT_EQ(ReadAll(path), QByteArray("a,1\r\nb,2\r\n\x95\x97\r\n"));
}

TEST_F(TextFileTest, AppendThatCannotBeWrittenFails) {
    const FileResult missingDir = AppendLines(Path("missing/log.csv"), {QStringLiteral("a")});
    EXPECT_FALSE(missingDir.Ok);
    EXPECT_FALSE(missingDir.Error.isEmpty());
    // The data is buffered, so this fails only when it is flushed.
    FileResult tooBig;
    {
        const FileSizeLimit full(16);
        tooBig = AppendLines(Path("log.csv"), {QString(64, QLatin1Char('x'))});
    }
    EXPECT_FALSE(tooBig.Ok);
    EXPECT_FALSE(tooBig.Error.isEmpty());
}

// A file-size limit at several points inside the appended row: a short write must not stay behind,
// or the next row is glued to its remains.
class AppendCutShortTable : public TextFileTest, public ::testing::WithParamInterface<int> {};

TEST_P(AppendCutShortTable, LeavesTheFileAsItWasAndTheNextRowLandsWhole) {
    const QString path = Path("RT_COM7_20261209.csv");
    const QByteArray before("COM7,head\r\n2026/12/09 22:51:16,2.840,\r\n");
    ASSERT_TRUE(WriteAll(path, before));
    const QString row = QStringLiteral("2026/12/09 22:51:17,2.840,352,-2,21.3,");
    const int rowBytes = int(row.size()) + 2;
    // Bytes of the row that fit under the limit: the first, some, up to the CR, all but the LF.
    const int fits = GetParam() >= 0 ? GetParam() : rowBytes + GetParam();
    FileResult cut;
    {
        const FileSizeLimit full(rlim_t(before.size() + fits));
        cut = AppendLines(path, {row});
    }
    EXPECT_FALSE(cut.Ok);
    EXPECT_EQ(cut.Error, qt_error_string(EFBIG)) << "the system's reason, also after a short write";
    EXPECT_EQ(ReadAll(path), before);
    ASSERT_TRUE(AppendLines(path, {QStringLiteral("2026/12/09 22:51:18,2.204,")}));
    EXPECT_EQ(ReadAll(path), before + "2026/12/09 22:51:18,2.204,\r\n");
}

INSTANTIATE_TEST_SUITE_P(Offsets, AppendCutShortTable, ::testing::Values(0, 1, 11, 20, -2, -1));

// What a crash in the middle of a row leaves: a last line without its end, perhaps cut inside a
// number ("1" of "1.25"), so it is no row to keep; a line that only lacks its LF is whole.
class AppendAfterTornLineTable : public TextFileTest,
                                 public ::testing::WithParamInterface<std::pair<QByteArray, QByteArray>> {};

TEST_P(AppendAfterTornLineTable, DropsWhatIsNoWholeRowAndStartsOnALineOfItsOwn) {
    const QString path = Path("RT_COM7_20261209.csv");
    ASSERT_TRUE(WriteAll(path, GetParam().first));
    ASSERT_TRUE(AppendLines(path, {QStringLiteral("b,2,")}));
    EXPECT_EQ(ReadAll(path), GetParam().second);
}

const QByteArray LongLine(5000, 'x');
INSTANTIATE_TEST_SUITE_P(
    Ends, AppendAfterTornLineTable,
    ::testing::Values(std::pair<QByteArray, QByteArray>{"h\r\na,1", "h\r\nb,2,\r\n"},
                      std::pair<QByteArray, QByteArray>{"h\r\na,1,\r", "h\r\na,1,\r\nb,2,\r\n"},
                      std::pair<QByteArray, QByteArray>{"h\r\na,1,\r\n", "h\r\na,1,\r\nb,2,\r\n"},
                      std::pair<QByteArray, QByteArray>{"h\n", "h\nb,2,\r\n"},
                      // Not what a torn row leaves: no line before it, or longer than any row.
                      std::pair<QByteArray, QByteArray>{"h", "h\r\nb,2,\r\n"},
                      std::pair<QByteArray, QByteArray>{"h\r\n" + LongLine,
                                                        "h\r\n" + LongLine + "\r\nb,2,\r\n"}));

TEST_F(TextFileTest, ReplaceOverwritesTheWholeFile) {
    const QString path = Path("setpoint.ini");
    ASSERT_TRUE(WriteAll(path, "old content that is longer\r\n"));
    ASSERT_TRUE(ReplaceFile(path, {QStringLiteral("new")}));
    EXPECT_EQ(ReadAll(path), QByteArray("new\r\n"));
}

// A replace that fails for any reason leaves the old file whole and no temporary file behind.
TEST_F(TextFileTest, FailedReplaceLeavesTheOldFileWhole) {
    const QString path = Path("target.txt");
    const std::pair<const char*, std::function<FileResult()>> failures[] = {
        {"a refused character",
         [&] {
             return ReplaceFile(path, {QStringLiteral("a"), QStringLiteral("b😀")}, TUnmappable::Refuse);
         }},
        {"a path below a file", [&] { return ReplaceFileBytes(path + QStringLiteral("/child.txt"), "x"); }},
        {"a full disk",
         [&] {
             const FileSizeLimit full(16);
             return ReplaceFile(path, {QString(64, QLatin1Char('x'))});
         }},
    };
    for (const auto& [why, replace] : failures) {
        SCOPED_TRACE(why);
        ASSERT_TRUE(WriteAll(path, "keep\r\n"));
        const FileResult result = replace();
        EXPECT_FALSE(result.Ok);
        EXPECT_FALSE(result.Error.isEmpty());
        EXPECT_EQ(ReadAll(path), QByteArray("keep\r\n"));
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"target.txt"});
    }
}

class ReadLinesTable : public ::testing::TestWithParam<std::pair<QByteArray, QStringList>> {};

TEST_P(ReadLinesTable, SplitsOnEveryLineEnd) {
    QTemporaryDir dir;
    const QString path = dir.filePath("read.txt");
    ASSERT_TRUE(WriteAll(path, GetParam().first));
    QStringList lines{"stale"};
    ASSERT_TRUE(ReadLines(path, lines));
    EXPECT_EQ(lines, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Contents, ReadLinesTable,
                         ::testing::Values(std::pair{QByteArray("a\r\nb\nc\rd\r\n\r\n\x95\x97"),
                                                     QStringList{"a", "b", "c", "d", "",
                                                                 QStringLiteral("風")}},
                                           std::pair{QByteArray("a\r\n"), QStringList{"a"}},
                                           std::pair{QByteArray("a\n\r"), QStringList{"a", ""}},
                                           std::pair{QByteArray("\r\n"), QStringList{""}},
                                           std::pair{QByteArray(""), QStringList{}}));

TEST_F(TextFileTest, ReadOfMissingFileFails) {
    QStringList lines{QStringLiteral("stale")};
    const FileResult result = ReadLines(Path("none.txt"), lines);
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_TRUE(lines.isEmpty());
}

} // namespace
