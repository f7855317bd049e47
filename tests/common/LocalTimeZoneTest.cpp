#include "common/LocalTimeZone.h"
#include "support/TimeZoneScope.h"
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The local hour at the epoch, through the conversion the charts' time axes make.
QString EpochHour() {
    return QDateTime::fromMSecsSinceEpoch(0).toString(QStringLiteral("hh"));
}

TEST(LocalTimeZone, PinsTheSystemsZoneFileOnlyWhereNoZoneIsSet) {
    QTemporaryDir dir;
    const QString localtime = dir.filePath("localtime");
    ASSERT_TRUE(QFile::copy("/usr/share/zoneinfo/Europe/Berlin", localtime));
    const QByteArray file = QFile::encodeName(localtime);
    const TimeZoneScope saved("UTC");

    qunsetenv("TZ");
    EXPECT_FALSE(PinLocalTimeZone(QFile::encodeName(dir.filePath("missing")).constData()));
    EXPECT_FALSE(qEnvironmentVariableIsSet("TZ")) << "no file, no pin";

    EXPECT_TRUE(PinLocalTimeZone(file.constData()));
    EXPECT_EQ(qgetenv("TZ"), ":" + file);
    EXPECT_EQ(EpochHour(), "01") << "the zone the file holds";

    qputenv("TZ", "Asia/Tokyo");
    EXPECT_FALSE(PinLocalTimeZone(file.constData()));
    EXPECT_EQ(qgetenv("TZ"), "Asia/Tokyo") << "the user's zone stands";
}

} // namespace
