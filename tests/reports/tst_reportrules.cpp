#include "localzone.h"
#include "reportdata.h"
#include "testhome.h"

#include "core/dates.h"
#include "reports/chartdata.h"
#include "reports/chartfiles.h"
#include "reports/incomereport.h"
#include "reports/periodtotals.h"
#include "reports/salesstatistics.h"

#include <QFile>
#include <QScopeGuard>
#include <QTest>

using namespace vorlan;

class TestReportRules : public QObject
{
    Q_OBJECT
private slots:
    void yearSalesOf2016()
    {
        TestHome home;
        DataStore &s = *home.store;
        addSales2016(s);
        addLine(s, QStringLiteral("2015-12-31 23:59:00"), QStringLiteral("酸菜鱼"), 1, 99);
        addLine(s, QStringLiteral("2017-01-01 00:00:00"), QStringLiteral("酸菜鱼"), 1, 99);

        const SalesStatistics y = yearSales(s, QStringLiteral("2016"), QStringLiteral("所有商品"), QString());
        QCOMPARE(y.title, QStringLiteral("2016年 所有商品销售表"));
        QCOMPARE(y.headers, QStringList({"月份", "销售数量", "销售金额"}));
        QCOMPARE(y.rows, QList<QStringList>({{"01月", "56", "1234.5"}, {"02月", "40", "800"}}));
        QCOMPARE(y.lineCount, 96);
        QCOMPARE(y.totalAmount, QStringLiteral("2034.5"));
        QCOMPARE(y.totalVolume, QStringLiteral("96"));
        QCOMPARE(y.scaleMax, 1300);
        QCOMPARE(y.chartTitle, QStringLiteral("2016年 所有商品销售参考数据"));
        QCOMPARE(y.periods, QStringList({"01月", "02月"}));
        QCOMPARE(y.amounts, QStringList({"1234.5", "800"}));
        QCOMPARE(y.counts, QStringList({"56", "40"}));

        // the chart file is the one of the worked example
        QVERIFY(writeSalesChart(y, home.paths.home));
        const auto chart = readLineChart(lineChartPath(home.paths.home));
        QVERIFY(chart);
        QCOMPARE(chart->yMax, 1300.0);
        QCOMPARE(chart->values.at(1), QList<double>({800, 40, 0}));

        // one dish, named by the filter box
        const SalesStatistics fish = yearSales(s, QStringLiteral("2016"), QStringLiteral("酸菜鱼"), QStringLiteral("酸菜鱼"));
        QCOMPARE(fish.title, QStringLiteral("2016年 酸菜鱼销售表"));
        QCOMPARE(fish.rows, QList<QStringList>({{"01月", "28", "618.5"}, {"02月", "40", "800"}}));

        QCOMPARE(yearSales(s, QStringLiteral("2014"), QStringLiteral("所有商品"), QString()).lineCount, 0);
        QCOMPARE(yearSales(s, QStringLiteral("abc"), QStringLiteral("所有商品"), QString()).lineCount, 0);
    }

    void aDishWithAQuoteIsCountedLikeAnyOther()
    {
        TestHome home;
        DataStore &s = *home.store;
        const QString dish = QStringLiteral("老王's 鸡");
        addLine(s, QStringLiteral("2016-05-03 12:00:00"), dish, 2, 30);
        addLine(s, QStringLiteral("2016-05-03 12:00:00"), QStringLiteral("酸菜鱼"), 1, 16);
        QCOMPARE(yearSales(s, QStringLiteral("2016"), dish, dish).rows, QList<QStringList>({{"05月", "1", "30"}}));
        QCOMPARE(monthSales(s, QStringLiteral("2016-05"), dish, dish).rows, QList<QStringList>({{"03日", "1", "30"}}));
        QCOMPARE(daySales(s, QStringLiteral("2016年5月3日"), dish, dish).rows.size(), 1);
        QVERIFY(s.lastError().isEmpty());
    }

    void monthSalesPerDay()
    {
        TestHome home;
        DataStore &s = *home.store;
        addLine(s, QStringLiteral("2016-05-03 12:00:00"), QStringLiteral("酸菜鱼"), 1, 16.25);
        addLine(s, QStringLiteral("2016-05-03 13:00:00"), QStringLiteral("酸菜鱼"), 1, 16.3);
        addLine(s, QStringLiteral("2016-05-01 00:00:00"), QStringLiteral("酸菜鱼"), 1, 10);
        addLine(s, QStringLiteral("2016-05-31 23:59:59"), QStringLiteral("酸菜鱼"), 1, 10);
        addLine(s, QStringLiteral("2016-06-01 00:00:00"), QStringLiteral("酸菜鱼"), 1, 10);
        const SalesStatistics m = monthSales(s, QStringLiteral("2016-05"), QStringLiteral("所有商品"), QString());
        QCOMPARE(m.title, QStringLiteral("2016-05月 所有商品销售表"));
        QCOMPARE(m.headers, QStringList({"时间", "销售数量", "销售金额"}));
        // three days with lines; amounts rounded to one place as they are read
        QCOMPARE(m.rows, QList<QStringList>({{"01日", "1", "10"}, {"03日", "2", "32.6"}, {"31日", "1", "10"}}));
        QCOMPARE(m.totalAmount, QStringLiteral("52.6"));
        QCOMPARE(m.totalVolume, QStringLiteral("4"));
        QCOMPARE(m.chartTitle, QStringLiteral("2016-05月 所有商品销售参考数据"));
        QCOMPARE(m.scaleMax, 100);
        QCOMPARE(monthSales(s, QStringLiteral("2016-13"), QStringLiteral("所有商品"), QString()).lineCount, 0);
    }

    void daySalesListsEveryLine()
    {
        TestHome home;
        DataStore &s = *home.store;
        addLine(s, QStringLiteral("2016-05-03 12:30:00"), QStringLiteral("酸菜鱼"), 3, 48);
        addLine(s, QStringLiteral("2016-05-03 12:00:00"), QStringLiteral("酸菜鱼"), 1, 16);
        addLine(s, QStringLiteral("2016-05-03 18:00:00"), QStringLiteral("散装花生"), 0.5, 6.25);
        addLine(s, QStringLiteral("2016-05-03 00:00:00"), QStringLiteral("酸菜鱼"), 1, 16); // its first instant
        addLine(s, QStringLiteral("2016-05-03 23:59:59"), QStringLiteral("酸菜鱼"), 1, 16);
        addLine(s, QStringLiteral("2016-05-04 00:00:00"), QStringLiteral("酸菜鱼"), 1, 16);

        const SalesStatistics d = daySales(s, QStringLiteral("2016年5月3日"), QStringLiteral("所有商品"), QString());
        QCOMPARE(d.title, QStringLiteral("2016年5月3日所有商品销售表"));
        QCOMPARE(d.headers, QStringList({"时间", "商品名称", "销售金额"}));
        QCOMPARE(d.rows, QList<QStringList>({{"2016-05-03 12:00:00", "酸菜鱼(1)", "16"},
                                             {"2016-05-03 12:30:00", "酸菜鱼(3)", "48"},
                                             {"2016-05-03 18:00:00", "散装花生(0.5)", "6.3"},
                                             {"2016-05-03 23:59:59", "酸菜鱼(1)", "16"}}));
        QCOMPARE(d.lineCount, 4);
        QCOMPARE(d.totalAmount, QStringLiteral("86.3"));
        // quantities add up as numbers: 1 + 3 + 0.5 + 1
        QCOMPARE(d.totalVolume, QStringLiteral("5.5"));
        QVERIFY(!d.hasChart);

        // the line at 00:00:00 counts for the month and the year, not for its day
        QCOMPARE(monthSales(s, QStringLiteral("2016-05"), QStringLiteral("所有商品"), QString()).lineCount, 6);
        QCOMPARE(monthSales(s, QStringLiteral("2016-05"), QStringLiteral("所有商品"), QString()).rows.at(0),
                 QStringList({"03日", "5", "102.3"}));
        QCOMPARE(yearSales(s, QStringLiteral("2016"), QStringLiteral("所有商品"), QString()).lineCount, 6);
        QCOMPARE(daySales(s, QStringLiteral("2016年5月4日"), QStringLiteral("所有商品"), QString()).lineCount, 0);

        const SalesStatistics peanuts =
            daySales(s, QStringLiteral("2016年5月3日"), QStringLiteral("散装花生"), QStringLiteral("散装花生"));
        QCOMPARE(peanuts.rows.size(), 1);
        QCOMPARE(peanuts.totalVolume, QStringLiteral("0.5"));
        QCOMPARE(daySales(s, QStringLiteral("2016年2月30日"), QStringLiteral("所有商品"), QString()).lineCount, 0);
    }

    void dishFilterTexts()
    {
        QCOMPARE(dishForFilterText(QStringLiteral("所有商品")), QString());
        QCOMPARE(dishForFilterText(QStringLiteral("所有菜品")), QString());
        QCOMPARE(dishForFilterText(QString()), QString());
        QCOMPARE(dishForFilterText(QStringLiteral("酸菜鱼")), QStringLiteral("酸菜鱼"));
    }

    void monthIncomeOfFebruary2016()
    {
        TestHome home;
        DataStore &s = *home.store;
        addIncomeFebruary2016(s);
        addOrder(s, QStringLiteral("2016-03-01 00:00:00"), 500);
        const IncomeReport m = monthIncome(s, QStringLiteral("2016"), QStringLiteral("2"));
        QCOMPARE(m.title, QStringLiteral("2016年2月 月报表"));
        QCOMPARE(m.orderCount, 4);
        QCOMPARE(m.income, 110.5);
        QCOMPARE(m.rows.size(), 2);
        QCOMPARE(m.rows.at(0).label, QStringLiteral("2016-02-01"));
        QCOMPARE(m.rows.at(0).income, 90.5);
        QCOMPARE(m.rows.at(0).count, 3);
        QCOMPARE(incomeAverage(m.rows.at(0).income, m.rows.at(0).count), QStringLiteral("30.2"));
        QCOMPARE(m.rows.at(1).label, QStringLiteral("2016-02-03"));
        QCOMPARE(m.missing, 27); // 29 days in 2016
        QCOMPARE(incomeAverage(m.income, m.orderCount), QStringLiteral("27.6"));

        QVERIFY(writeMonthIncomeChart(m, QStringLiteral("2016"), QStringLiteral("2"), home.paths.home));
        QFile file(lineChartPath(home.paths.home));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("text=\"2016年2月份 参考数据\""));
        QVERIFY(bytes.contains("name=\"月实付总额\""));
        QVERIFY(bytes.contains("name=\"月点单数量\""));
        QVERIFY(bytes.contains("<period name=\"01日\">\r\n<v>90.5</v><v>3</v><v>0</v>\r\n</period>"));
        QVERIFY(bytes.contains("<period name=\"03日\">\r\n<v>20</v><v>1</v><v>0</v>\r\n</period>"));
        QVERIFY(bytes.contains("max=\"100\""));

        QCOMPARE(monthIncome(s, QStringLiteral("2016"), QStringLiteral("4")).orderCount, 0);
        QCOMPARE(monthIncome(s, QStringLiteral("2016"), QStringLiteral("13")).orderCount, 0);
    }

    void averagesRoundedSumsNot()
    {
        TestHome home;
        DataStore &s = *home.store;
        for (int i = 0; i < 9; ++i)
            addOrder(s, QStringLiteral("2016-07-%1 12:00:00").arg(1 + i, 2, 10, QLatin1Char('0')), 33.33);
        addOrder(s, QStringLiteral("2016-07-31 12:00:00"), 33.36);
        const IncomeReport y = yearIncome(s, QStringLiteral("2016"));
        QCOMPARE(formatDoubleOf(y.income), QStringLiteral("333.33"));
        QCOMPARE(incomeAverage(y.income, y.orderCount), QStringLiteral("33.3"));
        QCOMPARE(y.missing, 11);
        QCOMPARE(y.rows.size(), 1);
        QCOMPARE(y.rows.at(0).label, QStringLiteral("2016-07"));
        QCOMPARE(y.title, QStringLiteral("2016年 年报表"));
    }

    void leapYearsAndMissingDays()
    {
        QCOMPARE(daysInMonth(2016, 2), 29);
        QCOMPARE(daysInMonth(2017, 2), 28);
        QCOMPARE(daysInMonth(1900, 2), 28);
        QCOMPARE(daysInMonth(2000, 2), 29);
        QCOMPARE(daysInMonth(2016, 12), 31);
        QCOMPARE(daysOfMonth(2016, 2).size(), 29);
        QCOMPARE(daysOfMonth(2016, 2).last().to, QStringLiteral("2016-03-01 00:00:00"));
        QCOMPARE(monthsOfYear(2016).last().to, QStringLiteral("2017-01-01 00:00:00"));

        TestHome home;
        DataStore &s = *home.store;
        QVERIFY(s.transaction());
        for (int day = 1; day <= 28; ++day)
            addOrder(s, QStringLiteral("2017-02-%1 09:00:00").arg(day, 2, 10, QLatin1Char('0')), 10);
        for (int month = 1; month <= 12; ++month)
            addOrder(s, QStringLiteral("2018-%1-15 09:00:00").arg(month, 2, 10, QLatin1Char('0')), 10);
        QVERIFY(s.commit());
        QCOMPARE(monthIncome(s, QStringLiteral("2017"), QStringLiteral("2")).missing, 0);
        QCOMPARE(yearIncome(s, QStringLiteral("2018")).missing, 0);
        QCOMPARE(yearIncome(s, QStringLiteral("2018")).rows.size(), 12);
        QCOMPARE(yearIncome(s, QStringLiteral("2017")).missing, 11);
    }

    void dayIncomeAndTheMidnightBoundary()
    {
        TestHome home;
        DataStore &s = *home.store;
        addOrder(s, QStringLiteral("2016-05-03 00:00:00"), 7);
        addOrder(s, QStringLiteral("2016-05-03 12:30:00"), 20);
        addOrder(s, QStringLiteral("2016-05-03 09:00:00"), 10.5);
        addOrder(s, QStringLiteral("2016-05-03 23:59:59"), 1);
        addOrder(s, QStringLiteral("2016-05-04 00:00:00"), 100);
        const IncomeReport d = dayIncome(s, QStringLiteral("2016年5月3日"));
        QCOMPARE(d.title, QStringLiteral("2016年5月3日 点单报表"));
        QCOMPARE(d.orderCount, 3);
        QCOMPARE(d.income, 31.5);
        QCOMPARE(d.rows.size(), 3);
        QCOMPARE(d.rows.at(0).label, QStringLiteral("2016年5月3日9时"));
        QCOMPARE(d.rows.at(1).label, QStringLiteral("2016年5月3日12时30分"));
        QCOMPARE(d.rows.at(2).label, QStringLiteral("2016年5月3日23时59分59秒"));
        QCOMPARE(d.rows.at(1).income, 20.0);
        // the midnight order belongs to the month of its day and to its year
        QCOMPARE(monthIncome(s, QStringLiteral("2016"), QStringLiteral("5")).orderCount, 5);
        QCOMPARE(monthIncome(s, QStringLiteral("2016"), QStringLiteral("5")).rows.at(0).count, 4);
        QCOMPARE(yearIncome(s, QStringLiteral("2016")).orderCount, 5);
        QCOMPARE(dayIncome(s, QStringLiteral("2016年5月4日")).orderCount, 0);

        QCOMPARE(incomeOrderTime(QDateTime(QDate(2016, 5, 3), QTime(0, 0))), QStringLiteral("2016年5月3日"));
        QCOMPARE(incomeOrderTime(QDateTime(QDate(2016, 5, 3), QTime(0, 5, 0))), QStringLiteral("2016年5月3日0时5分"));
        QCOMPARE(incomeOrderTime(QDate(2016, 5, 3), QTime(12, 0, 9)), QStringLiteral("2016年5月3日12时0分9秒"));
        QCOMPARE(incomeOrderTime(QDate(2016, 5, 3), QTime(21, 0)), QStringLiteral("2016年5月3日21时"));
    }

    // In a zone where the day starts at 01:00 the day's reports list that day only.
    void reportsOnADayWithoutMidnight_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDate>("day");
        QTest::newRow("Santiago") << QByteArray("America/Santiago") << QDate(2022, 9, 11);
        QTest::newRow("Cairo") << QByteArray("Africa/Cairo") << QDate(2023, 4, 28);
    }
    void reportsOnADayWithoutMidnight()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDate, day);
        const LocalZone local(zone);
        TestHome home;
        DataStore &s = *home.store;
        const QString date = day.toString(Qt::ISODate);
        for (const QString &time : {day.addDays(-1).toString(Qt::ISODate) + QStringLiteral(" 12:00:00"),
                                    date + QStringLiteral(" 00:30:00"), date + QStringLiteral(" 12:00:00"),
                                    day.addDays(1).toString(Qt::ISODate) + QStringLiteral(" 12:00:00")}) {
            addOrder(s, time, 10);
            addLine(s, time, QStringLiteral("酸菜鱼"), 1, 16);
        }
        const QString chinese = QStringLiteral("%1年%2月%3日").arg(day.year()).arg(day.month()).arg(day.day());
        QCOMPARE(dayIncome(s, chinese).orderCount, 2);
        QCOMPARE(daySales(s, chinese, QStringLiteral("所有商品"), QString()).lineCount, 2);
        const IncomeReport month = monthIncome(s, QString::number(day.year()), QString::number(day.month()));
        QCOMPARE(month.orderCount, 4);
        QCOMPARE(month.rows.size(), 3);
        QCOMPARE(monthSales(s, date.left(7), QStringLiteral("所有商品"), QString()).rows.size(), 3);
    }

    void yearIncomePies()
    {
        TestHome home;
        DataStore &s = *home.store;
        addOrder(s, QStringLiteral("2016-01-10 12:00:00"), 1234.9);
        addOrder(s, QStringLiteral("2016-03-10 12:00:00"), 560.8);
        addOrder(s, QStringLiteral("2016-03-11 12:00:00"), 0);
        const IncomeReport y = yearIncome(s, QStringLiteral("2016"));
        QCOMPARE(y.missing, 10);
        QVERIFY(writeYearIncomePies(y, QStringLiteral("2016"), home.paths.home));
        QFile file(pieDataPath(home.paths.home));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("<pie_num>1234,560</pie_num>"));
        QVERIFY(bytes.contains("<pie_num>1,2</pie_num>"));
        QCOMPARE(bytes.count("<pie_name>01月,03月</pie_name>"), 2);
    }

    // Orders of February 2016 under several headers (one with quotes, one empty, one
    // missing, one of blanks) and of March under one header only.
    void incomeBreakdownMatchesTheMainReport_data()
    {
        QTest::addColumn<QString>("period"); // a day, "year-month" or a year
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QStringList>("payments");
        QTest::newRow("month") << "2016-2"
                               << QStringList{"美团 \"外卖\"'1':40.35:2", "(无):30.3:3", "饿了么:10:1"}
                               << QStringList{"微信支付:50.2:2", "(无):20.2:2", "现金支付:10.25:2"};
        QTest::newRow("day") << "2016年2月1日" << QStringList{"美团 \"外卖\"'1':40.35:2", "(无):10.1:1"}
                             << QStringList{"微信支付:40.2:1", "现金支付:10.25:2"};
        QTest::newRow("one platform only") << "2016-3" << QStringList{"饿了么:12.5:2"}
                                           << QStringList{"微信支付:12.5:2"};
        QTest::newRow("year") << "2016"
                              << QStringList{"美团 \"外卖\"'1':40.35:2", "(无):30.3:3", "饿了么:22.5:3"}
                              << QStringList{"微信支付:62.7:4", "(无):20.2:2", "现金支付:10.25:2"};
        QTest::newRow("no orders") << "2017" << QStringList{} << QStringList{};
    }
    void incomeBreakdownMatchesTheMainReport()
    {
        QFETCH(QString, period);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, payments);
        TestHome home;
        DataStore &s = *home.store;
        const auto add = [&](const char *time, const QVariant &header, const QVariant &payment, double paid) {
            QVERIFY(s.execute("insert into 存单 (编号, 时间, 票头, 支付方式, 实付) values (1, ?, ?, ?, ?)",
                              {time, header, payment, paid}));
        };
        const QString quoted = QStringLiteral("美团 \"外卖\"'1'");
        add("2016-02-01 11:00:00", quoted, "微信支付", 40.2);
        add("2016-02-01 12:00:00", quoted, "现金支付", 0.15);
        add("2016-02-01 13:00:00", "", "现金支付", 10.1);
        add("2016-02-03 12:00:00", QVariant(), QVariant(), 10.1);
        add("2016-02-04 12:00:00", "  ", " ", 10.1);
        add("2016-02-05 12:00:00", "饿了么", "微信支付", 10);
        add("2016-03-01 12:00:00", "饿了么", "微信支付", 5);
        add("2016-03-02 12:00:00", "饿了么", "微信支付", 7.5);

        IncomeReport main;
        IncomeBreakdown breakdown;
        if (period.contains(u'日')) {
            main = dayIncome(s, period);
            breakdown = dayIncomeBreakdown(s, period);
        } else if (period.contains(u'-')) {
            main = monthIncome(s, period.section(u'-', 0, 0), period.section(u'-', 1));
            breakdown = monthIncomeBreakdown(s, period.section(u'-', 0, 0), period.section(u'-', 1));
        } else {
            main = yearIncome(s, period);
            breakdown = yearIncomeBreakdown(s, period);
        }
        const auto texts = [](const QList<IncomeShare> &shares) {
            QStringList list;
            qint64 count = 0;
            for (const IncomeShare &share : shares) {
                list.append(share.name + ':' + QString::asprintf("%.13g", share.income) + ':' + QString::number(share.count));
                count += share.count;
            }
            return std::pair{list, count};
        };
        QCOMPARE(texts(breakdown.headers).first, headers);
        QCOMPARE(texts(breakdown.payments).first, payments);
        QCOMPARE(breakdown.orderCount, main.orderCount);
        QCOMPARE(texts(breakdown.headers).second, main.orderCount);
        QCOMPARE(qRound64(breakdown.income * 100), qRound64(main.income * 100));
        QVERIFY(breakdown.title.startsWith(main.title));

        // the pies name every group and hold its income
        const PieChartData pies = incomeBreakdownPies(breakdown);
        QCOMPARE(pies.pies.size(), 2);
        QCOMPARE(pies.pies.at(0).slices.size(), headers.size());
        QCOMPARE(sharePercent(0, 0), QStringLiteral("0.0%")); // a period of free orders only
        if (!headers.isEmpty())
            QCOMPARE(pies.pies.at(0).slices.at(0).name, headers.at(0).section(':', 0, -3));
    }

    // Orders of the small hours at a month's and a year's first day: with a business day
    // from 04:00 they count to the day, month and year before.
    void reportsFollowTheBusinessDay_data()
    {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QList<double>>("incomes"); // November, December, 1 December, 2026
        QTest::newRow("calendar day") << QTime(0, 0) << QList<double>{10, 60, 60, 75};
        QTest::newRow("from 04:00") << QTime(4, 0) << QList<double>{30, 120, 40, 150};
    }
    void reportsFollowTheBusinessDay()
    {
        QFETCH(QTime, start);
        QFETCH(QList<double>, incomes);
        setBusinessDayStart(start);
        const auto reset = qScopeGuard([] { setBusinessDayStart(QTime(0, 0)); });
        TestHome home;
        DataStore &s = *home.store;
        addOrder(s, QStringLiteral("2026-01-01 03:00:00"), 5);
        addOrder(s, QStringLiteral("2026-11-30 23:00:00"), 10);
        addOrder(s, QStringLiteral("2026-12-01 01:30:00"), 20);
        addOrder(s, QStringLiteral("2026-12-01 05:00:00"), 40);
        addOrder(s, QStringLiteral("2027-01-01 02:00:00"), 80);
        const QList<double> got = {monthIncome(s, "2026", "11").income, monthIncome(s, "2026", "12").income,
                                   dayIncome(s, QStringLiteral("2026年12月1日")).income, yearIncome(s, "2026").income};
        QCOMPARE(got, incomes);
        QCOMPARE(monthIncomeBreakdown(s, "2026", "12").income, incomes.at(1));
        QCOMPARE(monthIncome(s, "2026", "11").rows.last().label, QStringLiteral("2026-11-30"));
    }

private:
    static QString formatDoubleOf(double v) { return QString::asprintf("%.13g", v); }
};

QTEST_GUILESS_MAIN(TestReportRules)
#include "tst_reportrules.moc"
