#include "common/IniFile.h"
#include "support/BadIniFiles.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>
#include <tuple>

namespace {

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QByteArray Read(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // Puts `bytes` on disk at `path` and loads them into ini_.
    void Load(const QByteArray& bytes, const char* name = "load.ini") {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.close();
        ASSERT_TRUE(ini_.Load(Path(name)));
        ASSERT_TRUE(ini_.Exists());
    }

    QTemporaryDir dir_;
    IniFile ini_;
};

TEST_F(IniFileTest, NamesAreComparedWithoutCase) {
    Load("[ComPortM]\r\nPort=COM3\r\n");
    EXPECT_EQ(ini_.ReadString("COMPORTM", "port", "x"), QStringLiteral("COM3"));
    EXPECT_EQ(ini_.ReadString("comportm", "PORT", "x"), QStringLiteral("COM3"));
    EXPECT_EQ(ini_.ReadString("ComPort", "Port", "none"), QStringLiteral("none"));
    EXPECT_EQ(ini_.ReadString("ComPortM", "Baud", "none"), QStringLiteral("none"));
    // Writing under another spelling replaces the value and keeps the file's spelling.
    ini_.WriteString("COMPORTM", "PORT", "COM4");
    EXPECT_EQ(ini_.ToBytes(), QByteArray("[ComPortM]\r\nPort=COM4\r\n"));
}

TEST_F(IniFileTest, WritingKeepsEverythingElseByteForByte) {
    Load("[Sensor]\r\nModel=KRV-100\r\nSpan=12.5\r\nUnit=m/s\r\n\r\n[Memo]\r\nNote=\x95\x97\x91\xac\r\n");
    ini_.WriteString("Sensor", "Span", "30");
    ini_.WriteString("Sensor", "Offset", "-0.5");
    ini_.WriteString("New", "k", QStringLiteral("風"));
    EXPECT_EQ(ini_.ToBytes(),
              QByteArray("[Sensor]\r\nModel=KRV-100\r\nSpan=30\r\nUnit=m/s\r\nOffset=-0.5\r\n\r\n"
                         "[Memo]\r\nNote=\x95\x97\x91\xac\r\n\r\n[New]\r\nk=\x95\x97\r\n"));
    EXPECT_EQ(ini_.ReadString("Memo", "Note", ""), QStringLiteral("風速"));
}

TEST_F(IniFileTest, FreshFileHasExactlyTheWrittenLines) {
    ini_.WriteString("ComPortM", "Port", "COM7");
    ini_.WriteInteger("ComPortM", "BaudRate", 38400);
    ini_.WriteBool("ComPortM", "On", true);
    ini_.WriteBool("ComPortM", "Off", false);
    EXPECT_EQ(ini_.ToBytes(), QByteArray("[ComPortM]\r\nPort=COM7\r\nBaudRate=38400\r\nOn=1\r\nOff=0\r\n"));
}

TEST_F(IniFileTest, MissingFileLoadsEmpty) {
    Load("[Old]\r\nk=v\r\n");
    EXPECT_TRUE(ini_.Load(Path("absent.ini")));
    EXPECT_FALSE(ini_.Exists());
    EXPECT_EQ(ini_.ReadString("Old", "k", "gone"), QStringLiteral("gone"));
    EXPECT_TRUE(ini_.ToBytes().isEmpty());
}

TEST_F(IniFileTest, UnreadableFileFails) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.ini"));
    const FileResult result = ini_.Load(Path("folder.ini"));
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
}

class BadIniTable : public IniFileTest, public ::testing::WithParamInterface<TBadIniFile> {};

TEST_P(BadIniTable, FailsWithAReasonAndReadsNothing) {
    const QString path = Path("bad.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(GetParam().Bytes), GetParam().Bytes.size());
    file.close();
    Load("[Early-WS]\r\nAdjWS=1\r\n", "earlier.ini");
    const FileResult result = ini_.Load(path);
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_FALSE(ini_.Exists());
    EXPECT_TRUE(ini_.Sections().isEmpty());
    EXPECT_EQ(ini_.ReadString("Early-WS", "AdjWS", "none"), QStringLiteral("none"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, BadIniTable, ::testing::ValuesIn(BadIniFiles()),
                         [](const auto& info) { return std::string(info.param.Name); });

// Files that look odd but read whole: what they hold comes back on save.
class OddIniTable : public IniFileTest,
                    public ::testing::WithParamInterface<std::pair<QByteArray, QByteArray>> {};

TEST_P(OddIniTable, LoadsAndSavesBackItsKeysAndASecondSaveChangesNothing) {
    Load(GetParam().first);
    EXPECT_EQ(ini_.ToBytes(), GetParam().second);
    const QList<TIniSection> first = ini_.Sections();
    Load(GetParam().second, "saved.ini");
    EXPECT_EQ(ini_.Sections(), first);
    EXPECT_EQ(ini_.ToBytes(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OddIniTable,
    ::testing::Values(std::pair{QByteArray("\xEF\xBB\xBF[A]\r\nk=v\r\n"), QByteArray("[A]\r\nk=v\r\n")},
                      std::pair{QByteArray("[A] note\nk=[v\n"), QByteArray("[A]\r\nk=[v\r\n")},
                      std::pair{QByteArray("; [not a section\r\n\r\n[A]\r\nk=v\r\n"),
                                QByteArray("; [not a section\r\n\r\n[A]\r\nk=v\r\n")},
                      std::pair{QByteArray("[A]\rk=v\r"), QByteArray("[A]\r\nk=v\r\n")},
                      // The first key's comment, in a file without a comment of its own, is not
                      // read back as the file's (which a save follows with an empty line).
                      std::pair{QByteArray("junk\r\n;c\r\nk=v\r\n"), QByteArray("\r\n;c\r\nk=v\r\n")},
                      // A first key that starts with the bytes of a UTF-8 byte-order mark keeps them.
                      std::pair{QByteArray("\t\xEF\xBB\xBF-=1\r\n"),
                                QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF-=1\r\n")},
                      std::pair{QByteArray(""), QByteArray("")}));

// The text, ReadInteger with default -1, and ReadBool: 0, 1, or -1 when it gives the default.
class IniValueTable : public ::testing::TestWithParam<std::tuple<const char*, int, int>> {};

TEST_P(IniValueTable, ReadsOrFallsBackToTheDefault) {
    const auto& [text, integer, boolean] = GetParam();
    IniFile ini;
    ini.WriteString("S", "k", QString::fromUtf8(text));
    EXPECT_EQ(ini.ReadInteger("S", "k", -1), integer);
    const bool asFalse = ini.ReadBool("S", "k", false);
    const bool asTrue = ini.ReadBool("S", "k", true);
    EXPECT_EQ(asFalse == asTrue ? int(asTrue) : -1, boolean);
}

INSTANTIATE_TEST_SUITE_P(Values, IniValueTable,
                         ::testing::Values(std::tuple{"1", 1, 1}, std::tuple{"0", 0, 0},
                                           std::tuple{"TRUE", -1, 1}, std::tuple{"False", -1, 0},
                                           std::tuple{"38400", 38400, -1},
                                           std::tuple{"-2147483648", INT_MIN, -1}, std::tuple{"", -1, -1},
                                           std::tuple{"12.5", -1, -1}, std::tuple{"0x10", -1, -1},
                                           std::tuple{"99999999999", -1, -1}, std::tuple{"yes", -1, -1}));

TEST_F(IniFileTest, SaveWritesTheBytesThatReloadTheSame) {
    ini_.WriteString("ComPortM", "Port", "COM7");
    ASSERT_TRUE(ini_.Save(Path("Port0.ini")));
    EXPECT_EQ(Read(Path("Port0.ini")), ini_.ToBytes());
    IniFile again;
    ASSERT_TRUE(again.Load(Path("Port0.ini")));
    EXPECT_EQ(again.ReadString("ComPortM", "Port", ""), QStringLiteral("COM7"));
}

// A full disk or a value CP932 cannot hold: the save fails and the old file stays.
TEST_F(IniFileTest, FailedSaveLeavesTheOldFileWhole) {
    const QByteArray old("[ComPortM]\r\nPort=COM1\r\n");
    for (const bool fullDisk : {true, false}) {
        Load(old, "Port0.ini");
        FileResult result;
        if (fullDisk) {
            ini_.WriteString("ComPortM", "Note", QString(64, QLatin1Char('x')));
            const FileSizeLimit full(old.size());
            result = ini_.Save(Path("Port0.ini"));
        } else {
            ini_.WriteString("ComPortM", "Port", QStringLiteral("/dev/😀"));
            result = ini_.Save(Path("Port0.ini"));
            EXPECT_TRUE(result.Error.contains(QStringLiteral("CP932")));
        }
        EXPECT_FALSE(result.Ok);
        EXPECT_FALSE(result.Error.isEmpty());
        EXPECT_EQ(Read(Path("Port0.ini")), old);
    }
}

} // namespace
