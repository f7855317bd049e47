#include "link/ui/ComSetup.h"
#include "common/ui/WindowFit.h"
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

TComSetupFrm::TComSetupFrm(const TComSettings& settings, const QList<TPortInfo>& ports, QWidget* parent)
    : QDialog(parent), ports_(ports) {
    setWindowTitle("Setup");
    setModal(true);

    auto* group = new QGroupBox(" Settings ", this);
    group->setObjectName("GBSettings");
    auto* form = new QFormLayout(group);

    QStringList paths;
    for (const TPortInfo& port : ports)
        paths << port.Path;
    paths.removeDuplicates();

    CBPort = AddList("CBPort", paths, settings.Port);
    for (int i = 0; i < CBPort->count(); ++i)
        for (const TPortInfo& port : ports)
            if (port.Path == CBPort->itemText(i)) CBPort->setItemData(i, port.Description, Qt::ToolTipRole);
    CBPort->setEditable(true);
    // Completing "ttyS1" to a listed "ttyS10" would silently choose the wrong port.
    CBPort->setCompleter(nullptr);
    CBPort->setInsertPolicy(QComboBox::NoInsert);
    // Setting the text after making it editable shows a port that is not in the list too.
    CBPort->setCurrentText(settings.Port);
    CBBaudRate = AddList("CBBaudRate", BaudRateNames, BaudRateName(settings.BaudRate));
    CBDataBits = AddList("CBDataBits", DataBitsNames, DataBitsName(settings.DataBits));
    CBStopBits = AddList("CBStopBits", StopBitsNames, StopBitsName(settings.StopBits));
    CBParity = AddList("CBParity", ParityNames, ParityName(settings.Parity.Bits));
    CBFlowControl = AddList("CBFlowControl", FlowControlNames, FlowControlName(settings.GetFlowControl()));
    LPortInfo = new QLabel(this);
    LPortInfo->setObjectName("LPortInfo");
    LPortInfo->setWordWrap(true);
    connect(CBPort, &QComboBox::currentTextChanged, this, &TComSetupFrm::ShowPortInfo);
    ShowPortInfo(CBPort->currentText());
    form->addRow("Port", CBPort);
    form->addRow(LPortInfo);
    form->addRow("Baud rate", CBBaudRate);
    form->addRow("Data bits", CBDataBits);
    form->addRow("Stop bits", CBStopBits);
    form->addRow("Parity", CBParity);
    form->addRow("Flow control", CBFlowControl);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("BBOk");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("BBCancel");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

void TComSetupFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) OpenOnScreen(this);
}

QComboBox* TComSetupFrm::AddList(const QString& name, const QStringList& items, const QString& current) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(std::max<qsizetype>(0, items.indexOf(current)));
    return box;
}

void TComSetupFrm::ShowPortInfo(const QString& port) {
    QString text;
    for (const TPortInfo& info : ports_)
        if (info.Path == port.trimmed()) text = info.Description;
    LPortInfo->setText(text);
    LPortInfo->setAccessibleName(text);
}

void TComSetupFrm::ApplyTo(TComSettings& settings) const {
    // An empty port name cannot be opened; keep the one there was.
    const QString port = CBPort->currentText().trimmed();
    if (!port.isEmpty()) settings.Port = port;
    settings.BaudRate = BaudRateFromName(CBBaudRate->currentText());
    settings.DataBits = DataBitsFromName(CBDataBits->currentText());
    settings.StopBits = StopBitsFromName(CBStopBits->currentText());
    settings.Parity.Bits = ParityFromName(CBParity->currentText());
    settings.SetFlowControl(FlowControlFromName(CBFlowControl->currentText()));
}

bool TComSetupFrm::Execute(TComSettings& settings, const QList<TPortInfo>& ports, QWidget* parent) {
    TComSetupFrm form(settings, ports, parent);
    if (form.exec() != QDialog::Accepted) return false;
    form.ApplyTo(settings);
    return true;
}
