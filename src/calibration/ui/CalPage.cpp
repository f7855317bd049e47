#include "calibration/ui/CalPage.h"
#include "calibration/Calibration.h"
#include "common/ui/Panel.h"
#include "common/ui/WindowFit.h"
#include "settings/SettingsSends.h"
#include "settings/SysSetPresenter.h"
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QLabel* Panel(const QString& name) {
    QLabel* p = MakePanel(name);
    p->setMinimumWidth(250);
    return p;
}

QPushButton* Button(const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    return b;
}

QWidget* Heading(const QString& text) {
    auto* w = new QWidget;
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 4, 0, 0);
    row->addWidget(new QLabel(text));
    auto* rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    row->addWidget(rule, 1);
    return w;
}

void Colour(QWidget* w, QColor c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
}

void SetPanel(QLabel* label, const TCalPanel& panel) {
    label->setText(panel.Text);
    Colour(label, CalColour(panel.Colour, label->palette()));
}

void SetGauge(QProgressBar* bar, const TCalGauge& gauge) {
    bar->setValue(gauge.Progress);
    // A style sheet is parsed and the bar re-polished on every set; the colour changes rarely.
    const QString sheet = QStringLiteral("QProgressBar::chunk { background: %1; }")
                              .arg(CalColour(gauge.Colour, bar->palette()).name());
    if (bar->styleSheet() != sheet) bar->setStyleSheet(sheet);
}

} // namespace

QColor CalColour(TCalColour colour, const QPalette& palette) {
    switch (colour) {
    case TCalColour::Initial:
        return {255, 237, 193};
    case TCalColour::ButtonFace:
        return palette.color(QPalette::Button);
    case TCalColour::Silver:
        return {192, 192, 192};
    case TCalColour::White:
        return Qt::white;
    case TCalColour::LightGreen:
        return {160, 255, 160};
    case TCalColour::LightYellow:
        return {255, 255, 128};
    case TCalColour::Green:
        return {0, 255, 0};
    case TCalColour::Yellow:
        return {255, 255, 0};
    case TCalColour::LightOrange:
        return {255, 221, 140};
    case TCalColour::Red:
        return {255, 0, 0};
    }
    return {};
}

TCalPage::TCalPage(TCalibration& calibration, TSettingsSends& sends, TSysSetPresenter& sysSet,
                   QWidget* parent)
    : QWidget(parent), calibration_(calibration) {
    setObjectName(QStringLiteral("CalPage"));
    BBCalStart = Button(QStringLiteral("BBCalStart"), QStringLiteral("キャリブレーション開始"));
    PATRev = Panel(QStringLiteral("PATRev"));
    PATRevSet = Panel(QStringLiteral("PATRevSet"));
    BBATRcvFin = Button(QStringLiteral("BBATRcvFin"), QStringLiteral("気温器差確定"));
    PWTRev = Panel(QStringLiteral("PWTRev"));
    PWTRevSet = Panel(QStringLiteral("PWTRevSet"));
    PWTDif = Panel(QStringLiteral("PWTDif"));
    BBWSTRcvFin = Button(QStringLiteral("BBWSTRcvFin"), QStringLiteral("風向器差確定"));
    BBWSTClear = Button(QStringLiteral("BBWSTClear"), QStringLiteral("風向器差消去"));
    PWS0Cal = Panel(QStringLiteral("PWS0Cal"));
    PWS0CalSet = Panel(QStringLiteral("PWS0CalSet"));
    BB0mCalFin = Button(QStringLiteral("BB0mCalFin"), QStringLiteral("0m/s.調整確定"));
    PWS4Cal = Panel(QStringLiteral("PWS4Cal"));
    PWS4CalSet = Panel(QStringLiteral("PWS4CalSet"));
    BB4mCalFin = Button(QStringLiteral("BB4mCalFin"), QStringLiteral("Nm/s.調整確定"));
    PFinish = Panel(QStringLiteral("PFinish"));
    BBFin = Button(QStringLiteral("BBFin"), QStringLiteral("作業完了"));
    BBFin->setFixedSize(64, 64);
    PWSAS5 = Panel(QStringLiteral("PWSAS5"));
    PWSAS15 = Panel(QStringLiteral("PWSAS15"));
    for (QProgressBar** gauge : {&NmGage5, &NmGage15}) {
        *gauge = new QProgressBar;
        (*gauge)->setRange(0, 100);
        (*gauge)->setTextVisible(false);
    }
    NmGage5->setObjectName(QStringLiteral("NmGage5"));
    NmGage15->setObjectName(QStringLiteral("NmGage15"));

    SGCalData = new QTableWidget(CalGridRows - 1, CalGridColumns);
    SGCalData->setObjectName(QStringLiteral("SGCalData"));
    SGCalData->verticalHeader()->hide();
    SGCalData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SGCalData->setShowGrid(false);
    SGCalData->setSelectionMode(QAbstractItemView::NoSelection);
    // The minimum first: Qt clamps the default row height to the minimum in force.
    SGCalData->verticalHeader()->setMinimumSectionSize(18);
    SGCalData->verticalHeader()->setDefaultSectionSize(18);
    const int widths[] = {70, 50, 50, 50, 50};
    for (int c = 0; c < CalGridColumns; ++c)
        SGCalData->setColumnWidth(c, widths[c]);
    SGCalData->setFixedWidth(290);
    // Every row in view: a judgement scrolled away would pass unseen.
    SGCalData->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SGCalData->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The log grows with the window; it asks for a few lines only, so that the page fits a laptop.
    MSts = new TLinesMemo(6, QStringLiteral("＜デフォルト値設定＞：3 設定OK"));
    MSts->setObjectName(QStringLiteral("MSts"));
    MSts->setReadOnly(true);
    MSts->setMaximumBlockCount(StatusMemoMaxLines);
    MSts->setLineWrapMode(QPlainTextEdit::NoWrap);
    MSts->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MSts->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* left = new QGridLayout;
    int row = 0;
    left->addWidget(BBCalStart, row++, 0, 1, 2);
    const auto stack = [&](std::initializer_list<QWidget*> panels, std::initializer_list<QWidget*> buttons) {
        auto* p = new QVBoxLayout;
        for (QWidget* w : panels)
            p->addWidget(w);
        auto* b = new QVBoxLayout;
        for (QWidget* w : buttons)
            b->addWidget(w);
        left->addLayout(p, row, 0);
        left->addLayout(b, row++, 1);
    };
    stack({PATRev, PATRevSet}, {BBATRcvFin});
    stack({PWTRev, PWTRevSet, PWTDif}, {BBWSTRcvFin, BBWSTClear});
    stack({PWS0Cal, PWS0CalSet}, {BB0mCalFin});
    stack({PWS4Cal, PWS4CalSet}, {BB4mCalFin});
    left->addWidget(PFinish, row, 0);
    left->addWidget(BBFin, row++, 1);
    left->addWidget(PWSAS5, row, 0);
    left->addWidget(NmGage5, row++, 1);
    left->addWidget(PWSAS15, row, 0);
    left->addWidget(NmGage15, row++, 1);
    left->setRowStretch(row, 1);

    // The statistics head the right column, above the log: in the left column they made the page
    // too tall for a laptop screen, and the steps, the grid and the log stay in view together.
    auto* right = new QVBoxLayout;
    right->addWidget(Heading(QStringLiteral("計測値判断状況")));
    right->addWidget(SGCalData);
    right->addWidget(Heading(QStringLiteral("動作状況")));
    right->addWidget(MSts, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    connect(BBCalStart, &QPushButton::clicked, this,
            [this, &sysSet] { calibration_.BBCalStartClick(sysSet.SerialNumber()); });
    connect(BBATRcvFin, &QPushButton::clicked, this, [this] { calibration_.BBATRcvFinClick(); });
    connect(BBWSTRcvFin, &QPushButton::clicked, this, [this] { calibration_.BBWSTRcvFinClick(); });
    connect(BBWSTClear, &QPushButton::clicked, this, [this] { calibration_.BBWSTClearClick(); });
    connect(BB0mCalFin, &QPushButton::clicked, this, [this] { calibration_.BB0mCalFinClick(); });
    connect(BB4mCalFin, &QPushButton::clicked, this, [this] { calibration_.BB4mCalFinClick(); });
    connect(BBFin, &QPushButton::clicked, this, [this] { calibration_.BBFinClick(); });

    for (const QString& line : sends.StatusLines)
        MSts->appendPlainText(line);
    lineFollowing_ =
        sends.StatusLineAdded.Follow([this](const QString& line) { MSts->appendPlainText(line); });
    // The view changes every tick; a page nobody sees (the window closed, the other page in front)
    // is brought up to date when it comes into view instead.
    viewFollowing_ = calibration_.ViewChanged.Follow([this] {
        if (isVisible())
            ShowView(calibration_.View);
        else
            viewBehind_ = true;
    });
    paramsFollowing_ = calibration_.ParamsChanged.Follow([&sysSet] { sysSet.ShowParams(); });
    ShowView(calibration_.View);
    // Measured once the header has its texts: a Japanese caption makes the header taller.
    SGCalData->setFixedHeight(SGCalData->horizontalHeader()->sizeHint().height() + 18 * (CalGridRows - 1) +
                              2 * SGCalData->frameWidth());
}

void TCalPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!viewBehind_) return;
    viewBehind_ = false;
    ShowView(calibration_.View);
}

void TCalPage::ShowView(const TCalView& v) {
    for (int r = 0; r < CalGridRows; ++r) {
        for (int c = 0; c < CalGridColumns; ++c) {
            if (r == 0) {
                // A new header item lays the header out again; the captions rarely change.
                const QTableWidgetItem* header = SGCalData->horizontalHeaderItem(c);
                if (!header || header->text() != v.Grid[0][c])
                    SGCalData->setHorizontalHeaderItem(c, new QTableWidgetItem(v.Grid[0][c]));
                continue;
            }
            QTableWidgetItem* item = SGCalData->item(r - 1, c);
            if (!item) {
                item = new QTableWidgetItem;
                SGCalData->setItem(r - 1, c, item);
            }
            item->setText(v.Grid[r][c]);
            item->setForeground(Qt::black);
            item->setBackground(
                CalColour(v.GridRowGood[r] ? TCalColour::LightGreen : TCalColour::LightYellow, palette()));
        }
    }
    SetPanel(PATRev, v.PATRev);
    SetPanel(PATRevSet, v.PATRevSet);
    SetPanel(PWTRev, v.PWTRev);
    SetPanel(PWTRevSet, v.PWTRevSet);
    SetPanel(PWTDif, v.PWTDif);
    SetPanel(PWS0Cal, v.PWS0Cal);
    SetPanel(PWS0CalSet, v.PWS0CalSet);
    SetPanel(PWS4Cal, v.PWS4Cal);
    SetPanel(PWS4CalSet, v.PWS4CalSet);
    SetPanel(PFinish, v.PFinish);
    BBCalStart->setEnabled(v.BBCalStart);
    BBATRcvFin->setEnabled(v.BBATRcvFin);
    BBWSTRcvFin->setEnabled(v.BBWSTRcvFin);
    BBWSTClear->setEnabled(v.BBWSTClear);
    BB0mCalFin->setEnabled(v.BB0mCalFin);
    BB4mCalFin->setEnabled(v.BB4mCalFin);
    BBFin->setEnabled(v.BBFin);
    PWSAS5->setText(v.Gage5.AverageText);
    PWSAS15->setText(v.Gage15.AverageText);
    SetGauge(NmGage5, v.Gage5);
    SetGauge(NmGage15, v.Gage15);
}
