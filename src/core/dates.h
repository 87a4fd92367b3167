#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>
#include <utility>

namespace vorlan {

// "2017年8月5日": year, month and day without leading zeros.
QString chineseDate(const QDate &date);
std::optional<QDate> parseChineseDate(const QString &text);

// The order time as the main window shows it:
// 1 → "2017/08/05 09:07", 2 → "2017-08-05 09:07", anything else → "08-05 09:07".
QString formatOrderTime(const QDateTime &time, int timeFormat);

// Reads any of the three order-time forms (and the stored ISO form). A text without a
// year takes `yearIfMissing`. Seconds are dropped. Nothing readable gives nullopt.
std::optional<QDateTime> parseOrderTime(const QString &text, int yearIfMissing);

// A local date and time as written on a clock. A time the clock skips (the hour a
// daylight-saving change leaves out, midnight itself in some zones) is kept as written
// rather than turned into an invalid QDateTime: stored times are wall-clock texts.
QDateTime wallClockTime(const QDate &date, const QTime &time);

// Date-time columns hold "YYYY-MM-DD HH:MM:SS".
QString isoDateTime(const QDateTime &time);
std::optional<QDateTime> fromIsoDateTime(const QString &text);
// The date and the time of day of such a text, without the time-zone work of a QDateTime
// (which a report listing many orders would pay for on every row).
std::optional<std::pair<QDate, QTime>> isoDateAndTime(const QString &text);

// "YYYY-MM-DD 00:00:00", made from the date alone: a local midnight may not exist.
QString midnightText(const QDate &day);

// The business day. A shop open past midnight counts the small hours to the day before:
// its business day starts at a time of the morning (the preference 营业日开始时间,
// "00:00" by default, which is the calendar day). The start is shop-wide: it is set once
// the preference is read and whenever it is changed, and every day, month and year bound
// below follows it.
void setBusinessDayStart(const QTime &start);
QTime businessDayStart();
// The business day a moment belongs to: its date, or the day before while the clock has
// not reached the start time.
QDate businessDate(const QDateTime &moment);
// "YYYY-MM-DD HH:MM:00": the start of the business day `day`, made from the texts alone
// like midnightText.
QString dayStartText(const QDate &day);
// The preference as stored, "HH:MM" from 00:00 to 11:59; nullopt for anything else.
std::optional<QTime> parseBusinessDayStart(const QString &text);
QString businessDayStartText(const QTime &start);

// A filter range on a date-time column: after `from` (exclusive) up to and including
// `to`, both ISO texts. A day runs from its own start to the next one (midnight to
// midnight unless the business day starts later).
struct TimeRange {
    QString from;
    QString to;
};
TimeRange dayRange(const QDate &day);
TimeRange monthRange(int year, int month);
TimeRange yearRange(int year);

} // namespace vorlan
