#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

namespace vorlan {

// The condition the order history browser and its export apply to the orders. Each menu
// of the browser sets one of these whole; they never combine.
struct HistoryFilter {
    enum class Kind { All, Takeout, Phone, Day, Period };

    Kind kind = Kind::All;
    QString phone;        // Phone
    QDate firstDay;       // Day and Period
    QDate lastDay;        // Period (equals firstDay for Day)

    static HistoryFilter all() { return {}; }
    static HistoryFilter takeout() { return {Kind::Takeout, {}, {}, {}}; }
    static HistoryFilter byPhone(const QString &phone) { return {Kind::Phone, phone, {}, {}}; }
    static HistoryFilter day(const QDate &day) { return {Kind::Day, {}, day, day}; }
    static HistoryFilter period(const QDate &first, const QDate &last) { return {Kind::Period, {}, first, last}; }

    bool isEmpty() const { return kind == Kind::All; }
    bool isTimeRange() const { return kind == Kind::Day || kind == Kind::Period; }

    // The condition on 存单 (to follow "where" or "and"), empty for all orders, and the
    // values bound to its placeholders. Days run from just after the midnight that starts
    // the first one up to and including the midnight that ends the last one.
    QString condition() const;
    QVariantList values() const;

    // The browser's description of the filter (透明标签7).
    QString description() const;

    bool operator==(const HistoryFilter &) const = default;
};

} // namespace vorlan
