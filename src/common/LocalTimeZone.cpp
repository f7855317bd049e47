#include "common/LocalTimeZone.h"
#include <QByteArray>
#include <QtGlobal>
#include <ctime>
#include <unistd.h>

bool PinLocalTimeZone(const char* zoneFile) {
    if (qEnvironmentVariableIsSet("TZ") || ::access(zoneFile, R_OK) != 0) return false;
    qputenv("TZ", QByteArray(":") + zoneFile);
    tzset();
    return true;
}
