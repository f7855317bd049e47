#include "settings/DirectPage.h"
#include "settings/SettingsRig.h"
#include <QFile>
#include <QRegularExpression>

namespace {

using ::testing::ElementsAreArray;

// Every byte the parameter set turns into, for a set whose fields all differ from each other and
// from the defaults, with halves and a negative zero to round.
class ParamBytesTest : public SettingsRig {
  protected:
    void SetUp() override {
        SettingsRig::SetUp();
        TWritePrm& p = settings.Prm;
        p.WDDif = {0.125f, -0.5f, 0.0625f, 1.0005f};
        p.ATDif = {-0.0625f, 0.3f};
        p.RevX = 1.0125f;
        p.RevY = 0.9996f;
        p.RevZp = 1.02f;
        p.RevZn = 0.98765f;
        p.VSCoef = {0.5f, 0.123456f, -0.001f, 2e-5f, 1.234567f, -1};
        p.HeaterWatt = 0.2345f;
        p.DifT0m = 19.995f;
        p.AdjDifT = 21.5f;
        p.AdjWS = 4.75f;
        p.ParamP41 = 2.5f;
        for (int i = 0; i < 10; ++i) {
            p.RevDiv[i] = float(i) + 0.5f;
            p.RevVal[i] = -float(i) / 4;
        }
        p.ChipStdV = 800;
        Sent();
    }
    QStringList Writes() { return Sent().filter(QRegularExpression("^RW,")); }
};

TEST_F(ParamBytesTest, TheSetpointFileHoldsEveryKeyInItsPlace) {
    const QString path = dir.filePath("set.krv");
    ASSERT_TRUE(settings.Prm.SaveSetpoint(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[Early-WD]\r\n"
                              "ErDifDir0=0.125\r\n"
                              "ErDifDir1=-0.5\r\n"
                              "ErDifDir2=0.0625\r\n"
                              "ErDifDir3=1.00049996376038\r\n"
                              "ErDifAT0=-0.0625\r\n"
                              "ErDifAT1=0.300000011920929\r\n"
                              "Revice_X=1.01250004768372\r\n"
                              "Revice_Y=0.999599993228912\r\n"
                              "Revice_Z=1.01999998092651\r\n"
                              "Revice_Zn=0.987649977207184\r\n"
                              "VWSC_Coef-0=0.5\r\n"
                              "VWSC_Coef-1=0.123456001281738\r\n"
                              "VWSC_Coef-2=-0.00100000004749745\r\n"
                              "VWSC_Coef-3=1.99999994947575E-5\r\n"
                              "VWSC_Coef-4=1.23456704616547\r\n"
                              "VWSC_Coef-5=-1\r\n"
                              "\r\n"
                              "[Early-WS]\r\n"
                              "HeaterWatt=0.234500005841255\r\n"
                              "DifT0m=19.9950008392334\r\n"
                              "AdjDifT=21.5\r\n"
                              "AdjWS=4.75\r\n"
                              "DIV0=0.5\r\n"
                              "VAL0=0\r\n"
                              "DIV1=1.5\r\n"
                              "VAL1=-0.25\r\n"
                              "DIV2=2.5\r\n"
                              "VAL2=-0.5\r\n"
                              "DIV3=3.5\r\n"
                              "VAL3=-0.75\r\n"
                              "DIV4=4.5\r\n"
                              "VAL4=-1\r\n"
                              "DIV5=5.5\r\n"
                              "VAL5=-1.25\r\n"
                              "DIV6=6.5\r\n"
                              "VAL6=-1.5\r\n"
                              "DIV7=7.5\r\n"
                              "VAL7=-1.75\r\n"
                              "DIV8=8.5\r\n"
                              "VAL8=-2\r\n"
                              "DIV9=9.5\r\n"
                              "VAL9=-2.25\r\n"
                              "\r\n"
                              "[System]\r\n"
                              "ChipStdV=800\r\n");
}

// Shown in the page's reading order, which is also the order a failed read stops in.
TEST_F(ParamBytesTest, TheDirectPageShowsEveryFieldInItsFormat) {
    class Recording : public TParamView {
      public:
        QStringList Lines;
        void SetFieldText(const TPrmAspect& f, const QString& text) override {
            Lines << (f.Row < 0 ? QString(f.ObjectName)
                                : QString("%1[%2,%3]").arg(f.ObjectName).arg(f.Row).arg(f.Column)) +
                         '=' + text;
        }
        QString FieldText(const TPrmAspect&) const override { return {}; }
    } view;
    ShowParams(settings.Prm, view);
    QStringList expected{"EWDDif1=0.125",     "EWDDif2=-0.500",   "EWDDif3=0.063",    "EWDDif4=1.000",
                         "EATDif1=-0.063",    "EATDif2=0.300",    "ERevX=1.013",      "ERevY=1.000",
                         "ERevZp=1.020",      "ERevZn=0.988",     "EVSCoef0=0.50000", "EVSCoef1=0.12346",
                         "EVSCoef2=-0.00100", "EVSCoef3=0.00002", "EVSCoef4=1.23457", "EVSCoef5=-1.00000",
                         "EDifT0m=20.00",     "EAdjWS=4.75",      "EAdjDifT=21.50",   "EHeaterWatt=0.2345",
                         "EStdVolt= 800"};
    expected << QStringList{"SGRev[0,0]=0.50", "SGRev[0,1]=-0.00", "SGRev[1,0]=1.50", "SGRev[1,1]=-0.25",
                            "SGRev[2,0]=2.50", "SGRev[2,1]=-0.50", "SGRev[3,0]=3.50", "SGRev[3,1]=-0.75",
                            "SGRev[4,0]=4.50", "SGRev[4,1]=-1.00", "SGRev[5,0]=5.50", "SGRev[5,1]=-1.25",
                            "SGRev[6,0]=6.50", "SGRev[6,1]=-1.50", "SGRev[7,0]=7.50", "SGRev[7,1]=-1.75",
                            "SGRev[8,0]=8.50", "SGRev[8,1]=-2.00", "SGRev[9,0]=9.50", "SGRev[9,1]=-2.25"};
    EXPECT_THAT(view.Lines, ElementsAreArray(expected));
}

TEST_F(ParamBytesTest, TheWriteWindowSendsSevenGroupsInOrder) {
    ASSERT_TRUE(settings.OpenWriteWindow());
    settings.Write.BBDoClick();
    for (int i = 0; i < 40 && settings.Write.Running; ++i)
        Tick();
    EXPECT_THAT(Writes(), ElementsAreArray(QStringList{
                              "RW,E91=1,P99=8137,",
                              "RW,E12=0.125,E13=-0.500,E14=0.063,E15=1.000,E16=-0.063,E17=0.300,",
                              "RW,E21=1.013,E22=1.000,",
                              "RW,E23=1.020,E24=0.988,P32= 800,",
                              "RW,E26=0.50000,E27=0.12346,E28=-0.00100,",
                              "RW,E29=0.00002,E30=1.23457,E31=-1.00000,",
                              "RW,E91=0,P99=0,",
                          }));
}

TEST_F(ParamBytesTest, TheDefaultSeriesSendsEachStepOfTheType) {
    const QStringList common{
        "RW,E91=1,P99=8137,E01=20.00,E02=4.75,E03=21.50,E04=0.235,",
        "RW,E12=0.125,E13=-0.500,E14=0.063,E15=1.000,E16=-0.063,E17=0.300,",
        "RW,E21=1.013,E22=1.000,E23=1.020,E24=0.988,P41=2.500,",
    };
    const QStringList table{
        "RW,P01=0.50,P02=-0.00,P03=1.50,P04=-0.25,P05=2.50,P06=-0.50,P07=3.50,P08=-0.75,",
        "RW,P09=4.50,P10=-1.00,P11=5.50,P12=-1.25,P13=6.50,P14=-1.50,P15=7.50,P16=-1.75,",
        "RW,P17=8.50,P18=-2.00,P19=9.50,P20=-2.25,",
    };
    const QStringList polynomial{
        "RW,E26=0.50000,E27=0.12346,E28=-0.00100,",
        "RW,E29=0.00002,E30=1.23457,E31=-1.00000,",
    };
    for (const bool current : {true, false}) {
        SCOPED_TRACE(current ? "current type" : "old type");
        store.CurrentSample.ModelNumber = 17.03f;
        store.CurrentSample.FirmwareVersion = current ? 0.80f : 0.68f;
        polling.UpdateFirmwareFlag();
        settings.Sends.NextDefaultStep(false, true);
        for (int t = 0; t < 20; ++t) {
            port.DeliverAnswers();
            if (settings.Sends.NextDefaultStep(true, false)) break;
        }
        EXPECT_THAT(Writes(), ElementsAreArray(common + (current ? table : polynomial)));
    }
}

TEST_F(ParamBytesTest, TheCorrectionsAndTheInitialisationSendTheirPairs) {
    settings.Sends.SendATRev();
    settings.Sends.SendWDRev();
    settings.Sends.Send0mRev();
    settings.Sends.SendNmRev();
    settings.Sends.SendSetInit();
    EXPECT_THAT(Writes(), ElementsAreArray(QStringList{
                              "RW,E91=1,E16=-0.063,E17=0.300,",
                              "RW,E91=1,E12=0.125,E13=-0.500,E14=0.063,E15=1.000,",
                              "RW,E91=1,E01=20.00,",
                              "RW,E91=1,E03=21.50,E02=4.75,",
                              "RW,E91=1,P99=8137,P91=8161,",
                          }));
}

} // namespace
