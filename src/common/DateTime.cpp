#include "common/DateTime.h"

#include <QDate>
#include <QTime>
#include <cmath>

namespace {

constexpr qint64 MsPerDay = 86'400'000;

QDate Epoch() {
    return QDate(1899, 12, 30);
}

} // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
    const qint64 days = Epoch().daysTo(QDate(year, month, day));
    const qint64 ms = ((qint64(hour) * 60 + minute) * 60 + second) * 1000 + msec;
    const double fraction = double(ms) / double(MsPerDay);
    // Before the epoch the fraction still counts forward from midnight, so it moves away from zero.
    return days < 0 ? double(days) - fraction : double(days) + fraction;
}

TDateTimeParts DecodeDateTime(TDateTime value) {
    if (!std::isfinite(value)) return {};
    double whole = std::trunc(value);
    // Subtracting the whole days is exact, so the rounding below sees the full precision of the fraction.
    qint64 ms = std::llround(std::fabs(value - whole) * double(MsPerDay));
    if (ms >= MsPerDay) {
        ms -= MsPerDay;
        whole += value < 0 ? -1 : 1;
    }
    const QDate date = Epoch().addDays(qint64(whole));
    TDateTimeParts parts;
    parts.Year = date.year();
    parts.Month = date.month();
    parts.Day = date.day();
    parts.Hour = int(ms / 3'600'000);
    parts.Minute = int(ms / 60'000 % 60);
    parts.Second = int(ms / 1000 % 60);
    parts.MSec = int(ms % 1000);
    return parts;
}

qint64 WholeSeconds(TDateTime value) {
    const qint64 ms = std::llround(value * 86'400'000.0);
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

TDateTime FromQDateTime(const QDateTime& local) {
    const QDate d = local.date();
    const QTime t = local.time();
    return EncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec());
}

QDateTime ToQDateTime(TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    return QDateTime(QDate(p.Year, p.Month, p.Day), QTime(p.Hour, p.Minute, p.Second, p.MSec));
}

QString FormatDateTime(const QString& pattern, TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    const auto padded = [](int number, int digits) {
        return QStringLiteral("%1").arg(number, digits, 10, QLatin1Char('0'));
    };
    struct Token {
        QLatin1String text;
        QString value;
    };
    // Longest first, so that "yyyy" is not read as two "yy".
    const Token tokens[] = {
        {QLatin1String("yyyy"), padded(p.Year, 4)}, {QLatin1String("yy"), padded(p.Year % 100, 2)},
        {QLatin1String("mm"), padded(p.Month, 2)},  {QLatin1String("dd"), padded(p.Day, 2)},
        {QLatin1String("hh"), padded(p.Hour, 2)},   {QLatin1String("nn"), padded(p.Minute, 2)},
        {QLatin1String("ss"), padded(p.Second, 2)},
    };
    QString out;
    out.reserve(pattern.size() + 8);
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QStringView rest = QStringView(pattern).mid(i);
        const Token* match = nullptr;
        for (const Token& token : tokens) {
            if (rest.startsWith(token.text)) {
                match = &token;
                break;
            }
        }
        if (match) {
            out += match->value;
            i += match->text.size();
        } else {
            out += pattern[i++];
        }
    }
    return out;
}
