#pragma once

#include "periodpickers.h"
#include "reportwindowoptions.h"

#include "core/appcontext.h"
#include "reports/salesstatistics.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QMenuBar;

namespace vorlan {

class ChartView;
class ReportGrid;

// 销售统计: order lines totalled per month of a year, per day of a month or listed for a
// day, for every dish or one, as a table and (year, month) a line chart.
class SalesStatisticsWindow final : public QDialog
{
    Q_OBJECT
public:
    SalesStatisticsWindow(AppContext &context, SalesState &state, ReportWindowOptions options = {},
                          QWidget *parent = nullptr);

    // The opening sequence: chart component check, the current year, the dish list.
    void start();

    // An empty text reruns the remembered period.
    void showYearSales(const QString &year);
    void showMonthSales(const QString &month); // "2016-05"
    void showDaySales(const QString &day);     // "2016年5月3日"
    void changeDishFilter();

    // What the period pickers opened from this window hand their period to.
    ReportPeriodTarget periodTarget();
    void openYearPicker();
    void openMonthPicker();
    void openDatePicker();

    ReportGrid *grid() const { return m_grid; }
    ChartView *chartView() const { return m_chart; }
    QComboBox *dishFilter() const { return m_dishFilter; }
    QLabel *browsingLabel() const { return m_browsing; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillDishFilter();
    void showChartArea(bool shown);
    void present(const SalesStatistics &statistics, bool clearChartWhenEmpty);

    AppContext &m_context;
    SalesState &m_state;
    ReportWindowOptions m_options;
    QMenuBar *m_menuBar = nullptr;
    QLabel *m_browsing = nullptr;
    QComboBox *m_dishFilter = nullptr;
    ReportGrid *m_grid = nullptr;
    ChartView *m_chart = nullptr;
};

// Opens the window modally over `owner`; the remembered periods and filter live as long
// as the program.
void openSalesStatisticsWindow(AppContext &context, QWidget *owner);

} // namespace vorlan
