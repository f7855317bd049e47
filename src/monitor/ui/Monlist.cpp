#include "monitor/ui/Monlist.h"
#include "common/ui/WindowFit.h"
#include "monitor/Monitor.h"
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

TMonForm::TMonForm(TMonitor& monitor, QWidget* parent) : QWidget(parent, Qt::Tool), monitor_(monitor) {
    setObjectName(QStringLiteral("MonForm"));
    setWindowTitle(QStringLiteral("Monitor List"));

    SGList = new QTableView;
    SGList->setObjectName(QStringLiteral("SGList"));
    SGList->setModel(&monitor_.List);
    SGList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SGList->verticalHeader()->hide();
    // The minimum first: Qt clamps the default row height to the minimum in force, which the
    // style derives from the font (18 pixels here).
    SGList->verticalHeader()->setMinimumSectionSize(16);
    SGList->verticalHeader()->setDefaultSectionSize(16);
    SGList->horizontalHeader()->setDefaultSectionSize(90);
    SGList->horizontalHeader()->setStretchLastSection(true);
    SGList->horizontalHeader()->setFixedHeight(16);
    // Horizontal lines only: a grid of none, rows parted by a bottom border.
    SGList->setShowGrid(false);
    SGList->setStyleSheet(
        QStringLiteral("QTableView::item { border-bottom: 1px solid palette(mid); padding: 0 2px; }"));
    SGList->setWordWrap(false);

    PConsole = new QWidget;
    PConsole->setObjectName(QStringLiteral("PConsole"));
    BBSaveFile = new QPushButton(QStringLiteral("Save Short Log."));
    BBSaveFile->setObjectName(QStringLiteral("BBSaveFile"));
    BBClose = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Close"));
    BBClose->setObjectName(QStringLiteral("BBClose"));
    auto* bar = new QHBoxLayout(PConsole);
    bar->setContentsMargins(4, 4, 4, 4);
    bar->addWidget(BBSaveFile);
    bar->addStretch(1);
    bar->addWidget(BBClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(SGList, 1);
    layout->addWidget(PConsole);
    // By default every row is in view: the header and the 32 rows, the frame and the button bar.
    resize(212, SGList->horizontalHeader()->height() +
                    SGList->verticalHeader()->defaultSectionSize() * monitor_.List.rowCount() +
                    2 * SGList->frameWidth() + PConsole->sizeHint().height());

    connect(BBSaveFile, &QPushButton::clicked, this, &TMonForm::BBSaveFileClick);
    connect(BBClose, &QPushButton::clicked, this, &TMonForm::BBCloseClick);
}

TMonForm::~TMonForm() {
    monitor_.SaveRecordSettings();
}

void TMonForm::BBSaveFileClick() {
    monitor_.BBSaveFileClick();
}

void TMonForm::BBCloseClick() {
    close();
}

void TMonForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) OpenOnScreen(this);
}

void TMonForm::closeEvent(QCloseEvent* event) {
    monitor_.SaveRecordSettings();
    event->accept();
}
