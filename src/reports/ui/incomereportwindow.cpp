#include "incomereportwindow.h"

#include "chartview.h"
#include "reportgrid.h"

#include "core/ui/named.h"
#include "core/numbers.h"
#include "core/prompter.h"

#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace vorlan {

IncomeReportWindow::IncomeReportWindow(AppContext &context, ReportWindowOptions options, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_options(std::move(options))
{
    setObjectName(QStringLiteral("收入报表"));
    setWindowTitle(QStringLiteral("收入报表"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 8);
    layout->setSpacing(6);
    m_menuBar = new QMenuBar(this);
    QMenu *menu = named(m_menuBar->addMenu(QStringLiteral("报表类型")), QStringLiteral("报表类型"));
    named(menu->addAction(QStringLiteral("日报表"), this, &IncomeReportWindow::openDatePicker), QStringLiteral("日报表"));
    menu->addSeparator();
    named(menu->addAction(QStringLiteral("月报表"), this, &IncomeReportWindow::openMonthPicker), QStringLiteral("月报表"));
    menu->addSeparator();
    named(menu->addAction(QStringLiteral("年度报表"), this, &IncomeReportWindow::openYearPicker),
          QStringLiteral("年度报表"));
    menu->addSeparator();
    m_breakdownAction = named(menu->addAction(QStringLiteral("按平台和支付方式")), QStringLiteral("按平台和支付方式"));
    m_breakdownAction->setCheckable(true);
    connect(m_breakdownAction, &QAction::toggled, this, &IncomeReportWindow::setBreakdownShown);
    layout->setMenuBar(m_menuBar);

    m_browsing = named(new QLabel(this), QStringLiteral("透明标签7"));
    QFont strong = m_browsing->font();
    strong.setBold(true);
    m_browsing->setFont(strong);
    layout->addWidget(m_browsing);
    m_grid = new ReportGrid(4, 229, this);
    layout->addWidget(m_grid, 1);
    m_breakdownGrid = named(new ReportGrid(5, 183, this), QStringLiteral("高级表格2"));
    m_breakdownGrid->setFixedHeight(368);
    m_breakdownGrid->hide();
    layout->addWidget(m_breakdownGrid, 1);
    m_chart = named(new ChartView(this), QStringLiteral("超文本浏览框1"));
    layout->addWidget(m_chart, 1);
    resize(949, 728);

    // The cursor always sits in the income column of its row.
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row >= 0 && column != 1)
            m_grid->setCurrentCell(row, 1);
    });
}

void IncomeReportWindow::start()
{
    offerChartComponent(this, *m_context.prompter, m_options.chartVersion, m_options.openDownloadPage);
    resize(949, 728);
    m_pieFolder = m_context.temporaryFolder;
    showYearIncome(QString::number(m_options.today().year()));
}

void IncomeReportWindow::beginReport(const QString &title, bool chartShown)
{
    m_breakdownGrid->hide();
    m_grid->show();
    m_chart->setVisible(chartShown);
    if (chartShown) {
        m_grid->setFixedHeight(368);
    } else {
        m_grid->setMinimumHeight(0);
        m_grid->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    m_grid->restart(2);
    m_grid->setMerged(0, 0, 3, title);
    m_browsing->setText(QStringLiteral("正在浏览:") + title);
}

bool IncomeReportWindow::reportEmpty(const IncomeReport &report)
{
    if (report.orderCount > 0)
        return false;
    m_context.prompter->info(this, QStringLiteral("没有找到对应时间内的点单数据。"));
    return true;
}

bool IncomeReportWindow::showDayIncome(const QString &day)
{
    m_shown = {PeriodKind::Day, day, QString()};
    if (m_breakdownShown)
        return showBreakdown(m_shown);
    const IncomeReport report = dayIncome(*m_context.store, day);
    beginReport(report.title, false);
    m_grid->setMerged(1, 0, 1, QStringLiteral("时间"));
    m_grid->setMerged(1, 2, 3, QStringLiteral("实付"));
    if (reportEmpty(report))
        return false;

    const int n = static_cast<int>(report.rows.size());
    m_grid->setRowCount(n + 5);
    for (int i = 0; i < n; ++i) {
        const IncomeRow &row = report.rows.at(i);
        m_grid->setMerged(i + 2, 0, 1, row.label);
        m_grid->setSpan(i + 2, 2, 1, 2);
        m_grid->setCell(i + 2, 2, formatDouble(row.income), kReportRed);
    }
    m_grid->setMerged(n + 2, 0, 3, QString());
    m_grid->setMerged(n + 3, 0, 3, QStringLiteral("总计收入：") + formatDouble(report.income));
    m_grid->setMerged(n + 4, 0, 1, QStringLiteral("点单数量：") + QString::number(report.orderCount));
    m_grid->setMerged(n + 4, 2, 3, QStringLiteral("点单均价：") + incomeAverage(report.income, report.orderCount));
    return true;
}

void IncomeReportWindow::fillPeriodRows(const IncomeReport &report, const QString &totalText,
                                        const QString &missingText, const QString &countText,
                                        const QString &averageText)
{
    const int n = static_cast<int>(report.rows.size());
    m_grid->setRowCount(n + 5);
    for (int i = 0; i < n; ++i) {
        const IncomeRow &row = report.rows.at(i);
        m_grid->setCell(i + 2, 0, row.label);
        m_grid->setCell(i + 2, 1, formatDouble(row.income), kReportRed);
        m_grid->setCell(i + 2, 2, QString::number(row.count), kReportBlue);
        m_grid->setCell(i + 2, 3, incomeAverage(row.income, row.count));
    }
    m_grid->setMerged(n + 2, 0, 3, QString());
    if (report.missing == 0) {
        m_grid->setMerged(n + 3, 0, 3, totalText + formatDouble(report.income));
    } else {
        m_grid->setMerged(n + 3, 0, 1, totalText + formatDouble(report.income));
        m_grid->setMerged(n + 3, 2, 3, missingText.arg(report.missing));
    }
    m_grid->setMerged(n + 4, 0, 1, countText + QString::number(report.orderCount));
    m_grid->setMerged(n + 4, 2, 3, averageText + incomeAverage(report.income, report.orderCount));
}

bool IncomeReportWindow::showMonthIncome(const QString &year, const QString &month)
{
    m_shown = {PeriodKind::Month, year, month};
    if (m_breakdownShown)
        return showBreakdown(m_shown);
    const IncomeReport report = monthIncome(*m_context.store, year, month);
    beginReport(report.title, true);
    const QStringList headers = {QStringLiteral("日期"), QStringLiteral("日收入"), QStringLiteral("日点单数量"),
                                 QStringLiteral("平均点单价格")};
    for (int c = 0; c < 4; ++c)
        m_grid->setCell(1, c, headers.at(c));
    if (reportEmpty(report))
        return false;
    fillPeriodRows(report, QStringLiteral("本月总计收入："), QStringLiteral("本月有%1日的数据缺损"),
                   QStringLiteral("月总点单数量："), QStringLiteral("月点单均价："));
    // A chart file that could not be written would show the previous report's chart.
    if (writeMonthIncomeChart(report, year, month, m_context.paths.home))
        showChartPlayer(m_chart, ChartKind::Line, lineChartPath(m_context.paths.home), m_options.chartVersion);
    else
        m_chart->clear();
    return true;
}

bool IncomeReportWindow::showYearIncome(const QString &year)
{
    m_shown = {PeriodKind::Year, year, QString()};
    if (m_breakdownShown)
        return showBreakdown(m_shown);
    const IncomeReport report = yearIncome(*m_context.store, year);
    beginReport(report.title, true);
    const QStringList headers = {QStringLiteral("月份"), QStringLiteral("月收入"), QStringLiteral("月点单数量"),
                                 QStringLiteral("平均点单价格")};
    for (int c = 0; c < 4; ++c)
        m_grid->setCell(1, c, headers.at(c));
    if (reportEmpty(report))
        return false;
    fillPeriodRows(report, QStringLiteral("本年度总计收入："), QStringLiteral("本年度有%1个月的数据缺损"),
                   QStringLiteral("年度总点单数量："), QStringLiteral("年度点单均价："));
    const QString folder = m_pieFolder.isEmpty() ? m_context.temporaryFolder : m_pieFolder;
    if (writeYearIncomePies(report, year, folder))
        showChartPlayer(m_chart, ChartKind::Pie, pieDataPath(folder), m_options.chartVersion);
    else
        m_chart->clear();
    return true;
}

void IncomeReportWindow::setBreakdownShown(bool shown)
{
    if (m_breakdownAction->isChecked() != shown) {
        m_breakdownAction->setChecked(shown); // comes back here through the action
        return;
    }
    if (m_breakdownShown == shown)
        return;
    m_breakdownShown = shown;
    showPeriod(m_shown);
}

bool IncomeReportWindow::showPeriod(const ShownPeriod &period)
{
    switch (period.kind) {
    case PeriodKind::Day: return showDayIncome(period.first);
    case PeriodKind::Month: return showMonthIncome(period.first, period.second);
    case PeriodKind::Year: return showYearIncome(period.first);
    case PeriodKind::None: break;
    }
    return false;
}

bool IncomeReportWindow::showBreakdown(const ShownPeriod &period)
{
    IncomeBreakdown breakdown;
    switch (period.kind) {
    case PeriodKind::Day: breakdown = dayIncomeBreakdown(*m_context.store, period.first); break;
    case PeriodKind::Month: breakdown = monthIncomeBreakdown(*m_context.store, period.first, period.second); break;
    case PeriodKind::Year: breakdown = yearIncomeBreakdown(*m_context.store, period.first); break;
    case PeriodKind::None: return false;
    }
    m_grid->hide();
    m_breakdownGrid->show();
    m_chart->show();
    m_breakdownGrid->restart(1);
    m_breakdownGrid->setMerged(0, 0, 4, breakdown.title);
    m_browsing->setText(QStringLiteral("正在浏览:") + breakdown.title);
    if (breakdown.orderCount == 0) {
        m_chart->clear();
        m_context.prompter->info(this, QStringLiteral("没有找到对应时间内的点单数据。"));
        return false;
    }
    fillShares(1, QStringLiteral("票头（平台）"), breakdown.headers, breakdown);
    m_breakdownGrid->setMerged(m_breakdownGrid->rowCount(), 0, 4, QString());
    fillShares(m_breakdownGrid->rowCount(), QStringLiteral("支付方式"), breakdown.payments, breakdown);
    // Drawn from memory: the chart files of the other reports stay as they are.
    if (m_options.chartVersion != 0)
        m_chart->showPieChart(incomeBreakdownPies(breakdown));
    return true;
}

void IncomeReportWindow::fillShares(int row, const QString &heading, const QList<IncomeShare> &shares,
                                    const IncomeBreakdown &total)
{
    const QStringList headers = {heading, QStringLiteral("收入"), QStringLiteral("收入占比"), QStringLiteral("点单数量"),
                                 QStringLiteral("数量占比")};
    for (int c = 0; c < 5; ++c)
        m_breakdownGrid->setCell(row, c, headers.at(c));
    auto addRow = [&](int at, const QString &name, double income, qint64 count) {
        m_breakdownGrid->setCell(at, 0, name);
        m_breakdownGrid->setCell(at, 1, formatDouble(income), kReportRed);
        m_breakdownGrid->setCell(at, 2, sharePercent(income, total.income));
        m_breakdownGrid->setCell(at, 3, QString::number(count), kReportBlue);
        m_breakdownGrid->setCell(at, 4, sharePercent(static_cast<double>(count), static_cast<double>(total.orderCount)));
    };
    for (const IncomeShare &share : shares)
        addRow(++row, share.name, share.income, share.count);
    addRow(++row, QStringLiteral("合计"), total.income, total.orderCount);
}

ReportPeriodTarget IncomeReportWindow::periodTarget()
{
    ReportPeriodTarget target;
    target.closeBeforeRunning = false;
    target.year = [this](const QString &year) { return showYearIncome(year); };
    target.month = [this](const QString &year, const QString &month) { return showMonthIncome(year, month); };
    target.day = [this](const QString &day) { return showDayIncome(day); };
    return target;
}

void IncomeReportWindow::openYearPicker()
{
    ReportYearPicker picker(periodTarget(), m_options.today(), this);
    picker.exec();
}

void IncomeReportWindow::openMonthPicker()
{
    ReportMonthPicker picker(periodTarget(), m_options.today(), this);
    picker.exec();
}

void IncomeReportWindow::openDatePicker()
{
    ReportDatePicker picker(periodTarget(), m_options.today(), this);
    picker.exec();
}

void openIncomeReportWindow(AppContext &context, QWidget *owner)
{
    IncomeReportWindow window(context, {}, owner);
    window.start();
    window.exec();
}

} // namespace vorlan
