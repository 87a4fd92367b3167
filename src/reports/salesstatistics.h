#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace vorlan {

class DataStore;

// Which statistics a change of the dish filter reruns.
enum class SalesMode { Year = 0, Month = 1, Day = 2 };

// Kept for the whole program run, shared by every opening of the sales window.
struct SalesState {
    SalesMode mode = SalesMode::Year;
    QString year;  // "2016"
    QString month; // "2016-05"
    QString day;   // "2016年5月3日"
    QString dish;  // the one dish counted; empty counts every dish
};

// The dish the filter box text stands for: nothing for the "all" entries.
QString dishForFilterText(const QString &text);

// One run of the statistics: the table, the totals and, for a year or a month, the chart.
struct SalesStatistics {
    QString title;
    QStringList headers;
    QList<QStringList> rows; // three cells each
    qint64 lineCount = 0;    // order lines found; 0 means no data for the period
    QString totalAmount;
    QString totalVolume;
    bool hasChart = false;
    QString chartTitle;
    QStringList periods; // chart periods (the first cells)
    QStringList amounts; // chart money values
    QStringList counts;  // chart count values
    int scaleMax = 0;
};

// `label` is the filter box text shown in the titles; `dish` the dish counted (empty: all).
// The amounts are rounded to one decimal place as they are read.
SalesStatistics yearSales(DataStore &store, const QString &year, const QString &label, const QString &dish);
SalesStatistics monthSales(DataStore &store, const QString &month, const QString &label, const QString &dish);
SalesStatistics daySales(DataStore &store, const QString &day, const QString &label, const QString &dish);

// Writes the line chart file of a year or month statistics into the program folder.
bool writeSalesChart(const SalesStatistics &statistics, const QString &programFolder);
// The year statistics without data leaves an empty chart file behind.
bool clearLineChart(const QString &programFolder);

} // namespace vorlan
