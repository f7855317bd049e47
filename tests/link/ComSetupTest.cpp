#include "link/ui/ComSetup.h"
#include "link/ui/ComLed.h"
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gmock/gmock.h>

namespace {

class ComSetupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Current.Port = "ttyUSB0";
        Current.BaudRate = TBaudRate::br38400;
        Current.DataBits = TDataBits::dbEight;
        Current.StopBits = TStopBits::sbOneStopBit;
        Current.Parity.Bits = TParityBits::prNone;
        Current.SetFlowControl(TFlowControl::fcNone);
    }

    // Runs `act` on the dialog once it is shown modally; a dialog left open ends after 5 s.
    void WhenShown(const std::function<void(TComSetupFrm&)>& act) {
        QTimer::singleShot(0, &Guard, [act] {
            auto* form = qobject_cast<TComSetupFrm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            act(*form);
        });
        Guard.setSingleShot(true);
        QObject::connect(&Guard, &QTimer::timeout, [] {
            if (auto* w = QApplication::activeModalWidget()) w->close();
        });
        Guard.start(5000);
    }

    QComboBox* List(TComSetupFrm& form, const char* name) {
        auto* box = form.findChild<QComboBox*>(name);
        EXPECT_NE(box, nullptr) << name;
        return box;
    }
    static std::string Items(QComboBox* box) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items.join('|').toStdString();
    }

    QTimer Guard;
    TComSettings Current = TComSettings::ProgramDefaults();
    const QList<TPortInfo> Ports = {{"/dev/serial/by-id/usb-Maker_Adapter-if00", "→ /dev/ttyUSB0"},
                                    {"ttyS10", ""},
                                    {"ttyS2", ""},
                                    {"ttyUSB0", "USB serial adapter"},
                                    {"ttyS2", ""}};
};

} // namespace

TEST_F(ComSetupTest, ShowsTheChoicesInTheirOrder) {
    TComSetupFrm form(Current, Ports);
    EXPECT_EQ(form.windowTitle().toStdString(), "Setup");
    EXPECT_TRUE(form.isModal());
    ASSERT_NE(form.findChild<QGroupBox*>("GBSettings"), nullptr);
    EXPECT_EQ(form.findChild<QGroupBox*>("GBSettings")->title().toStdString(), " Settings ");
    EXPECT_EQ(Items(List(form, "CBPort")), "/dev/serial/by-id/usb-Maker_Adapter-if00|ttyS10|ttyS2|ttyUSB0");

    QStringList labels;
    for (auto* label : form.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_THAT(labels, ::testing::UnorderedElementsAre("Port", "USB serial adapter", "Baud rate",
                                                        "Data bits", "Stop bits", "Parity", "Flow control"))
        << "the chosen port's description under the list";
    auto* ok = form.findChild<QPushButton*>("BBOk");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text().toStdString(), "OK");
    EXPECT_TRUE(ok->isDefault());
    ASSERT_NE(form.findChild<QPushButton*>("BBCancel"), nullptr);
    EXPECT_EQ(form.findChild<QPushButton*>("BBCancel")->text().toStdString(), "Cancel");
}

TEST_F(ComSetupTest, StartsOnTheCurrentValues) {
    Current.BaudRate = TBaudRate::br57600;
    Current.DataBits = TDataBits::dbSix;
    Current.StopBits = TStopBits::sbOne5StopBits;
    Current.Parity.Bits = TParityBits::prMark;
    Current.SetFlowControl(TFlowControl::fcHardware);
    TComSetupFrm form(Current, Ports);
    EXPECT_EQ(List(form, "CBPort")->currentText().toStdString(), "ttyUSB0");
    EXPECT_EQ(List(form, "CBBaudRate")->currentText().toStdString(), "57600");
    EXPECT_EQ(List(form, "CBDataBits")->currentText().toStdString(), "6");
    EXPECT_EQ(List(form, "CBStopBits")->currentText().toStdString(), "1.5");
    EXPECT_EQ(List(form, "CBParity")->currentText().toStdString(), "Mark");
    EXPECT_EQ(List(form, "CBFlowControl")->currentText().toStdString(), "Hardware");
}

// A port the system does not list is shown all the same; a typed one is trimmed; none keeps the
// current one.
TEST_F(ComSetupTest, ThePortIsTheOneTypedOrElseTheCurrentOne) {
    const struct {
        const char *Current, *Typed, *Port;
    } cases[] = {{"/dev/pts/7", nullptr, "/dev/pts/7"},
                 {"ttyUSB0", " /dev/serial/by-id/usb-krv ", "/dev/serial/by-id/usb-krv"},
                 {"ttyUSB0", "  ", "ttyUSB0"}};
    for (const auto& c : cases) {
        Current.Port = c.Current;
        TComSetupFrm form(Current, Ports);
        EXPECT_EQ(List(form, "CBPort")->currentText(), c.Current);
        if (c.Typed) List(form, "CBPort")->setEditText(c.Typed);
        TComSettings result = Current;
        form.ApplyTo(result);
        EXPECT_EQ(result.Port.toStdString(), c.Port) << c.Current;
    }
}

TEST_F(ComSetupTest, OkAppliesAllSixChoices) {
    TComSetupFrm form(Current, Ports);
    List(form, "CBPort")->setCurrentText("ttyS2");
    List(form, "CBBaudRate")->setCurrentText("9600");
    List(form, "CBDataBits")->setCurrentText("7");
    List(form, "CBStopBits")->setCurrentText("2");
    List(form, "CBParity")->setCurrentText("Even");
    List(form, "CBFlowControl")->setCurrentText("Software");
    TComSettings result = Current;
    form.ApplyTo(result);

    TComSettings expected = Current;
    expected.Port = "ttyS2";
    expected.BaudRate = TBaudRate::br9600;
    expected.DataBits = TDataBits::dbSeven;
    expected.StopBits = TStopBits::sbTwoStopBits;
    expected.Parity.Bits = TParityBits::prEven;
    expected.SetFlowControl(TFlowControl::fcSoftware);
    EXPECT_EQ(result, expected);
}

TEST_F(ComSetupTest, TypedNameIsNotCompletedToALongerListedOne) {
    TComSetupFrm form(Current, {{"ttyS10", ""}});
    QLineEdit* edit = List(form, "CBPort")->lineEdit();
    ASSERT_NE(edit, nullptr);
    form.show();
    QApplication::setActiveWindow(&form);
    edit->setFocus();
    edit->clear();
    for (QChar c : QString("ttyS1")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
    TComSettings result = Current;
    form.ApplyTo(result);
    EXPECT_EQ(result.Port.toStdString(), "ttyS1");
}

TEST_F(ComSetupTest, CustomFlowControlKeepsTheIndividualSettings) {
    Current.FlowControl.OutDSRFlow = true;
    Current.FlowControl.ControlDTR = TDTRFlowControl::dtrHandshake;
    Current.FlowControl.ControlRTS = TRTSFlowControl::rtsToggle;
    Current.FlowControl.XonXoffIn = true;
    ASSERT_EQ(Current.GetFlowControl(), TFlowControl::fcCustom);
    TComSetupFrm form(Current, Ports);
    EXPECT_EQ(List(form, "CBFlowControl")->currentText().toStdString(), "Custom");
    List(form, "CBBaudRate")->setCurrentText("1200");
    TComSettings result = Current;
    form.ApplyTo(result);
    EXPECT_EQ(result.FlowControl, Current.FlowControl);
    EXPECT_EQ(result.BaudRate, TBaudRate::br1200);
}

TEST_F(ComSetupTest, ExecuteAppliesOnOkAndNothingOnCancel) {
    for (const char* button : {"BBOk", "BBCancel"}) {
        const bool ok = button == std::string("BBOk");
        TComSettings settings = Current;
        WhenShown([this, button](TComSetupFrm& form) {
            List(form, "CBPort")->setEditText("ttyS2");
            List(form, "CBParity")->setCurrentText("Odd");
            form.findChild<QPushButton*>(button)->click();
        });
        EXPECT_EQ(TComSetupFrm::Execute(settings, Ports, nullptr), ok) << button;
        TComSettings expected = Current;
        if (ok) {
            expected.Port = "ttyS2";
            expected.Parity.Bits = TParityBits::prOdd;
        }
        EXPECT_EQ(settings, expected) << button;
    }
}

namespace {
// The lamp's colour well away from the highlight.
QColor LampColour(TComLed& led) {
    return led.grab().toImage().pixelColor(16, 17);
}
} // namespace

TEST(ComLedTest, ShowsItsColourWhenOnAndADarkerOneWhenOff) {
    struct Case {
        TComLed::TColour colour;
        std::function<bool(const QColor&)> hue;
    };
    const Case cases[] = {
        {TComLed::Red, [](const QColor& c) { return c.red() > 2 * c.green() && c.red() > 2 * c.blue(); }},
        {TComLed::Green, [](const QColor& c) { return c.green() > 2 * c.red() && c.green() > 2 * c.blue(); }},
        {TComLed::Yellow, [](const QColor& c) { return c.red() > 2 * c.blue() && c.green() > 2 * c.blue(); }},
    };
    for (const Case& test : cases) {
        TComLed led(TComSignal::Receive, test.colour);
        EXPECT_EQ(led.minimumSize(), led.maximumSize()) << "no layout stretches the lamp";
        EXPECT_EQ(led.width(), led.height());
        const QColor off = LampColour(led);
        led.SetState(true);
        const QColor on = LampColour(led);
        EXPECT_TRUE(test.hue(on)) << on.name().toStdString();
        EXPECT_TRUE(test.hue(off)) << off.name().toStdString();
        EXPECT_GT(on.value(), off.value() + 60) << on.name().toStdString() << " " << off.name().toStdString();
    }
}

TEST(ComLedTest, FollowsOnlyItsOwnSignal) {
    TComLed led(TComSignal::Transmit, TComLed::Red);
    led.SignalChanged(TComSignal::Receive, true);
    EXPECT_FALSE(led.State());
    led.SignalChanged(TComSignal::Transmit, true);
    EXPECT_TRUE(led.State());
    led.SignalChanged(TComSignal::Connection, false);
    EXPECT_TRUE(led.State());
}

// The port switches the send lamp on and off within one pass of the event loop: the lamp is painted
// lit all the same, and goes off when its hold has run out. A hidden lamp keeps no timer running
// and is settled as it comes into view.
TEST(ComLedTest, APulseIsPaintedLitUntilItsHoldRunsOut) {
    qint64 now = 5000;
    TComLed led(TComSignal::Transmit, TComLed::Red);
    led.NowMs = [&] { return now; };
    const QColor dark = LampColour(led);
    led.SignalChanged(TComSignal::Transmit, true);
    led.SignalChanged(TComSignal::Transmit, false);
    EXPECT_FALSE(led.HoldTimer->isActive()) << "hidden";
    now += TLampHold::ActivityHoldMs;
    led.show();
    EXPECT_FALSE(led.State());

    now += 1000;
    led.SignalChanged(TComSignal::Transmit, true);
    led.SignalChanged(TComSignal::Transmit, false);
    QCoreApplication::processEvents();
    EXPECT_TRUE(led.State());
    EXPECT_NE(LampColour(led), dark);
    ASSERT_TRUE(led.HoldTimer->isActive());

    now += TLampHold::ActivityHoldMs;
    QTimerEvent due(led.HoldTimer->timerId());
    QCoreApplication::sendEvent(led.HoldTimer, &due);
    EXPECT_FALSE(led.State());
    EXPECT_EQ(LampColour(led), dark);
    EXPECT_FALSE(led.HoldTimer->isActive());
}
