#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace vorlan {

// The chart data files read back for drawing.

struct LineSeriesData {
    QString name;
    QColor lineColour;
    QColor pointColour;
    int thickness = 1;
};

struct LineChartData {
    QString title;
    double yMin = 0;
    double yMax = 0;
    int intervals = 5;
    QList<LineSeriesData> series;
    QStringList periods;
    QList<QList<double>> values; // per period, in series order
};

struct PieSliceData {
    QString name;
    double value = 0;
    QColor colour;
};

struct PieChartPart {
    QString title;
    QColor titleColour;
    int titleSize = 12;
    bool titleBold = false;
    QList<PieSliceData> slices;
    bool showLegend = false;
    QColor textColour;
    QString percentMode;
};

struct PieChartData {
    QColor background;
    QList<PieChartPart> pies;
};

// "0xRRGGBB" or a decimal number (grid colour) as a colour; invalid otherwise.
QColor chartColour(const QString &text);

// nullopt for a missing, empty or malformed file.
std::optional<LineChartData> readLineChart(const QString &path);
std::optional<PieChartData> readPieChart(const QString &path);

} // namespace vorlan
