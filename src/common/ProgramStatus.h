#pragma once
#include <QString>

inline const QString VersionText = QStringLiteral("0.80");
