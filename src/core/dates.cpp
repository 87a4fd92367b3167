#include "dates.h"

#include <QRegularExpression>

#include <atomic>

namespace vorlan {

QString chineseDate(const QDate &date)
{
    // Appended piece by piece: reports and lists write one per row.
    QString text;
    text.reserve(12);
    text += QString::number(date.year());
    text += u'年';
    text += QString::number(date.month());
    text += u'月';
    text += QString::number(date.day());
    text += u'日';
    return text;
}

std::optional<QDate> parseChineseDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,4})年(\\d{1,2})月(\\d{1,2})日\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString formatOrderTime(const QDateTime &time, int timeFormat)
{
    switch (timeFormat) {
    case 1: return time.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    case 2: return time.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    default: return time.toString(QStringLiteral("MM-dd HH:mm"));
    }
}

std::optional<QDateTime> parseOrderTime(const QString &text, int yearIfMissing)
{
    // [year sep] month sep day  hour:minute[:second]
    static const QRegularExpression re(QStringLiteral(
        "^\\s*(?:(\\d{4})[-/])?(\\d{1,2})[-/](\\d{1,2})\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int year = m.captured(1).isEmpty() ? yearIfMissing : m.captured(1).toInt();
    const QDate date(year, m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return wallClockTime(date, time);
}

QDateTime wallClockTime(const QDate &date, const QTime &time)
{
    const QDateTime local(date, time);
    if (local.isValid() || !date.isValid() || !time.isValid())
        return local;
    return QDateTime(date, time, Qt::UTC);
}

QString isoDateTime(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

namespace {
// The stored layout "YYYY-MM-DD HH:MM:SS" read digit by digit: reports read one per
// order, and the general parser costs some 20 µs a time.
std::optional<std::pair<QDate, QTime>> fromStoredLayout(const QString &text)
{
    if (text.size() != 19 || text.at(4) != u'-' || text.at(7) != u'-' || text.at(10) != u' ' || text.at(13) != u':'
        || text.at(16) != u':')
        return std::nullopt;
    const auto number = [&text](int from, int digits, int &value) {
        value = 0;
        for (int i = from; i < from + digits; ++i) {
            const char16_t c = text.at(i).unicode();
            if (c < u'0' || c > u'9')
                return false;
            value = value * 10 + (c - u'0');
        }
        return true;
    };
    int year, month, day, hour, minute, second;
    if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) || !number(11, 2, hour)
        || !number(14, 2, minute) || !number(17, 2, second))
        return std::nullopt;
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return std::pair(date, time);
}
} // namespace

std::optional<std::pair<QDate, QTime>> isoDateAndTime(const QString &text)
{
    if (const auto stored = fromStoredLayout(text))
        return stored;
    if (const auto t = fromIsoDateTime(text))
        return std::pair(t->date(), t->time());
    return std::nullopt;
}

std::optional<QDateTime> fromIsoDateTime(const QString &text)
{
    if (const auto stored = fromStoredLayout(text.size() == 16 ? text + QStringLiteral(":00") : text))
        return wallClockTime(stored->first, stored->second);
    QDateTime t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!t.isValid())
        t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!t.isValid())
        return std::nullopt;
    return t;
}

namespace {
TimeRange between(const QDate &first, const QDate &afterLast) { return {dayStartText(first), dayStartText(afterLast)}; }

// Minutes after midnight at which the business day starts.
std::atomic<int> g_businessDayStart{0};
constexpr int kLatestStart = 12 * 60 - 1;
} // namespace

QString midnightText(const QDate &day) { return day.toString(Qt::ISODate) + QStringLiteral(" 00:00:00"); }

void setBusinessDayStart(const QTime &start)
{
    const int minutes = start.isValid() ? start.hour() * 60 + start.minute() : 0;
    g_businessDayStart = minutes <= kLatestStart ? minutes : 0;
}

QTime businessDayStart()
{
    const int minutes = g_businessDayStart;
    return QTime(minutes / 60, minutes % 60);
}

QDate businessDate(const QDateTime &moment)
{
    const QTime time = moment.time();
    return time.hour() * 60 + time.minute() < g_businessDayStart ? moment.date().addDays(-1) : moment.date();
}

QString dayStartText(const QDate &day)
{
    const int minutes = g_businessDayStart;
    if (minutes == 0)
        return midnightText(day);
    return day.toString(Qt::ISODate) + QStringLiteral(" %1:%2:00").arg(minutes / 60, 2, 10, QLatin1Char('0'))
                                            .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

std::optional<QTime> parseBusinessDayStart(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,2}):(\\d{2})\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int hour = m.captured(1).toInt();
    const int minute = m.captured(2).toInt();
    if (minute > 59 || hour * 60 + minute > kLatestStart)
        return std::nullopt;
    return QTime(hour, minute);
}

QString businessDayStartText(const QTime &start) { return start.toString(QStringLiteral("HH:mm")); }

TimeRange dayRange(const QDate &day) { return between(day, day.addDays(1)); }

TimeRange monthRange(int year, int month)
{
    const QDate first(year, month, 1);
    return between(first, first.addMonths(1));
}

TimeRange yearRange(int year) { return between(QDate(year, 1, 1), QDate(year + 1, 1, 1)); }

} // namespace vorlan
