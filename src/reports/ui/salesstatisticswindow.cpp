#include "salesstatisticswindow.h"

#include "chartview.h"
#include "reportgrid.h"

#include "core/ui/named.h"
#include "core/datastore.h"
#include "core/prompter.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace vorlan {

namespace {

const QString kNoData = QStringLiteral("没有找到对应时间内的点单数据。");

} // namespace

SalesStatisticsWindow::SalesStatisticsWindow(AppContext &context, SalesState &state, ReportWindowOptions options,
                                             QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_state(state)
    , m_options(std::move(options))
{
    setObjectName(QStringLiteral("销售统计"));
    setWindowTitle(QStringLiteral("销售统计"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 8);
    layout->setSpacing(6);
    m_menuBar = new QMenuBar(this);
    QMenu *menu = named(m_menuBar->addMenu(QStringLiteral("统计方式")), QStringLiteral("统计方式"));
    named(menu->addAction(QStringLiteral("日销售统计"), this, &SalesStatisticsWindow::openDatePicker),
          QStringLiteral("日销售统计"));
    menu->addSeparator();
    named(menu->addAction(QStringLiteral("月销售统计"), this, &SalesStatisticsWindow::openMonthPicker),
          QStringLiteral("月销售统计"));
    menu->addSeparator();
    named(menu->addAction(QStringLiteral("年度销售统计"), this, &SalesStatisticsWindow::openYearPicker),
          QStringLiteral("年度销售统计"));
    layout->setMenuBar(m_menuBar);

    auto *top = new QHBoxLayout;
    m_browsing = named(new QLabel(this), QStringLiteral("透明标签7"));
    QFont strong = m_browsing->font();
    strong.setBold(true);
    m_browsing->setFont(strong);
    top->addWidget(m_browsing, 1);
    top->addWidget(named(new QLabel(QStringLiteral("统计类型："), this), QStringLiteral("透明标签2")));
    m_dishFilter = named(new QComboBox(this), QStringLiteral("组合框_票头"));
    m_dishFilter->addItem(QStringLiteral("所有商品"));
    m_dishFilter->setMinimumWidth(200);
    m_dishFilter->setMaxVisibleItems(20);
    m_dishFilter->installEventFilter(this);
    top->addWidget(m_dishFilter);
    layout->addLayout(top);

    m_grid = new ReportGrid(3, 305, this);
    layout->addWidget(m_grid, 1);
    m_chart = named(new ChartView(this), QStringLiteral("超文本浏览框1"));
    layout->addWidget(m_chart, 1);
    resize(949, 728);

    connect(m_dishFilter, &QComboBox::activated, this, &SalesStatisticsWindow::changeDishFilter);
}

bool SalesStatisticsWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The wheel over the dish box must not change the statistics behind the operator's back.
    if (watched == m_dishFilter && event->type() == QEvent::Wheel)
        return true;
    return QDialog::eventFilter(watched, event);
}

void SalesStatisticsWindow::start()
{
    offerChartComponent(this, *m_context.prompter, m_options.chartVersion, m_options.openDownloadPage);
    m_grid->restart(2);
    resize(949, 728);
    // The box starts at "所有商品" again; the counted dish follows what the box shows.
    m_state.dish.clear();
    showYearSales(QString::number(m_options.today().year()));
    fillDishFilter();
}

void SalesStatisticsWindow::fillDishFilter()
{
    DataStore &store = *m_context.store;
    QStringList names;
    if (store.query(QStringLiteral("select 菜名 from 菜单 order by ID")))
        for (; !store.atEnd(); store.next())
            names.append(store.readText(0));
    store.closeQuery();
    m_dishFilter->addItems(names);
}

void SalesStatisticsWindow::changeDishFilter()
{
    m_state.dish = dishForFilterText(m_dishFilter->currentText());
    switch (m_state.mode) {
    case SalesMode::Year:
        showYearSales(QString());
        break;
    case SalesMode::Month:
        showMonthSales(QString());
        break;
    case SalesMode::Day:
        showDaySales(QString());
        break;
    }
}

void SalesStatisticsWindow::showChartArea(bool shown)
{
    m_chart->setVisible(shown);
    if (shown) {
        m_grid->setFixedHeight(368);
    } else {
        m_grid->setMinimumHeight(0);
        m_grid->setMaximumHeight(QWIDGETSIZE_MAX);
    }
}

void SalesStatisticsWindow::showYearSales(const QString &year)
{
    if (!year.isEmpty())
        m_state.year = year;
    showChartArea(true);
    present(yearSales(*m_context.store, m_state.year, m_dishFilter->currentText(), m_state.dish), true);
}

void SalesStatisticsWindow::showMonthSales(const QString &month)
{
    if (!month.isEmpty())
        m_state.month = month;
    showChartArea(true);
    present(monthSales(*m_context.store, m_state.month, m_dishFilter->currentText(), m_state.dish), false);
}

void SalesStatisticsWindow::showDaySales(const QString &day)
{
    if (!day.isEmpty())
        m_state.day = day;
    showChartArea(false);
    present(daySales(*m_context.store, m_state.day, m_dishFilter->currentText(), m_state.dish), false);
}

void SalesStatisticsWindow::present(const SalesStatistics &s, bool clearChartWhenEmpty)
{
    m_grid->restart(2);
    m_grid->setMerged(0, 0, 2, s.title);
    for (int c = 0; c < 3; ++c)
        m_grid->setCell(1, c, s.headers.value(c));
    m_browsing->setText(QStringLiteral("正在浏览:") + s.title);

    if (s.lineCount == 0) {
        if (clearChartWhenEmpty)
            clearLineChart(m_context.paths.home);
        m_context.prompter->info(this, kNoData);
        return;
    }

    const int n = static_cast<int>(s.rows.size());
    m_grid->setRowCount(n + 5);
    for (int i = 0; i < n; ++i) {
        const QStringList &row = s.rows.at(i);
        m_grid->setCell(i + 2, 0, row.value(0));
        m_grid->setCell(i + 2, 1, row.value(1), kReportBlue);
        m_grid->setCell(i + 2, 2, row.value(2), kReportRed);
    }
    m_grid->setMerged(n + 2, 0, 2, QString());
    m_grid->setMerged(n + 3, 0, 2, QStringLiteral("总销售额(仅作参考，请以实付金额为准)：") + s.totalAmount);
    m_grid->setMerged(n + 4, 0, 2, QStringLiteral("总销售量：") + s.totalVolume);

    if (s.hasChart) {
        // A chart file that could not be written would show the previous report's chart.
        if (writeSalesChart(s, m_context.paths.home))
            showChartPlayer(m_chart, ChartKind::Line, lineChartPath(m_context.paths.home), m_options.chartVersion);
        else
            m_chart->clear();
    }
}

ReportPeriodTarget SalesStatisticsWindow::periodTarget()
{
    ReportPeriodTarget target;
    target.closeBeforeRunning = true;
    target.year = [this](const QString &year) {
        m_state.mode = SalesMode::Year;
        showYearSales(year);
        return true;
    };
    target.month = [this](const QString &year, const QString &month) {
        m_state.mode = SalesMode::Month;
        showMonthSales(year + QLatin1Char('-') + month.rightJustified(2, QLatin1Char('0')));
        return true;
    };
    target.day = [this](const QString &day) {
        m_state.mode = SalesMode::Day;
        showDaySales(day);
        return true;
    };
    return target;
}

void SalesStatisticsWindow::openYearPicker()
{
    ReportYearPicker picker(periodTarget(), m_options.today(), this);
    picker.exec();
}

void SalesStatisticsWindow::openMonthPicker()
{
    ReportMonthPicker picker(periodTarget(), m_options.today(), this);
    picker.exec();
}

void SalesStatisticsWindow::openDatePicker()
{
    ReportDatePicker picker(periodTarget(), m_options.today(), this);
    picker.exec();
}

void openSalesStatisticsWindow(AppContext &context, QWidget *owner)
{
    static SalesState state;
    SalesStatisticsWindow window(context, state, {}, owner);
    window.start();
    window.exec();
}

} // namespace vorlan
