#include "settings/WritePrm.h"
#include "support/FileSizeLimit.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <bit>
#include <gmock/gmock.h>

namespace {

class SetpointFileTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString path = QDir(dir.path()).filePath("set.krv");

    void Write(const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A set whose every file-backed field differs from its default.
    static TWritePrm Odd() {
        TWritePrm p;
        p.WDDif = {0.1f, -0.25f, 1e-7f, 3.0e38f};
        p.RevX = 1.0000001f;
        p.VSCoef[5] = -123456.78f;
        p.HeaterWatt = 0.3f;
        p.DifT0m = 21.37f;
        p.ATDif[1] = -0.0001f;
        p.RevDiv[9] = 7.77f;
        p.RevVal[0] = 1e-30f;
        p.ChipStdV = 1801;
        return p;
    }
};

TEST_F(SetpointFileTest, SaveAndLoadGiveBackEveryFieldBitForBit) {
    const TWritePrm saved = Odd();
    ASSERT_TRUE(saved.SaveSetpoint(path));
    TWritePrm loaded;
    loaded.CalStart = 46000.5;
    loaded.SerialNo = "A123";
    loaded.ParamP41 = 3;
    ASSERT_TRUE(loaded.LoadSetpoint(path));
    TWritePrm expected = saved;
    expected.CalStart = 46000.5;
    expected.SerialNo = "A123";
    expected.ParamP41 = 3;
    // Bits, so that 0.0 and -0.0 or a rounding in the last place would show.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::bit_cast<quint32>(loaded.WDDif[i]), std::bit_cast<quint32>(expected.WDDif[i])) << i;
    EXPECT_EQ(std::bit_cast<quint32>(loaded.RevVal[0]), std::bit_cast<quint32>(expected.RevVal[0]));
    EXPECT_EQ(loaded, expected);
}

struct LoadCase {
    const char* Name;
    QByteArray File;
    void (*Expect)(TWritePrm&); // the change from the defaults that the file makes
};

class SetpointLoadTest : public SetpointFileTest, public ::testing::WithParamInterface<LoadCase> {};

// Every field the file does not give properly comes back to its default, whatever it held before.
TEST_P(SetpointLoadTest, MissingAndMalformedValuesGiveTheDefault) {
    Write(GetParam().File);
    TWritePrm p = Odd();
    p.SerialNo = "kept";
    ASSERT_TRUE(p.LoadSetpoint(path));
    TWritePrm expected;
    expected.SerialNo = "kept";
    GetParam().Expect(expected);
    EXPECT_EQ(p, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetpointLoadTest,
    ::testing::Values(
        LoadCase{"SystemOnly", "[System]\r\nChipStdV=1800\r\n", [](TWritePrm& p) { p.ChipStdV = 1800; }},
        LoadCase{"WordInReviceY", "[Early-WD]\r\nRevice_X=1.5\r\nRevice_Y=abc\r\nRevice_Z=0.5\r\n",
                 [](TWritePrm& p) {
                     p.RevX = 1.5f;
                     p.RevZp = 0.5f;
                 }},
        LoadCase{"EmptyValueAndOutOfRange", "[Early-WS]\r\nAdjWS=\r\nDifT0m=1e39\r\nVAL3=2E-3\r\n",
                 [](TWritePrm& p) { p.RevVal[3] = 0.002f; }},
        LoadCase{"LowerCase", "[early-ws]\r\ndift0m=30\r\n[system]\r\nchipstdv=1\r\n",
                 [](TWritePrm& p) {
                     p.DifT0m = 30;
                     p.ChipStdV = 1;
                 }},
        LoadCase{"NoFile", {}, [](TWritePrm&) {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SetpointFileTest, OtherSectionsAndKeysStayByteForByte) {
    const QByteArray record = "[Record]\r\nSecRec=1\r\nOther=x y\r\n";
    Write("[System]\r\nChipStdV=1\r\nMine=keep\r\n\r\n" + record);
    ASSERT_TRUE(TWritePrm{}.SaveSetpoint(path));
    const QByteArray after = Read();
    EXPECT_TRUE(after.contains(record)) << after.toStdString();
    EXPECT_TRUE(after.contains("[System]\r\nChipStdV=2500\r\nMine=keep\r\n"));
}

TEST_F(SetpointFileTest, AFailedSaveLeavesTheOldFileWholeAndSaysWhy) {
    const QByteArray old = "[Record]\r\nSecRec=1\r\n";
    Write(old);
    const FileResult result = [&] {
        const FileSizeLimit full(64);
        return Odd().SaveSetpoint(path);
    }();
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_EQ(Read(), old);
}

TEST_F(SetpointFileTest, AnUnreadableFileIsNeitherOverwrittenNorLoaded) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("set.krv")); // a directory in the file's place
    TWritePrm p = Odd();
    EXPECT_FALSE(p.LoadSetpoint(path).Ok);
    EXPECT_EQ(p, Odd());
    EXPECT_FALSE(p.SaveSetpoint(path).Ok);
}

TEST(WritePrm, SetDefaultsLeavesTheCalibrationStampAndP41) {
    TWritePrm p;
    p.CalStart = 1;
    p.SerialNo = "S";
    p.ParamP41 = 2;
    p.RevZn = 9;
    p.VSCoef[1] = 9;
    p.SetDefaults();
    TWritePrm expected;
    expected.CalStart = 1;
    expected.SerialNo = "S";
    expected.ParamP41 = 2;
    EXPECT_EQ(p, expected);
}

} // namespace
