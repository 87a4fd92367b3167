#pragma once

#include "periodpickers.h"
#include "reportwindowoptions.h"

#include "core/appcontext.h"
#include "reports/incomereport.h"

#include <QDialog>

class QLabel;
class QMenuBar;

namespace vorlan {

class ChartView;
class ReportGrid;

// 收入报表: the amounts paid per order of a day, per day of a month (with a line chart)
// or per month of a year (with two pies).
class IncomeReportWindow final : public QDialog
{
    Q_OBJECT
public:
    IncomeReportWindow(AppContext &context, ReportWindowOptions options = {}, QWidget *parent = nullptr);

    // The opening sequence: chart component check, the year report of the current year.
    void start();

    // Each returns true when the period had orders.
    bool showDayIncome(const QString &day);                        // "2016年5月3日"
    bool showMonthIncome(const QString &year, const QString &month); // month "1".."12"
    bool showYearIncome(const QString &year);

    ReportPeriodTarget periodTarget();
    void openYearPicker();
    void openMonthPicker();
    void openDatePicker();

    ReportGrid *grid() const { return m_grid; }
    ChartView *chartView() const { return m_chart; }
    QLabel *browsingLabel() const { return m_browsing; }

private:
    void beginReport(const QString &title, bool chartShown);
    bool reportEmpty(const IncomeReport &report);
    void fillPeriodRows(const IncomeReport &report, const QString &totalText, const QString &missingText,
                        const QString &countText, const QString &averageText);

    AppContext &m_context;
    ReportWindowOptions m_options;
    QString m_pieFolder;
    QMenuBar *m_menuBar = nullptr;
    QLabel *m_browsing = nullptr;
    ReportGrid *m_grid = nullptr;
    ChartView *m_chart = nullptr;
};

void openIncomeReportWindow(AppContext &context, QWidget *owner);

} // namespace vorlan
