#include "Format.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

#include <cstdio>
#include <ctime>

namespace lumidex {

std::string FormatSize(int64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes);
    char text[64];
    std::snprintf(text, sizeof text, "%.2fK", static_cast<double>(bytes) / 1024.0);
    return text;
}

std::string FormatFileTime(int64_t seconds) {
    QLocale locale = QLocale::system();
    QDateTime local = QDateTime::fromSecsSinceEpoch(seconds).toLocalTime();
    // The long time form of some locales names the time zone; the file time never does.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat).remove(QLatin1Char('t')).trimmed();
    QString text = locale.toString(local.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                   locale.toString(local.time(), timeFormat);
    return text.toStdString();
}

std::string FormatDateLine(int64_t seconds) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return "\n";
    char text[64];
    std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %d\n", kDays[tm.tm_wday % 7],
                  kMonths[tm.tm_mon % 12], tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  tm.tm_year + 1900);
    return text;
}

} // namespace lumidex
