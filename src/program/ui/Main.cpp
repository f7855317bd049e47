#include "program/ui/Main.h"
#include "acquisition/LiveTexts.h"
#include "acquisition/TrendPoints.h"
#include "common/UserPrompts.h"
#include "common/ui/Panel.h"
#include "common/ui/Resources.h"
#include "common/ui/WindowFit.h"
#include "link/ui/Comctrl.h"
#include "monitor/ui/Monlist.h"
#include "program/ProgramCore.h"
#include "program/ui/StatusPanel.h"
#include "program/ui/TrendLine.h"
#include "settings/ui/Systemset.h"
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTimeAxis>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {
const QString NoticeText = QStringLiteral("KRV anemometers: monitor and service");
constexpr int MainTimerInterval = 200;
constexpr std::array<int, 4> StatusPanelWidths = {260, 180, 60, 50};
constexpr int ChartMinimumHeight = 100;
constexpr int SensorPanel = 1;
constexpr int PortPanel = 2;
constexpr int RecordPanel = 3;

QFont PanelFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial Narrow"),
                      QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("DejaVu Sans Condensed")});
    font.setStyleHint(QFont::SansSerif);
    font.setStretch(QFont::Condensed);
    font.setPixelSize(21);
    return font;
}

QLabel* MakeCaptionLabel(const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLabel* MakeValuePanel(const char* name, const QString& text, const QColor& colour) {
    QLabel* panel = MakePanel(QLatin1String(name), text);
    panel->setFont(PanelFont());
    panel->setMinimumWidth(90);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    palette.setColor(QPalette::WindowText, colour);
    panel->setPalette(palette);
    return panel;
}

QToolButton* MakeImageButton(const char* name, const QString& image, const QString& hint) {
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setIcon(QIcon(image));
    button->setIconSize(QSize(32, 32));
    button->setFixedSize(53, 41);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    return button;
}

// A trend chart: its series over a time axis and a value axis; no legend or title, white.
QChartView* MakeTrendChart(const char* name, std::initializer_list<QLineSeries*> series, QDateTimeAxis*& time,
                           QValueAxis*& values) {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 2, 2, 2));
    time = new QDateTimeAxis;
    values = new QValueAxis;
    // A short chart (a laptop at twice the scale) would otherwise show its values as "…".
    values->setTruncateLabels(false);
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (QLineSeries* s : series) {
        chart->addSeries(s);
        s->attachAxis(time);
        s->attachAxis(values);
    }
    auto* view = new QChartView(chart);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing, false);
    return view;
}

QLineSeries* MakeSeries(const char* name, const QColor& colour) {
    auto* series = new QLineSeries;
    series->setObjectName(QLatin1String(name));
    series->setName(QLatin1String(name));
    QPen pen(colour);
    pen.setWidth(1);
    series->setPen(pen);
    return series;
}

// The vertical axes follow the data, as they would scale themselves.
void ShowValueScale(QValueAxis* axis, std::initializer_list<const QList<QPointF>*> lists) {
    const std::optional<TValueScale> scale = TrendScale(lists, axis->tickCount());
    if (!scale) return;
    axis->setRange(scale->Min, scale->Max);
    axis->setTickCount(scale->TickCount);
}
} // namespace

TMainForm::TMainForm(TProgramCore& core, UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), core_(core), prompts_(prompts) {
    EnsureResources();
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("KRV series Demo"));
    setWindowIcon(QIcon(QStringLiteral(":/logo/krv-icon.png")));
    resize(609, 506);
    move(100, 50);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildTopBar();
    BuildCharts();
    BuildBottomBar();
    layout->addWidget(PTop);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(PBottom);
    setCentralWidget(central);
    BuildStatusBar();

    MainTimer = new QTimer(this);
    MainTimer->setObjectName(QStringLiteral("MainTimer"));
    MainTimer->setInterval(MainTimerInterval);
    connect(MainTimer, &QTimer::timeout, this, &TMainForm::MainTimerTimer);

    FormCreate();
}

TMainForm::~TMainForm() {
    // FormDestroy: the port closes before the link window (a child) is destroyed with this window.
    MainTimer->stop();
    // Nothing of this window is shown any more while the port closes.
    following_.clear();
    linkFollowing_.End();
    openFailureFollowing_.End();
    // The system setting window, a child, hides as it goes; this window can no longer take that.
    if (SysSetForm) SysSetForm->disconnect(this);
    core_.Shutdown();
}

void TMainForm::BuildTopBar() {
    PTop = new QWidget;
    PTop->setObjectName(QStringLiteral("PTop"));
    auto* bar = new QHBoxLayout(PTop);
    bar->setContentsMargins(4, 4, 4, 4);
    Image2 = new QLabel;
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setFixedSize(50, 50);
    Image2->setPixmap(QPixmap(QStringLiteral(":/logo/krv-mark.png")));
    PHoriz = MakeValuePanel("PHoriz", QStringLiteral("000 °"), QColor(0, 255, 0));
    PVerti = MakeValuePanel("PVerti", QStringLiteral("000 °"), QColor(255, 128, 255));
    PWindSpeed = MakeValuePanel("PWindSpeed", QStringLiteral("00.000 m/s."), QColor(0, 255, 255));
    PWindSpeed->setMinimumWidth(130);
    LAirTemp = MakeCaptionLabel("LAirTemp", QStringLiteral("気温"));
    PAirTemp = MakeValuePanel("PAirTemp", QStringLiteral("00.00 ℃"), QColor(255, 151, 151));
    LAirTemp->setVisible(false);
    PAirTemp->setVisible(false);

    bar->addWidget(Image2);
    bar->addWidget(MakeCaptionLabel("LHoriz", QStringLiteral("方位")));
    bar->addWidget(PHoriz);
    bar->addWidget(MakeCaptionLabel("LVerti", QStringLiteral("俯角")));
    bar->addWidget(PVerti);
    bar->addWidget(MakeCaptionLabel("LWindSpeed", QStringLiteral("風速")));
    bar->addWidget(PWindSpeed);
    bar->addWidget(LAirTemp);
    bar->addWidget(PAirTemp);
    bar->addStretch(1);
}

void TMainForm::BuildCharts() {
    FastLineSeries1 = MakeSeries("FastLineSeries1", QColor(0, 189, 0));
    Series2 = MakeSeries("Series2", QColor(255, 128, 255));
    Series1 = MakeSeries("Series1", QColor(0, 0, 255));

    RTCWindDirection =
        MakeTrendChart("RTCWindDirection", {FastLineSeries1, Series2}, directionTime_, directionValues_);
    RTCWindSpeed = MakeTrendChart("RTCWindSpeed", {Series1}, speedTime_, speedValues_);
    for (QChartView* view : {RTCWindDirection, RTCWindSpeed}) {
        QChart* chart = view->chart();
        for (QAbstractSeries* series : chart->series())
            TrendLines.push_back(new TTrendLine(chart, static_cast<QLineSeries*>(series)));
        // A new plot area (the window resized, the value labels grown) moves the lines with it.
        connect(chart, &QChart::plotAreaChanged, this, [this, chart] {
            for (TTrendLine* line : TrendLines)
                if (line->parentItem() == chart) line->Relayout();
        });
    }

    Splitter1 = new QSplitter(Qt::Vertical);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->addWidget(RTCWindDirection);
    Splitter1->addWidget(RTCWindSpeed);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    // In a window the screen makes short (a laptop at twice the scale) the speed chart gives way
    // too, rather than squeezing the direction chart to a line without labels.
    for (QChartView* chart : {RTCWindDirection, RTCWindSpeed})
        chart->setMinimumHeight(ChartMinimumHeight);
    Splitter1->setSizes({200, 188});
}

void TMainForm::BuildBottomBar() {
    PBottom = new QWidget;
    PBottom->setObjectName(QStringLiteral("PBottom"));
    auto* bar = new QHBoxLayout(PBottom);
    bar->setContentsMargins(4, 2, 4, 2);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/logo/krv-logo.png")));
    CBSecRec = new QCheckBox(QStringLiteral("秒記録"));
    CBSecRec->setObjectName(QStringLiteral("CBSecRec"));
    BBStart =
        MakeImageButton("BBStart", QStringLiteral(":/buttons/start.png"), QStringLiteral("データ収取開始"));
    BBStop =
        MakeImageButton("BBStop", QStringLiteral(":/buttons/stop.png"), QStringLiteral("データ収集終了"));
    BBSaveData = MakeImageButton("BBSaveData", QStringLiteral(":/buttons/savedata.png"),
                                 QStringLiteral("グラフプロットデータをファイルに保存"));
    BBSetpoint =
        MakeImageButton("BBSetpoint", QStringLiteral(":/buttons/setpoint.png"), QStringLiteral("設定変更"));

    bar->addWidget(Image1);
    bar->addWidget(CBSecRec);
    bar->addStretch(1);
    for (QToolButton* b : {BBStart, BBStop, BBSaveData, BBSetpoint})
        bar->addWidget(b);

    // Toggled, not clicked: a screen reader or an automation tool ticks the box without a click.
    connect(CBSecRec, &QCheckBox::toggled, this, &TMainForm::CBSecRecClick);
    connect(BBStart, &QToolButton::clicked, this, &TMainForm::BBStartClick);
    connect(BBStop, &QToolButton::clicked, this, &TMainForm::BBStopClick);
    connect(BBSaveData, &QToolButton::clicked, this, &TMainForm::BBSaveDataClick);
    connect(BBSetpoint, &QToolButton::clicked, this,
            [this] { BBSetpointClick(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier)); });
}

void TMainForm::BuildStatusBar() {
    SBStatus = new QStatusBar;
    SBStatus->setObjectName(QStringLiteral("SBStatus"));
    SBStatus->setSizeGripEnabled(false);
    for (int i = 0; i < int(StatusPanels.size()); ++i) {
        auto* panel = new TStatusPanel(StatusPanelWidths[i]);
        panel->setObjectName(QStringLiteral("SBStatusPanel%1").arg(i));
        // The port panel takes what the others leave: port paths and the reason a port did not
        // open are long here. None grows the window.
        SBStatus->addWidget(panel, i == PortPanel ? 1 : 0);
        if (i == SensorPanel) {
            TSampleRec widest;
            widest.ModelNumber = 88.88f;
            widest.FirmwareVersion = 8.88f;
            panel->FitWidthTo(MakeLiveTexts(widest, {}).SensorInfo);
            // Empty while the port is closed: the port panel then has room for why it did not open.
            panel->SetHiddenWhenEmpty(true);
        }
        StatusPanels[i] = panel;
        panel->installEventFilter(this);
    }
    SBStatus->installEventFilter(this);
    setStatusBar(SBStatus);
}

void TMainForm::FormCreate() {
    CommCtrlForm = new TCommCtrlForm(core_.Link, this);
    CommCtrlForm->setWindowFlags(Qt::Window);
    CommCtrlForm->hide();
    following_.push_back(core_.SecondDone.Follow([this] { ShowLiveValues(); }));
    linkFollowing_ = core_.LinkStateChanged.Follow([this](bool open) {
        if (!open) ShowClosedPort();
    });
    openFailureFollowing_ = core_.Link.OpenFailed.Follow([this] { ShowOpenFailure(); });
    MainTimer->start();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) OpenOnScreen(this);
    if (!shown_) {
        shown_ = true;
        FormShow();
    } else if (chartsBehind_) {
        UpdateCharts();
    }
}

void TMainForm::FormShow() {
    setWindowTitle(MainCaption());
    SetStatusText(0, NoticeText);
    CBSecRec->setChecked(core_.Monitor.SecondRecord());
    SetupCharts();
    core_.Show();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    MainTimer->stop();
    event->accept();
    Q_EMIT Closed();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        SBStatusDblClick(mouse->modifiers().testFlag(Qt::ShiftModifier));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::MainTimerTimer() {
    core_.MainTimerTimer();
}

void TMainForm::ShowLiveValues() {
    ShowLiveTexts();
    UpdateCharts();
}

void TMainForm::ShowLiveTexts() {
    const TLiveTexts t = MakeLiveTexts(core_.Store.CurrentSample, core_.Link.PortName());
    setWindowTitle(t.Caption);
    PWindSpeed->setText(t.WindSpeed);
    PHoriz->setText(t.Azimuth);
    PVerti->setText(t.Depression);
    PAirTemp->setText(t.AirTemp);
    SetStatusText(1, t.SensorInfo);
    SetStatusText(PortPanel, t.PortName);
    ShowRecordStatus();
}

void TMainForm::ShowClosedPort() {
    const TLiveTexts t = MakeClosedPortTexts();
    setWindowTitle(t.Caption);
    SetStatusText(1, t.SensorInfo);
    SetStatusText(PortPanel, t.PortName);
    ShowRecordStatus();
}

void TMainForm::ShowOpenFailure() {
    ShowClosedPort();
    // The system's reason right after the port's name matters most; the advice may go to the tooltip.
    StatusPanels[PortPanel]->SetFullText(core_.Link.OpenFailure(), {}, Qt::ElideRight);
}

void TMainForm::ShowRecordStatus() {
    const TRecordStatus status = core_.Monitor.RecordStatus();
    SetStatusText(RecordPanel, status.Text, status.Detail);
}

void TMainForm::SetStatusText(int panel, const QString& text, const QString& detail) {
    StatusPanels[panel]->SetFullText(text, detail);
}

void TMainForm::SetupCharts() {
    for (QDateTimeAxis* axis : {directionTime_, speedTime_}) {
        axis->setFormat(QStringLiteral("hh:mm"));
        axis->setTickCount(6);
    }
    ShowTimeRange();
}

void TMainForm::ShowTimeRange() {
    const TTimeRange range = TrendRange(core_.Now());
    // One call sets both ends, so the range is never momentarily inverted. The axis keeps only the
    // instant, so the ends need no local-time conversion here.
    for (QDateTimeAxis* axis : {directionTime_, speedTime_})
        axis->setRange(QDateTime::fromMSecsSinceEpoch(qint64(range.MinMs), Qt::UTC),
                       QDateTime::fromMSecsSinceEpoch(qint64(range.MaxMs), Qt::UTC));
}

void TMainForm::UpdateCharts() {
    // Nobody sees a minimised window's charts; they are brought up to date as it comes back.
    if (isMinimized() || !isVisible()) {
        chartsBehind_ = true;
        return;
    }
    chartsBehind_ = false;
    TTrendPoints points = MakeTrendPoints(core_.Store.SampleHistory);
    ShowTimeRange();
    ShowValueScale(directionValues_, {&points.Azimuth, &points.Depression});
    ShowValueScale(speedValues_, {&points.WindSpeed});
    TrendLines[0]->SetPoints(std::move(points.Azimuth));
    TrendLines[1]->SetPoints(std::move(points.Depression));
    TrendLines[2]->SetPoints(std::move(points.WindSpeed));
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && chartsBehind_ && !isMinimized()) UpdateCharts();
}

void TMainForm::BBStartClick() {
    core_.BBStartClick();
}

void TMainForm::BBStopClick() {
    core_.BBStopClick();
}

void TMainForm::BBSaveDataClick() {
    core_.Monitor.ExportPlotData();
}

void TMainForm::AttachSysSetForm(TSysSetForm* form) {
    SysSetForm = form;
    connect(form, &TSysSetForm::ConnectRequested, this, &TMainForm::BBStartClick);
    connect(form, &TSysSetForm::DisconnectRequested, this, &TMainForm::BBStopClick);
    connect(form, &TSysSetForm::VisibilityChanged, this,
            [this](bool visible) { core_.SetSettingsViewVisible(visible); });
}

void TMainForm::BBSetpointClick(bool shiftHeld) {
    if (!shiftHeld) {
        core_.Link.BBSetupClick();
        return;
    }
    // The service window opens whether the port is open or not; service mode lasts to the end.
    core_.Monitor.EnterServiceMode();
    if (!SysSetForm) return;
    SysSetForm->show();
    SysSetForm->raise();
    SysSetForm->activateWindow();
}

void TMainForm::SBStatusDblClick(bool shiftHeld) {
    if (!shiftHeld) return;
    core_.Monitor.EnterServiceMode();
    if (!MonForm) return;
    MonForm->show();
    MonForm->raise();
    MonForm->activateWindow();
}

void TMainForm::CBSecRecClick() {
    core_.Monitor.SetSecondRecord(CBSecRec->isChecked());
}
