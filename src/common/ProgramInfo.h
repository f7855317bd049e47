#pragma once
#include <QString>

// The program's name as the system knows it: the command, the per-user folders, messages.
inline const QString ProgramName = QStringLiteral("krv-monitor");
// The application id (reverse DNS): the desktop entry's and the icon's name, the AppStream id and
// the window class.
inline const QString ApplicationId = QStringLiteral("org.krvmonitor.KrvMonitor");

// "<program> 0.80 (Qt 6.4.2)": the program's version and the Qt it runs on.
QString VersionLine(const QString& program);
