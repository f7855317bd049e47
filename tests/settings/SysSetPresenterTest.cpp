#include "settings/SysSetPresenter.h"
#include "settings/SettingsRig.h"
#include "support/BadIniFiles.h"
#include <QFile>
#include <QHash>
#include <functional>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const QString Warning = "変換できない文字がありました\n設定数値を確認してください！";

// The window as the presenter sees it: the page's texts by object name and cell, and what it was
// told to do, in order.
class RecordingView : public TSysSetView {
  public:
    QHash<QString, QString> Texts;
    QStringList Calls;
    bool WriteWindow = true;
    std::function<void()> InWriteWindow;

    static QString Name(const TPrmAspect& f) {
        return f.Row < 0 ? QString(f.ObjectName)
                         : QString("%1[%2,%3]").arg(f.ObjectName).arg(f.Row).arg(f.Column);
    }
    void SetFieldText(const TPrmAspect& f, const QString& text) override { Texts[Name(f)] = text; }
    QString FieldText(const TPrmAspect& f) const override { return Texts.value(Name(f)); }
    void CommitPendingEdit() override { Calls << "commit"; }
    void ShowSerialNumber(const QString& text) override { Calls << "serial number " + text; }
    bool HasWriteWindow() const override { return WriteWindow; }
    void RunWriteWindow() override {
        Calls << "write window";
        if (InWriteWindow) InWriteWindow();
    }
    void CloseWindow(bool accepted) override { Calls << (accepted ? "accept" : "reject"); }
};

class SysSetPresenterTest : public SettingsRig {
  protected:
    RecordingView view;
    TSysSetPresenter presenter{settings, prompts, view};

    void SetUp() override {
        SettingsRig::SetUp();
        presenter.ShowParams();
    }
    QString InDir(const char* name) const { return dir.filePath(name); }
    QByteArray ReadFile(const char* name) const {
        QFile f(InDir(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void WriteFile(const char* name, const QByteArray& bytes) {
        QFile f(InDir(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

// OK reads the page in order and stops at the first text that does not convert: it warns, still
// saves BaseSetpoint.ini with what was taken, and closes.
TEST_F(SysSetPresenterTest, OkTakesThePageUpToABadTextWarnsSavesAndCloses) {
    struct Case {
        const char* Bad;
        QString BadText;
        const char* Taken;
        QByteArray Saved;
    };
    for (const Case& c : {Case{"EWDDif2", "1,5", "EWDDif1", "ErDifDir0=0.5\r\n"},
                          Case{"EStdVolt", "", "EHeaterWatt", "HeaterWatt=0.5\r\n"},
                          Case{"EStdVolt", "1e39", "EHeaterWatt", "HeaterWatt=0.5\r\n"}}) {
        SCOPED_TRACE(c.Bad);
        settings.Prm = TWritePrm{};
        presenter.ShowParams();
        prompts.Messages.clear();
        view.Calls.clear();
        view.Texts[c.Taken] = "0.5";
        view.Texts[c.Bad] = c.BadText;
        view.Texts["EWDDif3"] = "7"; // after EWDDif2, before EStdVolt
        view.Texts["SGRev[0,0]"] = "3";
        presenter.OkClicked();
        EXPECT_THAT(prompts.Messages, ElementsAre(Warning));
        EXPECT_THAT(view.Calls, ElementsAre("commit", "accept"));
        const TWritePrm& p = settings.Prm;
        EXPECT_EQ(p.WDDif[2], c.Bad == QLatin1String("EWDDif2") ? 0.0f : 7.0f);
        EXPECT_EQ(p.ChipStdV, 2500.0f);
        EXPECT_EQ(p.RevDiv[0], 0.0f) << "the grid comes after the bad text";
        EXPECT_TRUE(ReadFile("BaseSetpoint.ini").contains(c.Saved));
    }
}

// Where the shown format holds the value, an untouched page reads back as the set it shows.
TEST_F(SysSetPresenterTest, OkOnAnUntouchedPageKeepsTheSetShown) {
    settings.Prm.WDDif[3] = -0.25f;
    settings.Prm.RevDiv[4] = 12.5f;
    const TWritePrm shown = settings.Prm;
    presenter.ShowParams();
    settings.Prm.ChipStdV = 1;
    presenter.OkClicked();
    EXPECT_EQ(settings.Prm, shown);
    EXPECT_THAT(prompts.Messages, IsEmpty());
}

TEST_F(SysSetPresenterTest, OkWhoseBaseFileCannotBeWrittenShowsTheReasonAndStillCloses) {
    WriteFile("BaseSetpoint.ini", BadIniFiles()[0].Bytes);
    const QString reason = settings.SaveBaseSetpoint().Error;
    ASSERT_FALSE(reason.isEmpty());
    presenter.OkClicked();
    EXPECT_THAT(prompts.Errors, ElementsAre(reason));
    EXPECT_THAT(prompts.Messages, IsEmpty());
    EXPECT_EQ(view.Calls.last(), "accept");
}

// What is typed is a draft: cancel reads nothing and saves nothing; the next show discards it.
TEST_F(SysSetPresenterTest, CancelClosesAndTheNextShowDiscardsWhatWasTyped) {
    view.Texts["EWDDif1"] = "9.5";
    presenter.CancelClicked();
    EXPECT_THAT(view.Calls, ElementsAre("reject"));
    EXPECT_EQ(settings.Prm.WDDif[0], 0.0f);
    presenter.ShowParams();
    EXPECT_EQ(view.Texts["EWDDif1"], "0.000");
    EXPECT_FALSE(QFile::exists(InDir("BaseSetpoint.ini")));
}

// The write button takes the page first (warning as OK does), then opens the write window on an
// open port, refuses a closed one, and does nothing more where there is no write window.
TEST_F(SysSetPresenterTest, WriteTakesThePageThenOpensTheWriteWindowOrRefuses) {
    struct Case {
        const char* Name;
        bool PortOpen;
        bool HasWindow;
        QStringList Calls;
        QStringList Messages;
    };
    for (const Case& c : {Case{"open", true, true, {"commit", "write window"}, {}},
                          Case{"closed", false, true, {"commit"}, {NotConnectedText}},
                          Case{"no window", false, false, {"commit"}, {}}}) {
        SCOPED_TRACE(c.Name);
        if (c.PortOpen)
            EXPECT_TRUE(link.OpenLink());
        else
            link.CloseLink();
        view.WriteWindow = c.HasWindow;
        view.Calls.clear();
        prompts.Messages.clear();
        bool shownInside = false;
        view.InWriteWindow = [&] { shownInside = settings.Write.Shown; };
        view.Texts["ERevY"] = "0.5";
        presenter.WriteClicked();
        EXPECT_EQ(settings.Prm.RevY, 0.5f);
        EXPECT_EQ(view.Calls, c.Calls);
        EXPECT_EQ(prompts.Messages, c.Messages);
        EXPECT_EQ(shownInside, c.PortOpen);
        settings.Write.BBCloseClick();
    }
    view.Texts["ERevY"] = "x";
    presenter.WriteClicked();
    EXPECT_EQ(prompts.Messages.first(), Warning) << "a bad text warns before the write window opens";
}

// A save reads the page only once a file is chosen; the dialog starts in the data folder.
TEST_F(SysSetPresenterTest, SaveAsksForAFileThenTakesThePageAndWritesIt) {
    view.Texts["EAdjWS"] = "4.5";
    presenter.SaveClicked(); // cancelled
    ASSERT_EQ(prompts.SaveRequests.size(), 1);
    EXPECT_EQ(prompts.SaveRequests[0].Filter, "krv setpoint File|*.krv");
    EXPECT_EQ(prompts.SaveRequests[0].DefaultExt, "*.krv");
    EXPECT_EQ(prompts.SaveRequests[0].InitialName, "");
    EXPECT_EQ(prompts.SaveRequests[0].Directory, dir.path());
    EXPECT_THAT(view.Calls, IsEmpty());
    EXPECT_EQ(settings.Prm.AdjWS, 5.0f);

    prompts.SaveChoice = InDir("mine.krv");
    presenter.SaveClicked();
    EXPECT_EQ(settings.Prm.AdjWS, 4.5f);
    EXPECT_TRUE(ReadFile("mine.krv").contains("AdjWS=4.5\r\n"));
    EXPECT_THAT(prompts.Errors, IsEmpty());

    WriteFile("bad.krv", BadIniFiles()[0].Bytes);
    prompts.SaveChoice = InDir("bad.krv");
    presenter.SaveClicked();
    EXPECT_EQ(prompts.Errors.size(), 1);
    EXPECT_EQ(ReadFile("bad.krv"), BadIniFiles()[0].Bytes) << "a file it cannot read is left whole";
}

// A loaded file is in the current set at once and shown; one that cannot be read is said so.
TEST_F(SysSetPresenterTest, LoadPutsTheFileIntoTheSetAndShowsIt) {
    view.Texts["EWDDif1"] = "9.5";
    presenter.LoadClicked(); // cancelled
    ASSERT_EQ(prompts.OpenRequests.size(), 1);
    EXPECT_EQ(prompts.OpenRequests[0].Filter, "krv setpoint File|*.krv");
    EXPECT_EQ(prompts.OpenRequests[0].DefaultExt, "*.krv");
    EXPECT_EQ(prompts.OpenRequests[0].Directory, dir.path());
    EXPECT_EQ(view.Texts["EWDDif1"], "9.5") << "a cancelled load keeps what was typed";

    WriteFile("mine.krv", "[Early-WD]\r\nErDifDir0=0.25\r\n[System]\r\nChipStdV=800\r\n");
    prompts.OpenChoice = InDir("mine.krv");
    presenter.LoadClicked();
    EXPECT_EQ(settings.Prm.WDDif[0], 0.25f);
    EXPECT_EQ(view.Texts["EWDDif1"], "0.250");
    EXPECT_EQ(view.Texts["EStdVolt"], " 800");
    EXPECT_FALSE(QFile::exists(InDir("BaseSetpoint.ini"))) << "the base file takes it only with OK";

    WriteFile("bad.krv", BadIniFiles()[0].Bytes);
    prompts.OpenChoice = InDir("bad.krv");
    view.Texts["EWDDif1"] = "9.5";
    presenter.LoadClicked();
    EXPECT_EQ(prompts.Errors.size(), 1);
    EXPECT_EQ(settings.Prm.WDDif[0], 0.25f);
    EXPECT_EQ(view.Texts["EWDDif1"], "0.250");
}

// The calibration takes the serial number from here, as typed or cleared.
TEST_F(SysSetPresenterTest, TheSerialNumberIsWhatWasTypedOrCleared) {
    EXPECT_EQ(presenter.SerialNumber(), "xxxxxx");
    presenter.SerialNumberEdited("K-7");
    EXPECT_EQ(presenter.SerialNumber(), "K-7");
    presenter.ClearSerialNumberClicked();
    EXPECT_EQ(presenter.SerialNumber(), "");
    EXPECT_THAT(view.Calls, ElementsAre("serial number "));
}

} // namespace
