#include "settings/ui/Systemset.h"
#include "common/ui/Resources.h"
#include "common/ui/WindowFit.h"
#include "link/DeviceLink.h"
#include "settings/ui/Setwrite.h"
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int EditWidth = 80;
constexpr int GridColumnWidth = 70;
const QString FullWidthSpace = QStringLiteral("\u3000");

QLabel* MakeLabel(const QString& text, const char* name = nullptr) {
    auto* label = new QLabel(text);
    if (name) label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton* MakeButton(const char* name, const QString& caption, const QString& accessibleName) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(accessibleName);
    // Enter belongs to OK alone; a focused button must not take it over.
    button->setAutoDefault(false);
    return button;
}
} // namespace

TSysSetForm::TSysSetForm(TSettings& settings, TDeviceLink& link, UserPrompts& prompts, QWidget* linkWindow,
                         QWidget* parent)
    : QDialog(parent, Qt::Window), link_(link), presenter_(settings, prompts, *this),
      linkWindow_(linkWindow) {
    EnsureResources();
    setObjectName(QStringLiteral("SysSetForm"));
    setWindowTitle(QStringLiteral("System Setting"));
    setModal(false);

    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    // The pages scroll where the screen is too small for them; OK and キャンセル stay below them.
    TabSheet1 = new TScrollPage(new QWidget);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = BuildDirectPage();
    PageControl1->addTab(TabSheet1, QStringLiteral("管理操作"));
    PageControl1->addTab(TabSheet2, QStringLiteral("直接操作"));
    // The calibration page is still empty; the page with something on it comes first.
    PageControl1->setCurrentWidget(TabSheet2);

    // The serial number beside the port group, both above the pages: stacked, they took the
    // height the pages need on a laptop screen.
    auto* top = new QHBoxLayout;
    top->addWidget(BuildPortGroup());
    top->addSpacing(12);
    top->addWidget(BuildSerialNumberBar(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(BuildBottomPanel());

    // The buttons show the link as it is, whichever window opened or closed it; a port that does
    // not open leaves the connect button down, as clicked.
    linkFollowing_ = link_.LinkStateChanged.Follow(
        [this](bool open) { (open ? SBConnection : SBDisconnection)->setChecked(true); });
}

QWidget* TSysSetForm::BuildPortGroup() {
    GBCom = new QGroupBox(QStringLiteral("通信ポート設定"));
    GBCom->setObjectName(QStringLiteral("GBCom"));
    Label1 = MakeLabel(QStringLiteral("通信制御"), "Label1");
    SBConnection = new QToolButton;
    SBConnection->setObjectName(QStringLiteral("SBConnection"));
    SBConnection->setText(QStringLiteral("通信開始"));
    SBConnection->setAccessibleName(QStringLiteral("通信開始"));
    SBDisconnection = new QToolButton;
    SBDisconnection->setObjectName(QStringLiteral("SBDisconnection"));
    SBDisconnection->setText(QStringLiteral("通信クローズ"));
    SBDisconnection->setAccessibleName(QStringLiteral("通信クローズ"));
    connectionGroup_ = new QButtonGroup(this);
    for (QToolButton* b : {SBConnection, SBDisconnection}) {
        b->setCheckable(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setMinimumWidth(96);
        connectionGroup_->addButton(b);
    }
    SBDisconnection->setChecked(true);
    Label2 = MakeLabel(QStringLiteral("通信管理"), "Label2");
    BBComShowStd =
        MakeButton("BBComShowStd", QStringLiteral("通信状況の表示"), QStringLiteral("通信状況の表示"));
    BBComSetStd =
        MakeButton("BBComSetStd", QStringLiteral("通信ポート設定..."), QStringLiteral("通信ポート設定"));

    auto* grid = new QGridLayout(GBCom);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(SBConnection, 0, 1);
    grid->addWidget(SBDisconnection, 0, 2);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(BBComShowStd, 1, 1);
    grid->addWidget(BBComSetStd, 1, 2);
    grid->setColumnStretch(3, 1);

    connect(SBConnection, &QToolButton::clicked, this, &TSysSetForm::SBConnectionClick);
    connect(SBDisconnection, &QToolButton::clicked, this, &TSysSetForm::SBDisconnectionClick);
    connect(BBComShowStd, &QPushButton::clicked, this, &TSysSetForm::BBComShowStdClick);
    connect(BBComSetStd, &QPushButton::clicked, this, &TSysSetForm::BBComSetStdClick);
    return GBCom;
}

QWidget* TSysSetForm::BuildSerialNumberBar() {
    Panel1 = new QWidget;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Label30 = MakeLabel(QStringLiteral("シリアル番号"), "Label30");
    ESNum = new QLineEdit(presenter_.SerialNumber());
    ESNum->setObjectName(QStringLiteral("ESNum"));
    ESNum->setAccessibleName(QStringLiteral("シリアル番号"));
    QFont large = ESNum->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    ESNum->setFont(large);
    ESNum->setMinimumWidth(160);
    Label30->setBuddy(ESNum);
    BBSNClear = new QToolButton;
    BBSNClear->setObjectName(QStringLiteral("BBSNClear"));
    BBSNClear->setText(QStringLiteral("✖"));
    BBSNClear->setToolTip(QStringLiteral("シリアル番号を消去"));
    BBSNClear->setAccessibleName(QStringLiteral("シリアル番号を消去"));
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(Label30);
    bar->addWidget(ESNum);
    bar->addWidget(BBSNClear);
    bar->addStretch(1);
    connect(BBSNClear, &QToolButton::clicked, this, &TSysSetForm::BBSNClearClick);
    connect(ESNum, &QLineEdit::textChanged, this,
            [this](const QString& text) { presenter_.SerialNumberEdited(text); });
    return Panel1;
}

QLineEdit* TSysSetForm::MakeEdit(const char* name, const QString& accessibleName) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessibleName);
    edit->setFixedWidth(EditWidth);
    edits_.insert(edit->objectName(), edit);
    return edit;
}

QWidget* TSysSetForm::BuildDirectPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    GroupBox1 = new QGroupBox(QStringLiteral("初期設定"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    // Left column: a heading, then its labelled edits; the accessible name carries the heading,
    // since "器差-1" appears under two of them.
    auto* left = new QGridLayout;
    // Rows of edits closer together than the style's spacing: so the page fits a laptop screen.
    left->setVerticalSpacing(2);
    int row = 0;
    auto heading = [&](const QString& text, const char* name) {
        left->addWidget(MakeLabel(text, name), row++, 0, 1, 2);
    };
    auto field = [&](const QString& label, const char* name, const QString& group) {
        QLabel* l = MakeLabel(label);
        QLineEdit* e = MakeEdit(name, group + QLatin1Char(' ') + label);
        l->setBuddy(e);
        left->addWidget(l, row, 0);
        left->addWidget(e, row++, 1);
    };
    // The left column's boxes: a heading, then the box's fields.
    const struct {
        TPageBox Box;
        const char* Heading;
        const char* Name;
        const char* Group;
    } boxes[] = {{TPageBox::WDDif, "WD器差補正 ─────────", "LWDDif", "WD器差補正"},
                 {TPageBox::ATDif, "AT器差補正 ─────────", "LATDif", "AT器差補正"},
                 {TPageBox::Rev, "軸感度補正 ─────────", "LRev", "軸感度補正"}};
    for (const auto& box : boxes) {
        heading(QString::fromUtf8(box.Heading), box.Name);
        for (const TPrmAspect* a : DirectPageAspects())
            if (a->Box == box.Box) field(a->Label, a->ObjectName, QString::fromUtf8(box.Group));
    }
    heading(QStringLiteral("システム設定値 ────────"), "LSystem");
    // The edit sits between "基準電圧" and "V", where the run of full-width spaces leaves room.
    for (const TPrmAspect* a : DirectPageAspects()) {
        if (a->Box != TPageBox::System) continue;
        LChipOn = MakeLabel(a->Label, "LChipOn");
        QLineEdit* volt = MakeEdit(a->ObjectName, a->Label + QStringLiteral("（V）"));
        LChipOn->setBuddy(volt);
        auto* voltRow = new QHBoxLayout;
        voltRow->setSpacing(4);
        voltRow->addWidget(volt);
        voltRow->addWidget(MakeLabel(QStringLiteral("V"), "LChipV"));
        voltRow->addStretch(1);
        left->addWidget(LChipOn, row, 0);
        left->addLayout(voltRow, row++, 1);
    }
    left->setRowStretch(row, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(MakeLabel(QStringLiteral("風速算出 ─────────────────"), "LWindSpeed"));
    right->addWidget(BuildWindSpeedPages(), 1);

    auto* columns = new QHBoxLayout(GroupBox1);
    columns->addLayout(left);
    columns->addSpacing(12);
    columns->addLayout(right, 1);

    BBWrite =
        MakeButton("BBWrite", FullWidthSpace + QStringLiteral("設定送出...."), QStringLiteral("設定送出"));
    BBWrite->setIcon(QIcon(QStringLiteral(":/buttons/setpoint.png")));
    BBWrite->setIconSize(QSize(24, 24));
    BBSetpointSave = MakeButton("BBSetpointSave", QStringLiteral("設定保存..."), QStringLiteral("設定保存"));
    BBSetpointSave->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    BBSetpointLoad = MakeButton("BBSetpointLoad", QStringLiteral("設定読込..."), QStringLiteral("設定読込"));
    BBSetpointLoad->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BBWrite);
    buttons->addStretch(1);
    buttons->addWidget(BBSetpointSave);
    buttons->addWidget(BBSetpointLoad);

    // The write, save and load buttons stay in view below the scrolled group.
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(new TScrollPage(GroupBox1), 1);
    layout->addLayout(buttons);

    connect(BBWrite, &QPushButton::clicked, this, &TSysSetForm::BBWriteClick);
    connect(BBSetpointSave, &QPushButton::clicked, this, &TSysSetForm::BBSetpointSaveClick);
    connect(BBSetpointLoad, &QPushButton::clicked, this, &TSysSetForm::BBSetpointLoadClick);
    return page;
}

QWidget* TSysSetForm::BuildWindSpeedPages() {
    PCWS = new QTabWidget;
    PCWS->setObjectName(QStringLiteral("PCWS"));

    auto* current = new QWidget;
    current->setObjectName(QStringLiteral("TSCurrentType"));
    auto* grid = new QGridLayout(current);
    grid->setVerticalSpacing(2);
    int row = 0;
    auto field = [&](const QString& label, const char* name) {
        QLabel* l = MakeLabel(label);
        QLineEdit* e = MakeEdit(name, label);
        l->setBuddy(e);
        grid->addWidget(l, row, 0);
        grid->addWidget(e, row++, 1);
    };
    int gridRows = 0;
    for (const TPrmAspect* a : DirectPageAspects()) {
        if (a->Box == TPageBox::CurrentType) field(a->Label, a->ObjectName);
        if (a->Box == TPageBox::Grid) gridRows = std::max(gridRows, a->Row + 1);
    }
    grid->addWidget(MakeLabel(QStringLiteral("誤差補正式 ─────────────"), "LRevTable"), row++, 0, 1, 2);

    SGRev = new QTableWidget(gridRows, 2);
    SGRev->setObjectName(QStringLiteral("SGRev"));
    SGRev->setAccessibleName(QStringLiteral("誤差補正式"));
    SGRev->verticalHeader()->hide();
    SGRev->verticalHeader()->setDefaultSectionSize(20);
    SGRev->horizontalHeader()->setDefaultSectionSize(GridColumnWidth);
    SGRev->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SGRev->horizontalHeader()->setFixedHeight(20);
    for (int c = 0; c < 2; ++c) {
        SGRev->setHorizontalHeaderItem(c, new QTableWidgetItem);
        for (int r = 0; r < gridRows; ++r) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            SGRev->setItem(r, c, item);
        }
    }
    // All eleven rows in view: the table is short, and a scrolled table hides which rows are set.
    SGRev->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SGRev->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * SGRev->frameWidth();
    SGRev->setFixedSize(2 * GridColumnWidth + frame, (gridRows + 1) * 20 + frame);
    // Each column is headed by the label of its fields.
    for (const TPrmAspect* a : DirectPageAspects())
        if (a->Box == TPageBox::Grid) SGRev->horizontalHeaderItem(a->Column)->setText(a->Label);
    grid->addWidget(SGRev, row++, 0, 1, 2, Qt::AlignLeft);
    grid->setRowStretch(row, 1);

    auto* old = new QWidget;
    old->setObjectName(QStringLiteral("TSOldType"));
    auto* oldGrid = new QGridLayout(old);
    oldGrid->setVerticalSpacing(2);
    oldGrid->addWidget(MakeLabel(QStringLiteral("V-WS変換係数 ───────"), "LVSCoef"), 0, 0, 1, 2);
    int oldRow = 1;
    for (const TPrmAspect* a : DirectPageAspects()) {
        if (a->Box != TPageBox::OldType) continue;
        QLabel* l = MakeLabel(a->Label);
        QLineEdit* e = MakeEdit(a->ObjectName, QStringLiteral("V-WS変換係数 ") + a->Label);
        l->setBuddy(e);
        oldGrid->addWidget(l, oldRow, 0);
        oldGrid->addWidget(e, oldRow++, 1);
    }
    oldGrid->setRowStretch(oldRow, 1);

    PCWS->addTab(current, QStringLiteral("現状型"));
    PCWS->addTab(old, QStringLiteral("旧型"));
    return PCWS;
}

QWidget* TSysSetForm::BuildBottomPanel() {
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("PBottom"));
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/logo/krv-mark.png"))
                          .scaled(24, 24, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    BBOk = MakeButton("BBOk", QStringLiteral("OK"), QStringLiteral("OK"));
    BBOk->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BBOk->setDefault(true);
    BBCancel = MakeButton("BBCancel", QStringLiteral("キャンセル"), QStringLiteral("キャンセル"));
    BBCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    auto* bar = new QHBoxLayout(panel);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(Image1);
    bar->addStretch(1);
    bar->addWidget(BBOk);
    bar->addWidget(BBCancel);
    connect(BBOk, &QPushButton::clicked, this, &TSysSetForm::BBOkClick);
    connect(BBCancel, &QPushButton::clicked, this, &TSysSetForm::BBCancelClick);
    // Esc: QDialog rejects, which hides the window as キャンセル does.
    return panel;
}

void TSysSetForm::SetFieldText(const TPrmAspect& field, const QString& text) {
    if (field.Row < 0) {
        if (QLineEdit* e = edits_.value(QLatin1String(field.ObjectName))) e->setText(text);
    } else {
        SGRev->item(field.Row, field.Column)->setText(text);
    }
}

QString TSysSetForm::FieldText(const TPrmAspect& field) const {
    if (field.Row < 0) {
        const QLineEdit* e = edits_.value(QLatin1String(field.ObjectName));
        return e ? e->text() : QString();
    }
    return SGRev->item(field.Row, field.Column)->text();
}

void TSysSetForm::SetCalibrationPage(QWidget* page) {
    static_cast<TScrollPage*>(TabSheet1)->setWidget(page);
    PageControl1->setCurrentWidget(TabSheet1);
}

void TSysSetForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A restore from the task bar is not a show: what was typed stays.
    if (event->spontaneous()) return;
    OpenOnScreen(this);
    presenter_.ShowParams();
    Q_EMIT VisibilityChanged(true);
}

void TSysSetForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous()) return;
    Q_EMIT VisibilityChanged(false);
}

void TSysSetForm::CommitPendingEdit() {
    if (QWidget* editor = SGRev->indexWidget(SGRev->currentIndex()))
        QMetaObject::invokeMethod(SGRev, "commitData", Qt::DirectConnection, Q_ARG(QWidget*, editor));
}

void TSysSetForm::ShowSerialNumber(const QString& text) {
    ESNum->setText(text);
}

void TSysSetForm::RunWriteWindow() {
    WriteForm->exec();
}

void TSysSetForm::CloseWindow(bool accepted) {
    if (accepted)
        accept();
    else
        reject();
}

void TSysSetForm::SBConnectionClick() {
    Q_EMIT ConnectRequested();
}

void TSysSetForm::SBDisconnectionClick() {
    Q_EMIT DisconnectRequested();
}

void TSysSetForm::BBComShowStdClick() {
    if (!linkWindow_) return;
    linkWindow_->show();
    linkWindow_->raise();
    linkWindow_->activateWindow();
}

void TSysSetForm::BBComSetStdClick() {
    link_.BBSetupClick();
}

void TSysSetForm::BBSNClearClick() {
    presenter_.ClearSerialNumberClicked();
}

void TSysSetForm::BBWriteClick() {
    presenter_.WriteClicked();
}

void TSysSetForm::BBSetpointSaveClick() {
    presenter_.SaveClicked();
}

void TSysSetForm::BBSetpointLoadClick() {
    presenter_.LoadClicked();
}

void TSysSetForm::BBOkClick() {
    presenter_.OkClicked();
}

void TSysSetForm::BBCancelClick() {
    presenter_.CancelClicked();
}
