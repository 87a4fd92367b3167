#pragma once

#include "periodpickers.h"
#include "reportwindowoptions.h"

#include "core/appcontext.h"
#include "reports/incomereport.h"

#include <QDialog>

class QAction;
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

    // The second view (报表类型 → 按平台和支付方式): the period last chosen, per receipt
    // header and per payment method, in 高级表格2 with two pies. While it is on, the
    // period pickers show their period in it; turning it off shows the period's own
    // report again.
    void setBreakdownShown(bool shown);
    bool breakdownShown() const { return m_breakdownShown; }
    ReportGrid *breakdownGrid() const { return m_breakdownGrid; }
    QAction *breakdownAction() const { return m_breakdownAction; }

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

    enum class PeriodKind { None, Day, Month, Year };
    struct ShownPeriod {
        PeriodKind kind = PeriodKind::None;
        QString first, second; // the day; the year and month; the year
    };
    bool showPeriod(const ShownPeriod &period);
    bool showBreakdown(const ShownPeriod &period);
    void fillShares(int row, const QString &heading, const QList<IncomeShare> &shares, const IncomeBreakdown &total);

    AppContext &m_context;
    ReportWindowOptions m_options;
    QString m_pieFolder;
    QMenuBar *m_menuBar = nullptr;
    QLabel *m_browsing = nullptr;
    ReportGrid *m_grid = nullptr;
    ChartView *m_chart = nullptr;
    ReportGrid *m_breakdownGrid = nullptr;
    QAction *m_breakdownAction = nullptr;
    bool m_breakdownShown = false;
    ShownPeriod m_shown;
};

void openIncomeReportWindow(AppContext &context, QWidget *owner);

} // namespace vorlan
