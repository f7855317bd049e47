#include "common/ProgramDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

QString ProgramDir() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    // applicationDirPath() needs the application object; the kernel knows the executable without one.
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}
