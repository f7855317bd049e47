#include "calibration/ui/CalPage.h"
#include "common/Clock.h"
#include "common/ui/WidgetPrompts.h"
#include "common/ui/WindowFit.h"
#include "link/ui/ComSetup.h"
#include "link/ui/Comctrl.h"
#include "monitor/ui/Monlist.h"
#include "program/ProgramCore.h"
#include "program/ui/Main.h"
#include "program/ui/ProgramWindows.h"
#include "settings/Settings.h"
#include "settings/ui/Setwrite.h"
#include "settings/ui/Systemset.h"
#include "support/RecordingPrompts.h"
#include "support/SimulatedInstrumentPort.h"
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>

namespace {

// The most common laptop screen, and the smallest on which the program must stay usable.
const QSize Laptop(1366, 768);
const QSize Small(1280, 720);

bool Fits(const QSize& window, const QSize& screen) {
    const QSize frame(TypicalFrame.left() + TypicalFrame.right(), TypicalFrame.top() + TypicalFrame.bottom());
    return (window + frame).boundedTo(screen) == window + frame;
}

// Every window of the program, made as main() makes them.
class EveryWindowTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    SimulatedInstrumentPort port;
    ManualClock clock{EncodeDateTime(2024, 5, 29, 9, 5, 0)};
    RecordingPrompts prompts;
    TProgramCore core{port, clock, prompts, prompts, dir.path()};
    std::unique_ptr<TProgramWindows> windows = [this] {
        core.Create();
        return std::make_unique<TProgramWindows>(core, prompts);
    }();
    TMainForm* form = &windows->Main();
    TSysSetForm* sys = form->SysSetForm;

    void SetUp() override {
        form->MainTimer->stop();
        windows->Show();
    }

    // Opens every window as the program does, and names it.
    std::vector<std::pair<const char*, QWidget*>> OpenEveryWindow() {
        form->BBSetpointClick(true);
        form->SBStatusDblClick(true);
        sys->BBComShowStdClick();
        sys->WriteForm->show();
        auto* setup = new TComSetupFrm(core.Link.ComPortM.Settings, {{"COM7", ""}}, form);
        setup->show();
        QMessageBox* box = MakeMessageBox(QMessageBox::Warning, NotConnectedText, form).release();
        box->show();
        return {{"main window", form},        {"Monitor List", form->MonForm},     {"System Setting", sys},
                {"設定送出", sys->WriteForm}, {"link window", form->CommCtrlForm}, {"port setup", setup},
                {"message box", box}};
    }
};

TEST_F(EveryWindowTest, OpensWhollyOnALaptopScreenAndStaysUsableAt1280x720) {
    for (const auto& [name, window] : OpenEveryWindow()) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(window->isVisible());
        EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()))
            << "on its screen, title bar included";
        EXPECT_TRUE(Fits(window->size(), Laptop))
            << "opened at " << window->width() << "x" << window->height();
        EXPECT_TRUE(Fits(window->minimumSize(), Small))
            << "at least " << window->minimumWidth() << "x" << window->minimumHeight();
    }
}

// The pages scroll where the screen is too small for them, and only there; OK and キャンセル are
// never scrolled away.
TEST_F(EveryWindowTest, SystemSettingPagesScrollOnlyOnASmallScreenAndOkStaysInView) {
    form->BBSetpointClick(true);
    for (QWidget* sheet : {sys->TabSheet1, sys->TabSheet2}) {
        SCOPED_TRACE(sheet->objectName().toStdString());
        sys->PageControl1->setCurrentWidget(sheet);
        auto* scroll = sheet->findChild<QScrollArea*>();
        if (!scroll) scroll = qobject_cast<QScrollArea*>(sheet);
        ASSERT_NE(scroll, nullptr);
        sys->resize(sys->sizeHint());
        QCoreApplication::processEvents();
        EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0)
            << "all of the page at the size the window asks for";

        sys->resize(sys->minimumSize());
        QCoreApplication::processEvents();
        EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0) << "the rest of the page is scrolled to";
        for (QWidget* button : {static_cast<QWidget*>(sys->BBOk), static_cast<QWidget*>(sys->BBCancel)}) {
            EXPECT_TRUE(button->isVisible());
            EXPECT_TRUE(sys->rect().contains(QRect(button->mapTo(sys, QPoint()), button->size())));
        }
    }
}

TEST_F(EveryWindowTest, MessageBoxesAreWideEnoughForTheirTitle) {
    for (const QString& text : {ChangeRefusedText, NotConnectedText, QStringLiteral("?")}) {
        SCOPED_TRACE(text.toStdString());
        const auto box = MakeMessageBox(QMessageBox::Information, text, form);
        box->show();
        EXPECT_EQ(box->windowTitle(), MessageBoxTitle);
        EXPECT_GE(box->width(), TitleBarWidth(*box));
    }
}

TEST_F(EveryWindowTest, MonitorListShowsAll32RowsAtItsDefaultSize) {
    form->SBStatusDblClick(true);
    QCoreApplication::processEvents();
    QTableView* list = form->MonForm->SGList;
    ASSERT_EQ(list->model()->rowCount(), 32);
    EXPECT_EQ(list->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(list->model()->index(31, 1))));
    for (int r = 0; r < 32; ++r)
        EXPECT_EQ(list->rowHeight(r), 16) << "row " << r;
}

// A screen reader reads a panel's text, as it changes, not its object name; the object names stay.
TEST_F(EveryWindowTest, EveryLabelAndPanelIsReadByWhatItShows) {
    const auto expectReadByText = [](QWidget* window) {
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->text().isEmpty()) continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(label);
            ASSERT_NE(a, nullptr);
            EXPECT_EQ(a->text(QAccessible::Name), label->text()) << label->objectName().toStdString();
        }
    };
    // The calibration's panels start empty; a started calibration fills them.
    auto* page = sys->findChild<TCalPage*>();
    ASSERT_NE(page, nullptr);
    QTest::mouseClick(page->BBCalStart, Qt::LeftButton);
    for (const auto& [name, window] : OpenEveryWindow()) {
        SCOPED_TRACE(name);
        expectReadByText(window);
    }
    core.Calibration.CalStep = 11;
    core.Calibration.OnSecond(false);
    EXPECT_EQ(page->PFinish->objectName(), "PFinish");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(page->PFinish)->text(QAccessible::Name),
              "キャリブレーション完了");
}

// Closing the main window ends the event loop with every other window open.
TEST_F(EveryWindowTest, ClosingTheMainWindowEndsTheProgramWhateverElseIsOpen) {
    form->BBStartClick();
    ASSERT_TRUE(port.Connected());
    OpenEveryWindow();
    QTimer::singleShot(0, form, [this] { form->close(); });
    // Only so that a program that does not end fails the test instead of hanging it.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10'000);
    EXPECT_EQ(QApplication::exec(), 0) << "ended by the main window's close";
}

} // namespace
