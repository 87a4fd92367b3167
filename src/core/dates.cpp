#include "dates.h"

#include <QRegularExpression>

namespace vorlan {

QString chineseDate(const QDate &date)
{
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
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
    return QDateTime(date, time);
}

QString isoDateTime(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<QDateTime> fromIsoDateTime(const QString &text)
{
    QDateTime t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!t.isValid())
        t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!t.isValid())
        return std::nullopt;
    return t;
}

namespace {
TimeRange between(const QDate &first, const QDate &afterLast)
{
    return {isoDateTime(QDateTime(first, QTime(0, 0))), isoDateTime(QDateTime(afterLast, QTime(0, 0)))};
}
} // namespace

TimeRange dayRange(const QDate &day) { return between(day, day.addDays(1)); }

TimeRange monthRange(int year, int month)
{
    const QDate first(year, month, 1);
    return between(first, first.addMonths(1));
}

TimeRange yearRange(int year) { return between(QDate(year, 1, 1), QDate(year + 1, 1, 1)); }

} // namespace vorlan
