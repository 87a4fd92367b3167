#pragma once

#include "reports/chartdata.h"

#include <QWidget>

#include <functional>

class QStackedWidget;
class QLabel;

class QChart;
class QChartView;

namespace vorlan {

class Prompter;

// Draws the charts of the report windows from the chart data files the reports write:
// the line chart file or the pie data file. It stands where the web view with the chart
// player stood, and loads a file at the moment the player would have been opened.
class ChartView final : public QWidget
{
    Q_OBJECT
public:
    explicit ChartView(QWidget *parent = nullptr);

    // Reads and draws the file; an unreadable file leaves the view empty. False then.
    bool loadLineChart(const QString &path);
    bool loadPieChart(const QString &path);
    // Draws the two pies from data held in memory.
    void showPieChart(const PieChartData &data);
    void clear();

    // What is drawn now: 0 nothing, 1 a line chart, 2 the two pies.
    int shownKind() const;
    QChart *lineChart() const;
    QList<QChart *> pieCharts() const;

private:
    QStackedWidget *m_pages = nullptr;
    QChartView *m_lineView = nullptr;
    QChartView *m_pieViews[2] = {nullptr, nullptr};
};

enum class ChartKind { Line, Pie };

// Points the chart view at a data file when the chart component is present (version not
// 0); otherwise the view stays as it is.
void showChartPlayer(ChartView *view, ChartKind kind, const QString &dataPath, int componentVersion);

// Run first when a report window opens: without the chart component, offer its download.
void offerChartComponent(QWidget *window, Prompter &prompter, int componentVersion,
                         const std::function<void()> &openDownloadPage);

} // namespace vorlan
