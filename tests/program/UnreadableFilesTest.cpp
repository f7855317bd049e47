#include "link/ComSettings.h"
#include "settings/WritePrm.h"
#include "support/BadIniFiles.h"
#include "support/CoreRig.h"
#include <QDir>
#include <QFile>
#include <gmock/gmock.h>

// Every reader of the program's INI files given a file that exists but cannot be read whole: it
// reads nothing from it and never saves over it.
namespace {

class UnreadableFile : public ::testing::TestWithParam<TBadIniFile> {
  protected:
    QTemporaryDir dir;
    QString Path(const char* name) const { return QDir(dir.path()).filePath(QString::fromLatin1(name)); }
    void Put(const QString& path) const {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(GetParam().Bytes), GetParam().Bytes.size());
    }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
};

std::string Named(const ::testing::TestParamInfo<TBadIniFile>& info) {
    return info.param.Name;
}

TEST_P(UnreadableFile, SetpointFileIsNeitherLoadedNorSavedOver) {
    const QString path = Path("set.krv");
    Put(path);
    TWritePrm p;
    p.AdjWS = 9;
    p.SerialNo = "S";
    const TWritePrm before = p;
    EXPECT_FALSE(p.LoadSetpoint(path).Ok);
    EXPECT_EQ(p, before);
    EXPECT_FALSE(p.SaveSetpoint(path).Ok);
    EXPECT_EQ(Bytes(path), GetParam().Bytes);
}

TEST_P(UnreadableFile, PortSettingsRaiseTheirErrorsAndStayAsTheyWere) {
    const QString path = Path("Port0.ini");
    Put(path);
    TComSettings s = TComSettings::ProgramDefaults();
    s.Port = "/dev/ttyS1";
    const TComSettings before = s;
    try {
        LoadSettingsFile(s, path);
        ADD_FAILURE() << "no load error";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Message(), "Failed to load settings");
    }
    EXPECT_EQ(s, before);
    try {
        StoreSettingsFile(s, path);
        ADD_FAILURE() << "no store error";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Message(), "Failed to store settings");
    }
    EXPECT_EQ(Bytes(path), GetParam().Bytes);
}

// One start and close of the program, as the issue saw it shrink BaseSetpoint.ini: the port's file
// is reported when the user starts, nothing is read from either file and neither changes.
TEST_P(UnreadableFile, AStartAndCloseOfTheProgramLeavesBothFilesAsTheyWere) {
    CoreRig rig(EncodeDateTime(2026, 12, 9, 22, 51, 0));
    const QString base = QDir(rig.dir.path()).filePath("BaseSetpoint.ini");
    const QString port = QDir(rig.dir.path()).filePath("Port0.ini");
    Put(base);
    Put(port);
    TProgramCore& core = rig.core;
    EXPECT_THROW(core.Create(), EComPort); // after the setpoint and the record switch were read
    core.Show();
    EXPECT_EQ(core.Settings.Prm, [] {
        TWritePrm defaults;
        defaults.SetDefaults();
        return defaults;
    }());
    EXPECT_FALSE(core.Monitor.SecondRecord()) << "SecRec=1 in the file is not read";
    core.BBStartClick();
    EXPECT_EQ(rig.prompts.Errors, QStringList{"Failed to load settings"});
    EXPECT_EQ(core.Link.ComPortM.Settings.Port, "COM7") << "the settings in memory stand";
    rig.Tick(10);
    EXPECT_FALSE(core.Settings.SaveBaseSetpoint().Ok);
    core.Monitor.SetSecondRecord(true);
    core.Shutdown();
    EXPECT_EQ(Bytes(base), GetParam().Bytes);
    EXPECT_EQ(Bytes(port), GetParam().Bytes);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnreadableFile, ::testing::ValuesIn(BadIniFiles()), Named);

// DefaultPrm.krv that is no default set: what the user is told for a missing one, and the calibration
// goes on from the built-in defaults, not from what the parameter set held.
class UnreadableDefaultSet : public UnreadableFile {};

TEST_P(UnreadableDefaultSet, CalibrationStartsFromTheDefaultsAndSaysSo) {
    CoreRig rig(EncodeDateTime(2024, 5, 29, 9, 5, 0));
    const QString path = QDir(rig.dir.path()).filePath("DefaultPrm.krv");
    Put(path);
    rig.core.Create();
    rig.core.BBStartClick();
    TWritePrm& prm = rig.core.Settings.Prm;
    prm.AdjWS = 9;
    prm.ChipStdV = 1800;
    rig.core.Calibration.BBCalStartClick("K-7");
    EXPECT_EQ(rig.prompts.Errors, QStringList{"DefaultPrm.krvが見つかりません。"});
    TWritePrm expected;
    expected.SerialNo = "K-7";
    expected.CalStart = prm.CalStart;
    EXPECT_EQ(prm, expected);
    EXPECT_EQ(rig.core.Calibration.CalStep, 1);
    EXPECT_TRUE(rig.core.Settings.Sends.StatusLines.contains("＜設定初期化＞"));
    EXPECT_EQ(Bytes(path), GetParam().Bytes);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnreadableDefaultSet,
                         ::testing::ValuesIn(BadIniFiles() +
                                             QList<TBadIniFile>{
                                                 {"Empty", ""},
                                                 {"TextOnly", "Default parameters\r\n"},
                                                 {"OtherSectionsOnly", "[Record]\r\nSecRec=1\r\n"},
                                             }),
                         Named);

TEST(DefaultSet, AReadableOneIsTakenWithoutAWord) {
    CoreRig rig(EncodeDateTime(2024, 5, 29, 9, 5, 0));
    ASSERT_TRUE(rig.WriteFile("DefaultPrm.krv", "[early-ws]\r\nadjws=abc\r\n[System]\r\nChipStdV=1800\r\n"));
    rig.core.Create();
    rig.core.Settings.Prm.AdjWS = 9;
    rig.core.Calibration.BBCalStartClick("K-7");
    EXPECT_TRUE(rig.prompts.Errors.isEmpty());
    EXPECT_EQ(rig.core.Settings.Prm.ChipStdV, 1800);
    EXPECT_EQ(rig.core.Settings.Prm.AdjWS, 5) << "a malformed value gives its default, as the load does";
}

} // namespace
