#pragma once
#include <QList>
#include <QString>

// A port the setup dialog offers: what to open, and what it is, for the user to recognise it.
struct TPortInfo {
    QString Path;
    QString Description;
    bool operator==(const TPortInfo&) const = default;
};

// A link under /dev/serial/by-id and the device it leads to.
struct TPortLink {
    QString Path;
    QString Target;
};

// The setup dialog's list: the stable /dev/serial/by-id names first (a USB adapter keeps its name
// across plugging, where ttyUSB0 may become ttyUSB1), each described by the port it leads to, then
// the system's ports sorted by name; each path once.
QList<TPortInfo> MergePortList(QList<TPortInfo> system, const QList<TPortLink>& byId);

// The port the setup dialog starts on. While no port settings file exists the stored default
// ("COM7") names nothing on this system, so the first listed port is proposed instead; a port the
// user has chosen before always stands.
QString ProposedPort(const QList<TPortInfo>& ports, const QString& current, bool settingsFileExists);
