#include "programfolder.h"
#include "reportdata.h"

#include "app/mainwindow.h"
#include "core/datastore.h"
#include "core/schema.h"
#include "reports/chartfiles.h"
#include "reports/ui/chartview.h"
#include "reports/ui/incomereportwindow.h"
#include "reports/ui/periodpickers.h"
#include "reports/ui/reportgrid.h"
#include "reports/ui/salesstatisticswindow.h"

#include <QtCharts/QChart>
#include <QtCharts/QPieSeries>

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

using namespace vorlan;

namespace {

// A program folder with its database open and a temporary folder of its own.
struct ReportHome : ProgramFolder {
    DataStore store{QStringLiteral("reports-%1").arg(reinterpret_cast<quintptr>(this))};
    QTemporaryDir temp;

    ReportHome()
    {
        const OpenedStore opened = openDataStore(store, context.paths.dataDir(), context.paths.databasePath(),
                                                 context.paths.configPath());
        if (!opened.ok)
            qFatal("cannot open the test database");
        context.store = &store;
        context.temporaryFolder = temp.path();
    }
};

ReportWindowOptions optionsOn(const QDate &today, int chartVersion = chartPlayerVersion())
{
    ReportWindowOptions options;
    options.today = [today] { return today; };
    options.chartVersion = chartVersion;
    options.openDownloadPage = [] {};
    return options;
}

QStringList row(const ReportGrid *grid, int r)
{
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c)
        cells.append(grid->cellText(r, c));
    return cells;
}

QColor textColour(const ReportGrid *grid, int r, int c) { return grid->item(r, c)->foreground().color(); }

void chooseDish(SalesStatisticsWindow &window, const QString &text)
{
    QComboBox *box = window.dishFilter();
    const int index = box->findText(text);
    QVERIFY(index >= 0);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

class TestReportWindows : public QObject
{
    Q_OBJECT
private slots:
    void salesWindowOpensOnTheCurrentYear()
    {
        ReportHome home;
        addSales2016(home.store);
        SalesState state;
        SalesStatisticsWindow window(home.context, state, optionsOn(QDate(2016, 6, 1)));
        window.start();
        QCOMPARE(window.objectName(), QStringLiteral("销售统计"));
        QCOMPARE(window.size(), QSize(949, 728));
        QVERIFY(home.prompter.shown.isEmpty());

        const ReportGrid *grid = window.grid();
        QCOMPARE(grid->objectName(), QStringLiteral("高级表格1"));
        QCOMPARE(grid->rowCount(), 7);
        QCOMPARE(grid->columnWidth(2), 305);
        QCOMPARE(grid->cellText(0, 0), QStringLiteral("2016年 所有商品销售表"));
        QCOMPARE(grid->columnSpan(0, 0), 3);
        QCOMPARE(row(grid, 1), QStringList({"月份", "销售数量", "销售金额"}));
        QCOMPARE(row(grid, 2), QStringList({"01月", "56", "1234.5"}));
        QCOMPARE(row(grid, 3), QStringList({"02月", "40", "800"}));
        QCOMPARE(textColour(grid, 2, 1), QColor(0, 0, 255));
        QCOMPARE(textColour(grid, 3, 2), QColor(255, 0, 0));
        QCOMPARE(grid->columnSpan(4, 0), 3);
        QCOMPARE(grid->cellText(4, 0), QString());
        QCOMPARE(grid->cellText(5, 0), QStringLiteral("总销售额(仅作参考，请以实付金额为准)：2034.5"));
        QCOMPARE(grid->columnSpan(6, 0), 3);
        QCOMPARE(grid->cellText(6, 0), QStringLiteral("总销售量：96"));
        QCOMPARE(window.browsingLabel()->text(), QStringLiteral("正在浏览:2016年 所有商品销售表"));
        QCOMPARE(state.year, QStringLiteral("2016"));
        QCOMPARE(state.mode, SalesMode::Year);

        // the chart is drawn from the file the statistics wrote
        QVERIFY(QFileInfo(lineChartPath(home.context.paths.home)).size() > 0);
        QCOMPARE(window.chartView()->objectName(), QStringLiteral("超文本浏览框1"));
        QCOMPARE(window.chartView()->shownKind(), 1);
        QCOMPARE(window.chartView()->lineChart()->series().size(), 2);
        QCOMPARE(window.chartView()->lineChart()->title(), QStringLiteral("2016年 所有商品销售参考数据"));

        // the dish list follows "所有商品" in the catalog's order
        QComboBox *box = window.dishFilter();
        QCOMPARE(box->itemText(0), QStringLiteral("所有商品"));
        QCOMPARE(box->itemText(1), QStringLiteral("红烧排骨饭"));
        QCOMPARE(box->currentIndex(), 0);

        // the menu of the three statistics
        QMenu *menu = window.findChild<QMenu *>(QStringLiteral("统计方式"));
        QVERIFY(menu);
        QStringList items;
        for (QAction *action : menu->actions())
            items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(items, QStringList({"日销售统计", "-", "月销售统计", "-", "年度销售统计"}));
    }

    void pickersHandTheirPeriodToTheSalesWindow()
    {
        ReportHome home;
        addSales2016(home.store);
        addLine(home.store, QStringLiteral("2016-02-03 12:00:00"), QStringLiteral("散装花生"), 0.5, 6);
        SalesState state;
        SalesStatisticsWindow window(home.context, state, optionsOn(QDate(2016, 6, 1)));
        window.start();

        ReportMonthPicker month(window.periodTarget(), QDate(2016, 6, 1), &window);
        auto *years = month.findChild<QComboBox *>(QStringLiteral("组合框_年选择"));
        auto *months = month.findChild<QComboBox *>(QStringLiteral("组合框_年选择1"));
        QCOMPARE(years->itemText(0), QStringLiteral("2016"));
        QCOMPARE(years->count(), 7);
        QCOMPARE(months->currentText(), QStringLiteral("6"));
        months->setCurrentIndex(1);
        month.confirm();
        QCOMPARE(month.result(), int(QDialog::Accepted));
        QCOMPARE(state.mode, SalesMode::Month);
        QCOMPARE(state.month, QStringLiteral("2016-02"));
        QCOMPARE(window.grid()->cellText(0, 0), QStringLiteral("2016-02月 所有商品销售表"));
        QCOMPARE(row(window.grid(), 1), QStringList({"时间", "销售数量", "销售金额"}));
        QCOMPARE(row(window.grid(), 2), QStringList({"01日", "2", "40"}));
        QCOMPARE(window.grid()->rowCount(), 28 + 5);

        ReportDatePicker day(window.periodTarget(), QDate(2016, 6, 1), &window);
        auto *date = day.findChild<QDateEdit *>(QStringLiteral("日期框1"));
        QCOMPARE(date->date(), QDate(2016, 6, 1));
        date->setDate(QDate(2016, 2, 3));
        day.confirm();
        QCOMPARE(state.mode, SalesMode::Day);
        QCOMPARE(state.day, QStringLiteral("2016年2月3日"));
        QVERIFY(window.chartView()->isHidden());
        QCOMPARE(window.grid()->cellText(0, 0), QStringLiteral("2016年2月3日所有商品销售表"));
        QCOMPARE(window.grid()->rowCount(), 3 + 5);
        QCOMPARE(window.grid()->cellText(2, 1), QStringLiteral("散装花生(0.5)"));
        QCOMPARE(window.grid()->cellText(7, 0), QStringLiteral("总销售量：2.5"));

        // a dish chosen while the day is shown reruns that day for the dish
        chooseDish(window, QStringLiteral("酸菜鱼"));
        QCOMPARE(state.dish, QStringLiteral("酸菜鱼"));
        QCOMPARE(window.grid()->cellText(0, 0), QStringLiteral("2016年2月3日酸菜鱼销售表"));
        QCOMPARE(window.grid()->rowCount(), 2 + 5);
        // and "所有商品" takes the filter away again
        chooseDish(window, QStringLiteral("所有商品"));
        QCOMPARE(state.dish, QString());
        QCOMPARE(window.grid()->rowCount(), 3 + 5);

        ReportYearPicker year(window.periodTarget(), QDate(2016, 6, 1), &window);
        year.confirm();
        QCOMPARE(state.mode, SalesMode::Year);
        QVERIFY(!window.chartView()->isHidden());
        QCOMPARE(window.grid()->height(), 368);
        QVERIFY(home.prompter.shown.isEmpty());
    }

    void salesWithoutDataTellsAndEmptiesTheYearChart()
    {
        ReportHome home;
        addSales2016(home.store);
        SalesState state;
        SalesStatisticsWindow window(home.context, state, optionsOn(QDate(2016, 6, 1)));
        window.start();
        QVERIFY(QFileInfo(lineChartPath(home.context.paths.home)).size() > 0);

        window.showMonthSales(QStringLiteral("2016-07"));
        QCOMPARE(home.prompter.texts(), QStringList({"没有找到对应时间内的点单数据。"}));
        QCOMPARE(home.prompter.shown.at(0).caption, QStringLiteral("提示"));
        QCOMPARE(home.prompter.shown.at(0).icon, PromptIcon::Information);
        QCOMPARE(window.grid()->rowCount(), 2);
        QCOMPARE(window.grid()->cellText(0, 0), QStringLiteral("2016-07月 所有商品销售表"));
        QCOMPARE(state.month, QStringLiteral("2016-07")); // remembered even without data
        QVERIFY(QFileInfo(lineChartPath(home.context.paths.home)).size() > 0);

        window.showYearSales(QStringLiteral("2015"));
        QCOMPARE(home.prompter.shown.size(), 2);
        QCOMPARE(QFileInfo(lineChartPath(home.context.paths.home)).size(), 0);
    }

    void filterBoxIgnoresTheWheelAndStartsOverOnOpening()
    {
        ReportHome home;
        addSales2016(home.store);
        SalesState state;
        {
            SalesStatisticsWindow window(home.context, state, optionsOn(QDate(2016, 6, 1)));
            window.start();
            chooseDish(window, QStringLiteral("酸菜鱼"));
            QCOMPARE(window.grid()->cellText(2, 1), QStringLiteral("28"));

            QComboBox *box = window.dishFilter();
            const int before = box->currentIndex();
            QWheelEvent wheel(QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(box, &wheel);
            QCOMPARE(box->currentIndex(), before);
        }
        // a new opening shows every dish, as its box says
        SalesStatisticsWindow again(home.context, state, optionsOn(QDate(2016, 6, 1)));
        again.start();
        QCOMPARE(again.dishFilter()->currentText(), QStringLiteral("所有商品"));
        QCOMPARE(again.grid()->cellText(2, 1), QStringLiteral("56"));
        QCOMPARE(state.dish, QString());
    }

    void yearIncomeWithItsPies()
    {
        ReportHome home;
        addIncomeFebruary2016(home.store);
        addOrder(home.store, QStringLiteral("2016-05-01 00:00:00"), 1234.9);
        IncomeReportWindow window(home.context, optionsOn(QDate(2016, 6, 1)));
        window.start();
        QCOMPARE(window.objectName(), QStringLiteral("收入报表"));
        const ReportGrid *grid = window.grid();
        QCOMPARE(grid->columnWidth(3), 229);
        QCOMPARE(grid->cellText(0, 0), QStringLiteral("2016年 年报表"));
        QCOMPARE(grid->columnSpan(0, 0), 4);
        QCOMPARE(row(grid, 1), QStringList({"月份", "月收入", "月点单数量", "平均点单价格"}));
        QCOMPARE(row(grid, 2), QStringList({"2016-02", "110.5", "4", "27.6"}));
        QCOMPARE(row(grid, 3), QStringList({"2016-05", "1234.9", "1", "1234.9"}));
        QCOMPARE(textColour(grid, 2, 1), QColor(255, 0, 0));
        QCOMPARE(textColour(grid, 2, 2), QColor(0, 0, 255));
        QCOMPARE(grid->cellText(5, 0), QStringLiteral("本年度总计收入：1345.4"));
        QCOMPARE(grid->columnSpan(5, 0), 2);
        QCOMPARE(grid->cellText(5, 2), QStringLiteral("本年度有10个月的数据缺损"));
        QCOMPARE(grid->cellText(6, 0), QStringLiteral("年度总点单数量：5"));
        QCOMPARE(grid->cellText(6, 2), QStringLiteral("年度点单均价：269.1"));
        QCOMPARE(grid->rowCount(), 7);

        // the pies come from the pie file in the temporary folder
        QVERIFY(QFileInfo::exists(pieDataPath(home.temp.path())));
        QCOMPARE(window.chartView()->shownKind(), 2);
        const QList<QChart *> pies = window.chartView()->pieCharts();
        QCOMPARE(pies.at(0)->title(), QStringLiteral("2016年 年收入参考"));
        auto *series = qobject_cast<QPieSeries *>(pies.at(0)->series().at(0));
        QVERIFY(series);
        QCOMPARE(series->count(), 2);
        QCOMPARE(series->slices().at(1)->value(), 1234.0);

        // the charts are drawn by the program itself: no player movies are written anywhere
        QVERIFY(QDir(home.context.paths.home).entryList({QStringLiteral("*.swf")}, QDir::Files).isEmpty());
        QVERIFY(QDir(home.temp.path()).entryList({QStringLiteral("*.swf")}, QDir::Files).isEmpty());

        // the cursor always sits in the income column
        QTableWidget *table = window.grid();
        table->setCurrentCell(3, 0);
        QCOMPARE(table->currentColumn(), 1);
        QCOMPARE(table->currentRow(), 3);
    }

    void monthAndDayIncomeThroughThePickers()
    {
        ReportHome home;
        addIncomeFebruary2016(home.store);
        IncomeReportWindow window(home.context, optionsOn(QDate(2016, 6, 1)));
        window.start();

        ReportMonthPicker month(window.periodTarget(), QDate(2016, 6, 1), &window);
        month.findChild<QComboBox *>(QStringLiteral("组合框_年选择1"))->setCurrentIndex(1);
        month.confirm();
        QCOMPARE(month.result(), int(QDialog::Accepted));
        const ReportGrid *grid = window.grid();
        QCOMPARE(grid->cellText(0, 0), QStringLiteral("2016年2月 月报表"));
        QCOMPARE(row(grid, 1), QStringList({"日期", "日收入", "日点单数量", "平均点单价格"}));
        QCOMPARE(row(grid, 2), QStringList({"2016-02-01", "90.5", "3", "30.2"}));
        QCOMPARE(row(grid, 3), QStringList({"2016-02-03", "20", "1", "20"}));
        QCOMPARE(grid->cellText(5, 0), QStringLiteral("本月总计收入：110.5"));
        QCOMPARE(grid->cellText(5, 2), QStringLiteral("本月有27日的数据缺损"));
        QCOMPARE(grid->cellText(6, 0), QStringLiteral("月总点单数量：4"));
        QCOMPARE(grid->cellText(6, 2), QStringLiteral("月点单均价：27.6"));
        QCOMPARE(window.chartView()->shownKind(), 1);
        QCOMPARE(window.chartView()->lineChart()->title(), QStringLiteral("2016年2月份 参考数据"));

        ReportDatePicker day(window.periodTarget(), QDate(2016, 6, 1), &window);
        day.findChild<QDateEdit *>(QStringLiteral("日期框1"))->setDate(QDate(2016, 2, 1));
        day.confirm();
        QCOMPARE(day.result(), int(QDialog::Accepted));
        QCOMPARE(grid->cellText(0, 0), QStringLiteral("2016年2月1日 点单报表"));
        QCOMPARE(grid->columnSpan(1, 0), 2);
        QCOMPARE(grid->cellText(1, 0), QStringLiteral("时间"));
        QCOMPARE(grid->cellText(1, 2), QStringLiteral("实付"));
        QCOMPARE(grid->cellText(2, 0), QStringLiteral("2016年2月1日11时"));
        QCOMPARE(grid->cellText(3, 0), QStringLiteral("2016年2月1日12时30分"));
        QCOMPARE(grid->cellText(3, 2), QStringLiteral("30.25"));
        QCOMPARE(grid->columnSpan(3, 2), 2);
        QCOMPARE(textColour(grid, 3, 2), QColor(255, 0, 0));
        QCOMPARE(grid->cellText(6, 0), QStringLiteral("总计收入：90.5"));
        QCOMPARE(grid->cellText(7, 0), QStringLiteral("点单数量：3"));
        QCOMPARE(grid->cellText(7, 2), QStringLiteral("点单均价：30.2"));
        QCOMPARE(grid->rowCount(), 8);
        QVERIFY(window.chartView()->isHidden());

        // back to a month: the header shows four cells again
        QVERIFY(window.showMonthIncome(QStringLiteral("2016"), QStringLiteral("2")));
        QCOMPARE(grid->columnSpan(1, 0), 1);
        QCOMPARE(grid->cellText(1, 1), QStringLiteral("日收入"));
        QVERIFY(home.prompter.shown.isEmpty());
    }

    void platformAndPaymentView()
    {
        ReportHome home;
        addIncomeFebruary2016(home.store); // no header, no payment method
        QVERIFY(home.store.execute("insert into 存单 (编号, 时间, 票头, 支付方式, 实付) values (2, ?, ?, ?, ?)",
                                   {"2016-02-03 15:00:00", "美团\"外卖\"", "微信支付", 9.5}));
        IncomeReportWindow window(home.context, optionsOn(QDate(2016, 6, 1)));
        window.start();
        const QString totalText = window.grid()->cellText(4, 0);
        QCOMPARE(totalText, QStringLiteral("本年度总计收入：120"));
        QFile pieFile(pieDataPath(home.temp.path()));
        QVERIFY(pieFile.open(QIODevice::ReadOnly));
        const QByteArray pieBefore = pieFile.readAll();
        pieFile.close();
        QVERIFY(!QFileInfo::exists(lineChartPath(home.context.paths.home)));

        window.breakdownAction()->trigger();
        const ReportGrid *grid = window.breakdownGrid();
        QCOMPARE(grid->objectName(), QStringLiteral("高级表格2"));
        QVERIFY(grid->isVisibleTo(&window) && !window.grid()->isVisibleTo(&window));
        QCOMPARE(grid->cellText(0, 0), QStringLiteral("2016年 年报表 按平台和支付方式"));
        QCOMPARE(row(grid, 1), QStringList({"票头（平台）", "收入", "收入占比", "点单数量", "数量占比"}));
        QCOMPARE(row(grid, 2), QStringList({"(无)", "110.5", "92.1%", "4", "80.0%"}));
        QCOMPARE(row(grid, 3), QStringList({"美团\"外卖\"", "9.5", "7.9%", "1", "20.0%"}));
        QCOMPARE(row(grid, 4), QStringList({"合计", "120", "100.0%", "5", "100.0%"}));
        QCOMPARE(row(grid, 6).first(), QStringLiteral("支付方式"));
        QCOMPARE(row(grid, 7), QStringList({"(无)", "110.5", "92.1%", "4", "80.0%"}));
        QCOMPARE(row(grid, 8), QStringList({"微信支付", "9.5", "7.9%", "1", "20.0%"}));
        QCOMPARE(row(grid, 9).at(1), totalText.section(u'：', 1));
        QCOMPARE(window.chartView()->shownKind(), 2);
        const QList<QChart *> pies = window.chartView()->pieCharts();
        QCOMPARE(pies.at(1)->title(), QStringLiteral("按支付方式收入"));
        QCOMPARE(qobject_cast<QPieSeries *>(pies.at(0)->series().at(0))->slices().at(1)->value(), 9.5);

        // while the view is on, a picked period shows in it; no chart file is written
        QVERIFY(window.showMonthIncome(QStringLiteral("2016"), QStringLiteral("2")));
        QCOMPARE(grid->cellText(0, 0), QStringLiteral("2016年2月 月报表 按平台和支付方式"));
        QVERIFY(window.showDayIncome(QStringLiteral("2016年2月1日"))); // one platform only
        QCOMPARE(row(grid, 2), QStringList({"(无)", "90.5", "100.0%", "3", "100.0%"}));
        QCOMPARE(row(grid, 3).first(), QStringLiteral("合计"));
        QVERIFY(window.chartView()->isVisibleTo(&window));
        QVERIFY(!window.showDayIncome(QStringLiteral("2016年2月2日")));
        QCOMPARE(home.prompter.texts(), QStringList{"没有找到对应时间内的点单数据。"});
        QCOMPARE(window.chartView()->shownKind(), 0);
        QVERIFY(!QFileInfo::exists(lineChartPath(home.context.paths.home)));
        QVERIFY(pieFile.open(QIODevice::ReadOnly));
        QCOMPARE(pieFile.readAll(), pieBefore);

        // off again: the period's own report, laid out as always
        window.breakdownAction()->trigger();
        QVERIFY(!grid->isVisibleTo(&window));
        QCOMPARE(window.grid()->cellText(0, 0), QStringLiteral("2016年2月2日 点单报表"));
        QVERIFY(window.showMonthIncome(QStringLiteral("2016"), QStringLiteral("2")));
        QCOMPARE(window.grid()->height(), 368);
        QCOMPARE(window.chartView()->shownKind(), 1);
    }

    void incomePickerStaysOpenWithoutOrders()
    {
        ReportHome home;
        addIncomeFebruary2016(home.store);
        IncomeReportWindow window(home.context, optionsOn(QDate(2016, 6, 1)));
        window.start(); // 2016 has orders
        ReportYearPicker year(window.periodTarget(), QDate(2016, 6, 1), &window);
        year.findChild<QComboBox *>(QStringLiteral("组合框_年选择"))->setCurrentIndex(2); // 2014
        year.confirm();
        QCOMPARE(year.result(), int(QDialog::Rejected));
        QCOMPARE(home.prompter.texts(), QStringList({"没有找到对应时间内的点单数据。"}));
        QCOMPARE(window.grid()->rowCount(), 2);
        QCOMPARE(window.grid()->cellText(0, 0), QStringLiteral("2014年 年报表"));
        QCOMPARE(window.chartView()->shownKind(), 2); // the old chart stays

        QVERIFY(reportYears(2009).isEmpty());
        QCOMPARE(reportYears(2011), QStringList({"2011", "2010"}));
    }

    void aChartFileThatCannotBeWrittenShowsNoOldChart()
    {
        ReportHome home;
        addSales2016(home.store);
        addIncomeFebruary2016(home.store);
        SalesState state;
        SalesStatisticsWindow sales(home.context, state, optionsOn(QDate(2016, 6, 1)));
        sales.start();
        QCOMPARE(sales.chartView()->shownKind(), 1);
        // a folder where the chart file should be: the write fails
        QVERIFY(QFile::remove(lineChartPath(home.context.paths.home)));
        QVERIFY(QDir().mkpath(lineChartPath(home.context.paths.home)));
        sales.showMonthSales(QStringLiteral("2016-02"));
        QCOMPARE(sales.grid()->cellText(0, 0), QStringLiteral("2016-02月 所有商品销售表"));
        QCOMPARE(sales.chartView()->shownKind(), 0);

        IncomeReportWindow income(home.context, optionsOn(QDate(2016, 6, 1)));
        income.start();
        QCOMPARE(income.chartView()->shownKind(), 2);
        QVERIFY(income.showMonthIncome(QStringLiteral("2016"), QStringLiteral("2")));
        QCOMPARE(income.chartView()->shownKind(), 0);
        home.context.temporaryFolder = home.temp.path() + QStringLiteral("/gone");
        QVERIFY(QDir(lineChartPath(home.context.paths.home)).removeRecursively());
        IncomeReportWindow again(home.context, optionsOn(QDate(2016, 6, 1)));
        again.start();
        QVERIFY(again.showMonthIncome(QStringLiteral("2016"), QStringLiteral("2")));
        QCOMPARE(again.chartView()->shownKind(), 1);
        QVERIFY(again.showYearIncome(QStringLiteral("2016")));
        QCOMPARE(again.grid()->rowCount(), 6);
        QCOMPARE(again.chartView()->shownKind(), 0);
    }

    void missingChartComponentIsOfferedAndChartsStayEmpty()
    {
        ReportHome home;
        addIncomeFebruary2016(home.store);
        home.prompter.answers.enqueue(true);
        bool offered = false;
        ReportWindowOptions options = optionsOn(QDate(2016, 6, 1), 0);
        options.openDownloadPage = [&offered] { offered = true; };
        IncomeReportWindow window(home.context, options);
        window.start();
        QCOMPARE(home.prompter.shown.size(), 1);
        QCOMPARE(home.prompter.shown.at(0).kind, QStringLiteral("ask"));
        QCOMPARE(home.prompter.shown.at(0).icon, PromptIcon::Warning);
        QCOMPARE(home.prompter.shown.at(0).text,
                 QStringLiteral("您的 Flash 版本过低，图表功能将无法使用。\r\n\r\n是否安装 Adobe Flash Player ？"));
        QVERIFY(offered);
        // the report runs and its file is written; only the view stays empty
        QCOMPARE(window.grid()->rowCount(), 6);
        QVERIFY(QFileInfo::exists(pieDataPath(home.temp.path())));
        QCOMPARE(window.chartView()->shownKind(), 0);
    }

    void mainWindowOpensTheReports()
    {
        ProgramFolder home;
        MainWindow window(home.context);
        QVERIFY(window.start());
        QAction *income = window.menuAction(QStringLiteral("收入报表"));
        QAction *sales = window.menuAction(QStringLiteral("销售统计"));
        QVERIFY(income && income->isEnabled());
        QVERIFY(sales && sales->isEnabled());
        // the window opens modally; close it as soon as it shows
        QTimer::singleShot(0, [] {
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        sales->trigger();
        QVERIFY(home.prompter.texts().contains(QStringLiteral("没有找到对应时间内的点单数据。")));
    }
};

QTEST_MAIN(TestReportWindows)
#include "tst_reportwindows.moc"
