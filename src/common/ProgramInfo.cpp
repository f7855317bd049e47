#include "common/ProgramInfo.h"
#include "common/ProgramStatus.h"

QString VersionLine(const QString& program) {
    return QStringLiteral("%1 %2 (Qt %3)").arg(program, VersionText, QString::fromLatin1(qVersion()));
}
