#include "settings/ui/Setwrite.h"
#include "common/ui/Resources.h"
#include "common/ui/WindowFit.h"
#include "settings/WriteSequence.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

TWriteForm::TWriteForm(TWriteSequence& write, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), write_(write) {
    EnsureResources();
    setObjectName(QStringLiteral("WriteForm"));
    setWindowTitle(QStringLiteral("設定送出"));
    setModal(true);

    BBDo = new QPushButton(QStringLiteral("\u3000書込み実行"));
    BBDo->setObjectName(QStringLiteral("BBDo"));
    BBDo->setAccessibleName(QStringLiteral("書込み実行"));
    BBDo->setIcon(QIcon(QStringLiteral(":/buttons/setpoint.png")));
    BBDo->setIconSize(QSize(32, 32));
    BBDo->setMinimumHeight(48);
    // Enter must not start a write by accident; the button is pressed on purpose.
    BBDo->setAutoDefault(false);

    // A whole successful run (sixteen lines) fits without scrolling, with room for mismatch lines,
    // where the screen allows; on a smaller one the memo scrolls.
    MSts = new TLinesMemo(20, QStringLiteral("Group-1 ： 書込み失敗！ 送信データ不一致"));
    MSts->setObjectName(QStringLiteral("MSts"));
    MSts->setAccessibleName(QStringLiteral("書込み状況"));
    MSts->setReadOnly(true);
    MSts->setMinimumWidth(380);

    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/logo/krv-mark.png"))
                          .scaled(24, 24, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    BBClose = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("終了"));
    BBClose->setObjectName(QStringLiteral("BBClose"));
    BBClose->setAccessibleName(QStringLiteral("終了"));
    BBClose->setAutoDefault(false);
    BBCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("中止"));
    BBCancel->setObjectName(QStringLiteral("BBCancel"));
    BBCancel->setAccessibleName(QStringLiteral("中止"));
    BBCancel->setAutoDefault(false);

    auto* bottom = new QWidget;
    bottom->setObjectName(QStringLiteral("PBottom"));
    auto* bar = new QHBoxLayout(bottom);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(Image1);
    bar->addStretch(1);
    bar->addWidget(BBClose);
    bar->addWidget(BBCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BBDo);
    layout->addWidget(MSts, 1);
    layout->addWidget(bottom);

    connect(BBDo, &QPushButton::clicked, this, &TWriteForm::BBDoClick);
    connect(BBClose, &QPushButton::clicked, this, &TWriteForm::BBCloseClick);
    connect(BBCancel, &QPushButton::clicked, this, &TWriteForm::BBCancelClick);

    stateFollowing_ = write_.StateChanged.Follow([this] { ShowState(); });
    lineFollowing_ = write_.LineAdded.Follow([this](const QString& line) {
        MSts->appendPlainText(line);
        MSts->verticalScrollBar()->setValue(MSts->verticalScrollBar()->maximum());
    });
    ShowState();
}

void TWriteForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) OpenOnScreen(this, parentWidget() ? parentWidget()->window() : nullptr);
}

void TWriteForm::ShowState() {
    // The memo is rebuilt only when the sequence emptied it (a new show); lines arrive one by one.
    if (write_.Lines.isEmpty() && !MSts->document()->isEmpty()) MSts->clear();
    BBClose->setEnabled(write_.CloseEnabled);
    BBCancel->setEnabled(write_.CancelEnabled);
    // The sequence ended the window by itself (for instance a second view closed it): follow it.
    if (!write_.Shown && isVisible() && !closing_) QDialog::done(QDialog::Rejected);
}

void TWriteForm::BBDoClick() {
    write_.BBDoClick();
}

void TWriteForm::BBCloseClick() {
    write_.BBCloseClick();
    accept();
}

void TWriteForm::BBCancelClick() {
    write_.BBCancelClick();
    reject();
}

void TWriteForm::done(int result) {
    closing_ = true;
    write_.FormClose();
    closing_ = false;
    QDialog::done(result);
}
