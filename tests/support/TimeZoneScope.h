#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <ctime>

// Sets the time zone for one scope and restores the old one on every way out, failed asserts
// included, so no later test runs in the wrong zone.
class TimeZoneScope {
  public:
    explicit TimeZoneScope(const char* zone) : saved_(qgetenv("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZoneScope() {
        saved_.isNull() ? qunsetenv("TZ") : qputenv("TZ", saved_);
        tzset();
    }
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;

  private:
    QByteArray saved_;
};
