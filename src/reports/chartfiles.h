#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace vorlan {

// Colours handed to the chart files are Windows colour values, 0x00BBGGRR (red lowest).
using WinColor = quint32;

// "0x" and the three low bytes, lowest first, in upper-case hex: 0x000000FF → "0xFF0000".
QString colorToHex(WinColor colour);
QByteArray toUtf8(const QString &text);

// Titles and names go into attribute values and element texts; the characters that would
// break the XML are written as entities. Every other text stays as it is.
QString escapeChartText(const QString &text);

// The folder with exactly one trailing separator (the temporary folder of the pie file).
QString withTrailingSeparator(const QString &folder);

// Where the chart data files lie.
QString lineChartPath(const QString &programFolder);
QString pieDataPath(const QString &temporaryFolder);

// The version of the built-in chart component (0 would mean "no charts").
int chartPlayerVersion();

// The configuration block of the line chart file. Optional colours take their fixed
// default text when not given.
struct LineChartConfig {
    int left = 0, top = 0, width = 0, height = 0;
    std::optional<WinColor> zebraColour1, zebraColour2;
    int lineSideMargin = 0;
    std::optional<WinColor> borderColour;
    int axisTextSize = 0;
    std::optional<WinColor> axisTextColour;
    int yTextMargin = 0, yMin = 0, yMax = 0, yIntervals = 0;
    int xTextMargin = 0;
    int gridThickness = 0;
    WinColor gridColour = 0; // written as a decimal integer
    bool legendVisible = false;
    int legendLeft = 0, legendTop = 0, legendWidth = 0, legendTextSize = 0;
    std::optional<WinColor> legendTextColour, legendBackColour;
    int pointRadius = 0;
    int tooltipTextSize = 0;
    bool synchronized = false;
};

// The settings every line chart of the reports uses; only the Y maximum varies.
LineChartConfig reportLineChartConfig(int yMax);

// Builds the line chart data file. Calling order: configure, addParagraph, addSeries per
// series, setPeriods, addValues per value list, save.
class LineChartDocument
{
public:
    void configure(const LineChartConfig &config);
    // align 1 centre, 2 right, anything else left; no colour gives "0x000066".
    void addParagraph(int align, bool bold, std::optional<WinColor> colour, int size, int x, int y, int width,
                      const QString &text);
    void addSeries(WinColor lineColour, int thickness, WinColor pointColour, const QString &name);
    void setPeriods(const QStringList &names);
    // Value i goes to period i; periods without a value get 0, extra values are dropped.
    void addValues(const QStringList &values);

    // The whole file as save writes it.
    QByteArray bytes() const;
    // Writes folder/xml/line-chart.xml (creating xml/ when the folder exists). False when
    // the file could not be written; the reports go on regardless.
    bool save(const QString &folder) const;

private:
    QString m_config;
    QString m_paragraphs;
    QString m_series;
    QStringList m_periodBlocks;
};

// Adds one report's title and its two series (money red, count blue) in the report style.
void addReportTitleAndSeries(LineChartDocument &document, const QString &title, const QString &moneyName,
                             const QString &countName);

// The Y maximum of a line chart, fed with each row's money value and count.
class LineChartScale
{
public:
    void add(double money, double count);
    // Raised to a multiple of 100.
    int maximum() const;

private:
    double m_max = 0;
};
int lineChartScaleMax(const QList<QPair<double, double>> &rows);

struct PieSettings {
    QString title;
    int titleX = 0, titleY = 0, titleSize = 0;
    bool titleBold = false;
    WinColor titleColour = 0;
    QList<qint64> values;
    QStringList names;
    QList<WinColor> colours;
    QList<bool> showNames;
    QList<bool> open;
    int centreX = 0, centreY = 0, longAxis = 0, shortAxis = 0, ringWidth = 0, height = 0;
    int legendX = 0, legendY = 0;
    QString percentMode;
};

struct PieData {
    std::optional<WinColor> background;
    WinColor sliceTextColour = 0;
    WinColor legendTextColour = 0;
    PieSettings pies[2];
};

QByteArray pieDataBytes(const PieData &data);
// Writes temporaryFolder + "piedata.xml"; false when it could not be written.
bool writePieData(const QString &temporaryFolder, const PieData &data);

// The pie data of the year income report for year Y: names "01月"…, incomes (truncated to
// integers) and order counts per month with data.
PieData yearIncomePieData(const QString &year, const QStringList &monthNames, const QList<double> &incomes,
                          const QList<qint64> &counts);

} // namespace vorlan
