#include "link/ui/Comctrl.h"
#include "common/ui/Resources.h"
#include "common/ui/WindowFit.h"
#include "link/DeviceLink.h"
#include "link/ui/ComLed.h"
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QVBoxLayout>

namespace {
QPlainTextEdit* MakeLogMemo(const QString& name) {
    auto* memo = new QPlainTextEdit;
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setMaximumBlockCount(LogMemoMaxLines);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    memo->setFont(mono);
    return memo;
}

QWidget* MakeLogPanel(QCheckBox* check, QPlainTextEdit* memo) {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(check);
    layout->addWidget(memo);
    return panel;
}

QWidget* LedWithCaption(TComLed* led, const QString& caption) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 6, 0);
    layout->setSpacing(3);
    layout->addWidget(led);
    layout->addWidget(new QLabel(caption));
    return box;
}
} // namespace

TCommCtrlForm::TCommCtrlForm(TDeviceLink& link, QWidget* parent) : QWidget(parent, Qt::Window), link_(link) {
    EnsureResources();
    setObjectName("CommCtrlForm");
    setWindowTitle(QStringLiteral("ComPort 通信状態"));
    resize(560, 480);

    ComLed2 = new TComLed(TComSignal::Connection, TComLed::Yellow);
    ComLed2->setObjectName("ComLed2");
    ComLedTxD = new TComLed(TComSignal::Transmit, TComLed::Red);
    ComLedTxD->setObjectName("ComLedTxD");
    ComLedRxD = new TComLed(TComSignal::Receive, TComLed::Green);
    ComLedRxD->setObjectName("ComLedRxD");
    BBSetup = new QPushButton(QStringLiteral("Com Setup.."));
    BBSetup->setObjectName("BBSetup");

    // Received data the link dropped; shown only once there is some.
    LDropped = new QLabel;
    LDropped->setObjectName("LDropped");

    auto* top = new QHBoxLayout;
    top->addWidget(LedWithCaption(ComLed2, "Connection"));
    top->addWidget(LedWithCaption(ComLedTxD, "TxD"));
    top->addWidget(LedWithCaption(ComLedRxD, "RxD"));
    top->addWidget(LDropped);
    top->addStretch();
    top->addWidget(BBSetup);

    CBSendLog = new QCheckBox(QStringLiteral("送信ログ"));
    CBSendLog->setObjectName("CBSendLog");
    CBReciveLog = new QCheckBox(QStringLiteral("受信ログ"));
    CBReciveLog->setObjectName("CBReciveLog");
    MSend = MakeLogMemo("MSend");
    MRecive = MakeLogMemo("MRecive");

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->setObjectName("Splitter1");
    splitter->addWidget(MakeLogPanel(CBSendLog, MSend));
    splitter->addWidget(MakeLogPanel(CBReciveLog, MRecive));

    auto* logo = new QLabel;
    logo->setObjectName("ImageLogo");
    logo->setPixmap(QPixmap(QStringLiteral(":/logo/krv-logo.png")));
    BBClose = new QPushButton(QStringLiteral("Close"));
    BBClose->setObjectName("BBClose");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(logo);
    bottom->addStretch();
    bottom->addWidget(BBClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    connect(CBSendLog, &QCheckBox::toggled, this, [this](bool on) { link_.SetSendLog(on); });
    connect(CBReciveLog, &QCheckBox::toggled, this, [this](bool on) { link_.SetReceiveLog(on); });
    connect(BBSetup, &QPushButton::clicked, this, [this] { link_.BBSetupClick(); });
    connect(BBClose, &QPushButton::clicked, this, &QWidget::hide);
    following_.push_back(
        link_.SendLogLine.Follow([this](const QString& line) { MSend->appendPlainText(line); }));
    following_.push_back(
        link_.ReceiveLogLine.Follow([this](const QString& line) { MRecive->appendPlainText(line); }));
    signalFollowing_ = link_.SignalChanged.Follow([this](TComSignal signal, bool on) {
        for (TComLed* led : {ComLed2, ComLedTxD, ComLedRxD})
            led->SignalChanged(signal, on);
    });
    droppedFollowing_ = link_.ChunkDropped.Follow([this](int total) { ShowDropped(total); });
    ComLed2->SetState(link_.ComPortM.Connected());
    ShowDropped(link_.DroppedChunks());
}

TCommCtrlForm::~TCommCtrlForm() = default;

void TCommCtrlForm::ShowDropped(int total) {
    LDropped->setText(QStringLiteral("Dropped: %1").arg(total));
    LDropped->setVisible(total > 0);
}

void TCommCtrlForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) OpenOnScreen(this);
}

void TCommCtrlForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}
