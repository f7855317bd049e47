#include "link/PortList.h"
#include <QFileInfo>
#include <algorithm>

namespace {

// The system lists a port by its name ("ttyUSB0"), a link leads to its device ("/dev/ttyUSB0").
bool Names(const TPortInfo& port, const QString& device) {
    return port.Path == device || QFileInfo(device).fileName() == port.Path;
}

} // namespace

QList<TPortInfo> MergePortList(QList<TPortInfo> system, const QList<TPortLink>& byId) {
    std::sort(system.begin(), system.end(),
              [](const TPortInfo& a, const TPortInfo& b) { return a.Path < b.Path; });
    QList<TPortLink> links = byId;
    std::sort(links.begin(), links.end(),
              [](const TPortLink& a, const TPortLink& b) { return a.Path < b.Path; });
    QList<TPortInfo> list;
    auto add = [&list](const TPortInfo& port) {
        if (std::none_of(list.begin(), list.end(), [&](const TPortInfo& p) { return p.Path == port.Path; }))
            list << port;
    };
    for (const TPortLink& link : links) {
        QString description = QStringLiteral("→ ") + link.Target;
        for (const TPortInfo& port : system)
            if (Names(port, link.Target) && !port.Description.isEmpty())
                description += QStringLiteral(", ") + port.Description;
        add({link.Path, description});
    }
    for (const TPortInfo& port : system)
        add(port);
    return list;
}

QString ProposedPort(const QList<TPortInfo>& ports, const QString& current, bool settingsFileExists) {
    if (settingsFileExists || ports.isEmpty()) return current;
    for (const TPortInfo& port : ports)
        if (port.Path == current) return current;
    return ports.first().Path;
}
