#include "link/ui/Comctrl.h"
#include "program/ui/Main.h"
#include "settings/ui/Setwrite.h"
#include "settings/ui/Systemset.h"
#include "support/CoreRig.h"
#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The windows of the device settings as main() makes them, over a core whose port is the
// simulator's instrument model; the test drives the ticks.
class SettingsWindowsTest : public ::testing::Test, protected CoreRig {
  protected:
    SettingsWindowsTest() : CoreRig(EncodeDateTime(2026, 12, 9, 10, 0, 0)) {}
    std::unique_ptr<TMainForm> form;
    TSysSetForm* sys = nullptr;
    TWriteForm* write = nullptr;

    void SetUp() override {
        ASSERT_TRUE(WriteFile("Port0.ini", "[ComPortM]\r\nPort=COM7\r\n"));
        core.Create();
        form = std::make_unique<TMainForm>(core, prompts);
        form->AttachSysSetForm(
            new TSysSetForm(core.Settings, core.Link, prompts, form->CommCtrlForm, form.get()));
        sys = form->SysSetForm;
        write = new TWriteForm(core.Settings.Write, form.get());
        sys->WriteForm = write;
        form->MainTimer->stop();
        TickHandler = [this] { form->MainTimerTimer(); };
        form->show();
    }

    void OpenSysSet() { form->BBSetpointClick(true); }
    void Type(const char* edit, const QString& text) {
        QLineEdit* e = sys->Edit(QLatin1String(edit));
        ASSERT_NE(e, nullptr) << edit;
        e->selectAll();
        QTest::keyClicks(e, text);
        if (text.isEmpty()) QTest::keyClick(e, Qt::Key_Backspace);
    }
    // Presses the write button; `inside` runs within the write window's modal loop and must close it.
    void WriteWindow(const std::function<void()>& inside) {
        bool ran = false;
        QTimer::singleShot(0, write, [&] {
            ran = true;
            ASSERT_TRUE(write->isVisible());
            inside();
        });
        QTest::mouseClick(sys->BBWrite, Qt::LeftButton);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(write->isVisible());
    }
    QStringList Memo() const { return write->MSts->toPlainText().split('\n', Qt::SkipEmptyParts); }
};

// The window forwards its clicks to its presenter (whose own tests hold the sequences): OK takes
// what was typed, an open grid editor included, and saves it; Esc discards it.
TEST_F(SettingsWindowsTest, OkTakesWhatWasTypedAndEscDiscardsIt) {
    core.Settings.Prm.RevVal[9] = -1.5f;
    OpenSysSet();
    EXPECT_EQ(sys->SGRev->item(9, 1)->text(), "-1.50");
    EXPECT_EQ(sys->SGRev->horizontalHeaderItem(0)->text(), "補正点");
    Type("EWDDif1", "9.5");
    QTest::keyClick(sys, Qt::Key_Escape);
    EXPECT_FALSE(sys->isVisible());
    EXPECT_EQ(core.Settings.Prm.WDDif[0], 0.0f);

    OpenSysSet();
    Type("EStdVolt", "800");
    sys->SGRev->setCurrentCell(0, 0);
    sys->SGRev->editItem(sys->SGRev->item(0, 0));
    QWidget* editor = sys->SGRev->indexWidget(sys->SGRev->currentIndex());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "3.25");
    QTest::mouseClick(sys->BBOk, Qt::LeftButton);
    EXPECT_FALSE(sys->isVisible());
    EXPECT_EQ(core.Settings.Prm.RevDiv[0], 3.25f) << "the open editor's text";
    EXPECT_TRUE(ReadFile("BaseSetpoint.ini").contains("DIV0=3.25\r\n"));
    EXPECT_THAT(prompts.Messages, IsEmpty());
}

// The write window opens centred on the main window; its modal loop runs while the core ticks, and
// a whole run stays in view.
TEST_F(SettingsWindowsTest, AWholeWriteRunShowsInTheWriteWindow) {
    form->BBStartClick();
    Tick(3);
    OpenSysSet();
    WriteWindow([&] {
        EXPECT_EQ(write->windowTitle(), "設定送出");
        EXPECT_LE((write->frameGeometry().center() - form->frameGeometry().center()).manhattanLength(), 2);
        EXPECT_FALSE(write->BBClose->isEnabled());
        QTest::mouseClick(write->BBDo, Qt::LeftButton);
        EXPECT_FALSE(core.Exchange.PollingAllowed());
        Tick(16);
        EXPECT_EQ(Memo().size(), 16);
        EXPECT_EQ(Memo().last(), "●●書込み完了しました！●●");
        EXPECT_EQ(write->MSts->verticalScrollBar()->maximum(), 0)
            << "the whole run in view, its first line too";
        EXPECT_FALSE(write->BBCancel->isEnabled());
        QTest::mouseClick(write->BBClose, Qt::LeftButton);
    });
    EXPECT_EQ(port.Model.ValueText("E91"), "0");
}

// Shift opens the service window also while polling; its port group runs the program's own
// connect and disconnect, and the serial number's edit is the presenter's.
TEST_F(SettingsWindowsTest, ShiftClickOpensTheWindowAndItsPortButtonsDriveTheLink) {
    form->BBStartClick();
    Tick(2);
    QTest::mouseClick(form->BBSetpoint, Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_TRUE(sys->isVisible());
    EXPECT_TRUE(core.Monitor.ServiceMode());
    EXPECT_TRUE(core.SettingsViewVisible());
    EXPECT_THAT(prompts.Messages, IsEmpty());
    EXPECT_EQ(prompts.SetupDialogs, 0);
    EXPECT_TRUE(sys->SBConnection->isChecked());
    EXPECT_EQ(sys->ESNum->text(), "xxxxxx");

    QTest::mouseClick(sys->BBComSetStd, Qt::LeftButton);
    EXPECT_THAT(prompts.Messages, ElementsAre("接続中は変更できません"));
    QTest::mouseClick(sys->BBComShowStd, Qt::LeftButton);
    EXPECT_TRUE(form->CommCtrlForm->isVisible());

    QTest::mouseClick(sys->SBDisconnection, Qt::LeftButton);
    EXPECT_FALSE(port.Connected());
    EXPECT_TRUE(sys->SBDisconnection->isChecked());

    // A port that does not open: silent, the button down as clicked, the link closed.
    port.FailOpen = true;
    QTest::mouseClick(sys->SBConnection, Qt::LeftButton);
    EXPECT_TRUE(sys->SBConnection->isChecked());
    EXPECT_FALSE(port.Connected());
    EXPECT_THAT(prompts.Errors, IsEmpty());

    port.FailOpen = false;
    QTest::mouseClick(sys->SBDisconnection, Qt::LeftButton);
    QTest::mouseClick(sys->SBConnection, Qt::LeftButton);
    EXPECT_TRUE(core.IsPolling());
    EXPECT_TRUE(sys->SBConnection->isChecked());
    sys->ESNum->setText("K-7");
    EXPECT_EQ(sys->Presenter().SerialNumber(), "K-7");
    QTest::mouseClick(sys->BBSNClear, Qt::LeftButton);
    EXPECT_EQ(sys->ESNum->text(), "");
    sys->close();
    EXPECT_FALSE(core.SettingsViewVisible());
}

// However the write window is closed mid-run, polling comes back on; the next opening starts idle.
TEST_F(SettingsWindowsTest, ClosingTheWriteWindowMidRunSwitchesPollingOnAndReopensEmpty) {
    const std::pair<const char*, std::function<void(TWriteForm*)>> ways[] = {
        {"中止", [](TWriteForm* w) { QTest::mouseClick(w->BBCancel, Qt::LeftButton); }},
        {"close box", [](TWriteForm* w) { w->close(); }},
        {"Esc", [](TWriteForm* w) { QTest::keyClick(w, Qt::Key_Escape); }},
    };
    form->BBStartClick();
    OpenSysSet();
    for (const auto& [name, closeIt] : ways) {
        SCOPED_TRACE(name);
        WriteWindow([&] {
            EXPECT_THAT(Memo(), IsEmpty());
            QTest::mouseClick(write->BBDo, Qt::LeftButton);
            Tick(3);
            EXPECT_FALSE(core.Exchange.PollingAllowed());
            closeIt(write);
        });
        EXPECT_TRUE(core.Exchange.PollingAllowed());
        EXPECT_FALSE(core.Settings.Write.Running) << "the sequence stopped with its window";
    }
}

// Screen readers and automation find every control by its name.
TEST_F(SettingsWindowsTest, EveryEditAndButtonHasAnObjectAndAnAccessibleName) {
    for (QWidget* window : std::initializer_list<QWidget*>{sys, write}) {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QAbstractButton*>(w)) continue;
            // Parts of Qt's own widgets: the tab bar's scrollers, the grid's corner button.
            if (qobject_cast<QTabBar*>(w->parent()) || qobject_cast<QAbstractItemView*>(w->parent()))
                continue;
            EXPECT_FALSE(w->objectName().isEmpty()) << w->metaObject()->className();
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    }
}

} // namespace
