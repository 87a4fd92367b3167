#include "historyfixture.h"

#include "history/orderhistory.h"
#include "history/ordersummary.h"
#include "order/orderstore.h"

#include <QScopeGuard>
#include <QTest>
#include "core/dates.h"

using namespace vorlan;

namespace {

QList<qint64> ids(const HistoryPage &page)
{
    QList<qint64> result;
    for (const HistoryRow &r : page.rows)
        result.append(r.id);
    return result;
}

// The same page read the plain way: every matching order, ranked by ID.
struct Reference {
    qint64 count = 0;
    double totalSum = 0, paidSum = 0;
    QList<qint64> ids;
};

Reference reference(DataStore &store, const HistoryFilter &f)
{
    Reference r;
    const QString where = f.isEmpty() ? QString() : QStringLiteral(" where ") + f.condition();
    store.query(QStringLiteral("select ID, 合计, 实付 from 存单") + where + QStringLiteral(" order by ID"), f.values());
    while (!store.atEnd()) {
        r.ids.append(store.readValue(0).toLongLong());
        r.totalSum += store.readDouble(1);
        r.paidSum += store.readDouble(2);
        store.next();
    }
    store.closeQuery();
    r.count = r.ids.size();
    return r;
}

void checkAgainstReference(DataStore &store, const HistoryFilter &f)
{
    const Reference ref = reference(store, f);
    const int pages = historyPageCount(ref.count);
    const bool summarised = f.kind != HistoryFilter::Kind::Phone && orderSummaryInPlace(store);
    for (int page = 1; page <= pages; ++page) {
        const HistoryPage p = fetchHistoryPage(store, f, page);
        QCOMPARE(p.summarised, summarised);
        QCOMPARE(p.count, ref.count);
        QCOMPARE(truncatedTotal(p.totalSum), truncatedTotal(ref.totalSum));
        QCOMPARE(truncatedTotal(p.paidSum), truncatedTotal(ref.paidSum));
        QCOMPARE(p.page, page);
        QCOMPARE(ids(p), ref.ids.mid((page - 1) * kHistoryPageSize, kHistoryPageSize));
    }
}

SettledOrder settled(const QString &phone, const QString &address, double total, const QDateTime &time)
{
    SettledOrder o;
    o.number = 1;
    o.time = time;
    o.phone = phone;
    o.name = QStringLiteral("老王");
    o.address = address;
    o.total = o.paid = o.actuallyPaid = total;
    o.lines = {{QStringLiteral("酸菜鱼"), 1, QStringLiteral("份"), total}};
    return o;
}

} // namespace

class TestOrderHistory : public QObject
{
    Q_OBJECT
private slots:
    void pageCountsAndRows_data()
    {
        QTest::addColumn<int>("orders");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lastPageRows");
        QTest::newRow("none") << 0 << 0 << 0;
        QTest::newRow("one page exactly") << 200 << 1 << 200;
        QTest::newRow("one over a page") << 201 << 2 << 1;
        QTest::newRow("450") << 450 << 3 << 50;
    }
    void pageCountsAndRows()
    {
        QFETCH(int, orders);
        QFETCH(int, pages);
        QFETCH(int, lastPageRows);
        TestHome home;
        addOrders(*home.store, orders);
        QVERIFY(ensureOrderSummary(*home.store));

        const HistoryPage last = fetchHistoryPage(*home.store, HistoryFilter::all(), -1);
        QVERIFY(last.listed);
        QCOMPARE(last.count, qint64(orders));
        QCOMPARE(last.pageCount, pages);
        QCOMPARE(last.page, pages);
        QCOMPARE(last.rows.size(), lastPageRows);
        if (orders > 0) {
            // The newest order is the bottom row of the last page; the oldest the top of page 1.
            QCOMPARE(last.rows.last().id, reference(*home.store, {}).ids.last());
            const HistoryPage first = fetchHistoryPage(*home.store, HistoryFilter::all(), 1);
            QCOMPARE(first.rows.first().id, reference(*home.store, {}).ids.first());
            QCOMPARE(first.rows.size(), std::min(orders, 200));
            QCOMPARE(first.rows.first().date, QStringLiteral("2017年10月21日"));
            QCOMPARE(first.rows.first().total, QStringLiteral("10"));
        }
        // A page beyond the last is the last; 0 and -2 only count.
        QCOMPARE(fetchHistoryPage(*home.store, HistoryFilter::all(), 99).page, pages);
        for (int ignored : {0, -2}) {
            const HistoryPage p = fetchHistoryPage(*home.store, HistoryFilter::all(), ignored);
            QVERIFY(!p.listed);
            QCOMPARE(p.count, qint64(orders));
            QVERIFY(p.rows.isEmpty());
        }
    }

    // Pages agree with the plain query for every filter, also with gaps in the IDs, orders
    // across ID blocks and times out of ID order: through a summary built in steps, and
    // counted from the order table when the summary was never built, was lost or its
    // build was cancelled (which leaves nothing of it behind).
    void pagesAgreeWithPlainQuery_data()
    {
        QTest::addColumn<QString>("summary");
        QTest::newRow("built a block a step") << QStringLiteral("built");
        QTest::newRow("never built") << QStringLiteral("none");
        QTest::newRow("table dropped by another program") << QStringLiteral("dropped");
        QTest::newRow("build cancelled") << QStringLiteral("cancelled");
    }
    void pagesAgreeWithPlainQuery()
    {
        QFETCH(QString, summary);
        TestHome home;
        addOrders(*home.store, 2600);
        // Late entries: older times under newer IDs.
        addOrders(*home.store, 300, QDateTime(QDate(2017, 10, 20), QTime(22, 0)));
        home.store->execute(QStringLiteral("delete from 存单 where ID % 7 = 0 or (ID > 900 and ID < 1400)"));
        if (summary == QLatin1String("built")) {
            QList<qint64> steps;
            QCOMPARE(buildOrderSummary(*home.store, [&](qint64 done, qint64 total) { steps << done << total; return true; },
                                       nullptr, 1),
                     SummaryBuild::Built);
            QCOMPARE(steps, (QList<qint64>{1, 3, 2, 3, 3, 3}));
        } else if (summary == QLatin1String("dropped")) {
            QVERIFY(ensureOrderSummary(*home.store));
            QVERIFY(home.store->execute(QStringLiteral("drop table 存单汇总")));
            // The next start drops the triggers left without their table: orders are written again.
            QVERIFY(home.reopen());
            QVERIFY(addOrder(*home.store, {QStringLiteral("2017-10-21 23:00:00")}) > 0);
        } else if (summary == QLatin1String("cancelled")) {
            int calls = 0;
            QCOMPARE(buildOrderSummary(*home.store, [&](qint64, qint64) { return ++calls < 2; }, nullptr, 1),
                     SummaryBuild::Cancelled);
            QCOMPARE(calls, 2);
            QCOMPARE(home.store->scalar(QStringLiteral("select count(*) from sqlite_master where name like '存单汇总%'")).toInt(), 0);
        }
        QCOMPARE(orderSummaryInPlace(*home.store), summary == QLatin1String("built"));
        for (const HistoryFilter &f :
             {HistoryFilter::all(), HistoryFilter::takeout(), HistoryFilter::byPhone(QStringLiteral("13900000003")),
              HistoryFilter::day(QDate(2017, 10, 21)), HistoryFilter::day(QDate(2017, 10, 20)),
              HistoryFilter::period(QDate(2017, 10, 20), QDate(2017, 10, 22)),
              HistoryFilter::period(QDate(2017, 10, 23), QDate(2017, 10, 23))}) {
            checkAgainstReference(*home.store, f);
            if (QTest::currentTestFailed()) {
                qWarning() << "filter" << f.description();
                return;
            }
        }
    }

    // Settling, modifying and deleting orders keep the summary right; a summary built
    // from stored orders equals one kept along.
    void summaryFollowsEveryWrite()
    {
        TestHome home;
        addOrders(*home.store, 10);
        QVERIFY(ensureOrderSummary(*home.store));
        const QDateTime t(QDate(2017, 10, 22), QTime(12, 0));
        const auto id = insertOrder(*home.store, settled(QStringLiteral("13911112222"), QStringLiteral("幸福路"), 30, t));
        QVERIFY(id);
        QVERIFY(insertOrder(*home.store, settled(QString(), QString(), 12.5, t)));
        checkAgainstReference(*home.store, HistoryFilter::takeout());
        checkAgainstReference(*home.store, HistoryFilter::day(QDate(2017, 10, 22)));

        // Modified: another day, no longer takeout, another amount.
        QVERIFY(replaceOrder(*home.store, *id, settled(QString(), QString(), 44, t.addDays(3))));
        checkAgainstReference(*home.store, HistoryFilter::takeout());
        checkAgainstReference(*home.store, HistoryFilter::day(QDate(2017, 10, 22)));
        checkAgainstReference(*home.store, HistoryFilter::day(QDate(2017, 10, 25)));
        checkAgainstReference(*home.store, HistoryFilter::all());

        QVERIFY(deleteOrder(*home.store, *id));
        QCOMPARE(home.store->scalar(QStringLiteral("select count(*) from 存单详单 where 存单ID=?"), {*id}).toInt(), 0);
        checkAgainstReference(*home.store, HistoryFilter::all());
        checkAgainstReference(*home.store, HistoryFilter::day(QDate(2017, 10, 25)));

        const QString kept = QStringLiteral("select 块, 日, 单数, 外卖单数, round(合计, 4), round(外卖实付, 4) from 存单汇总 order by 1, 2");
        auto rows = [&] {
            QStringList r;
            home.store->query(kept);
            while (!home.store->atEnd()) {
                QStringList cells;
                for (int c = 0; c < 6; ++c)
                    cells << home.store->readText(c);
                r << cells.join(QLatin1Char('|'));
                home.store->next();
            }
            home.store->closeQuery();
            return r;
        };
        const QStringList along = rows();
        // Dropping a trigger makes the next check rebuild the summary from the orders.
        QVERIFY(home.store->execute(QStringLiteral("drop trigger 存单汇总_删除")));
        QVERIFY(ensureOrderSummary(*home.store));
        QCOMPARE(rows(), along);
        // Emptied days leave no rows behind.
        QVERIFY(!along.join(QLatin1Char(' ')).contains(QStringLiteral("2017-10-25")));
    }

    // A day runs from just after its starting midnight up to and including the next one.
    void dayFilterMidnights()
    {
        TestHome home;
        const qint64 startsDay = addOrder(*home.store, {QStringLiteral("2017-10-21 00:00:00")});
        const qint64 first = addOrder(*home.store, {QStringLiteral("2017-10-21 00:00:01")});
        const qint64 late = addOrder(*home.store, {QStringLiteral("2017-10-21 23:59:59")});
        const qint64 endsDay = addOrder(*home.store, {QStringLiteral("2017-10-22 00:00:00")});
        addOrder(*home.store, {QStringLiteral("2017-10-22 00:00:01")});
        QVERIFY(ensureOrderSummary(*home.store));
        const HistoryPage p = fetchHistoryPage(*home.store, HistoryFilter::day(QDate(2017, 10, 21)), 1);
        QCOMPARE(ids(p), (QList<qint64>{first, late, endsDay}));
        QCOMPARE(p.count, 3);
        const HistoryPage before = fetchHistoryPage(*home.store, HistoryFilter::day(QDate(2017, 10, 20)), 1);
        QCOMPARE(ids(before), QList<qint64>{startsDay});
        const HistoryPage both = fetchHistoryPage(*home.store, HistoryFilter::period(QDate(2017, 10, 20), QDate(2017, 10, 21)), 1);
        QCOMPARE(both.count, 4);
        QCOMPARE(HistoryFilter::period(QDate(2017, 10, 20), QDate(2017, 10, 21)).values(),
                 (QVariantList{QStringLiteral("2017-10-20 00:00:00"), QStringLiteral("2017-10-22 00:00:00")}));

        // A business day from 04:00: the small hours go to the day before, also in the
        // totals, which the calendar-day summary cannot give.
        setBusinessDayStart(QTime(4, 0));
        const auto reset = qScopeGuard([] { setBusinessDayStart(QTime(0, 0)); });
        const qint64 smallHours = addOrder(*home.store, {QStringLiteral("2017-10-22 03:59:00")});
        const qint64 nextDay = addOrder(*home.store, {QStringLiteral("2017-10-22 04:00:01")});
        const HistoryPage business = fetchHistoryPage(*home.store, HistoryFilter::day(QDate(2017, 10, 21)), 1);
        QCOMPARE(ids(business), (QList<qint64>{late, endsDay, endsDay + 1, smallHours}));
        QCOMPARE(business.count, 4);
        QCOMPARE(ids(fetchHistoryPage(*home.store, HistoryFilter::day(QDate(2017, 10, 20)), 1)),
                 (QList<qint64>{startsDay, first}));
        QCOMPARE(ids(fetchHistoryPage(*home.store, HistoryFilter::day(QDate(2017, 10, 22)), 1)), QList<qint64>{nextDay});
        QCOMPARE(HistoryFilter::day(QDate(2017, 10, 21)).values(),
                 (QVariantList{QStringLiteral("2017-10-21 04:00:00"), QStringLiteral("2017-10-22 04:00:00")}));
    }

    void totalsAreTruncated_data()
    {
        QTest::addColumn<double>("sum");
        QTest::addColumn<qint64>("shown");
        QTest::newRow("99.99") << 99.99 << qint64(99);
        QTest::newRow("1234.9") << 1234.9 << qint64(1234);
        QTest::newRow("zero") << 0.0 << qint64(0);
        QTest::newRow("below zero") << -12.5 << qint64(-12);
        QTest::newRow("a drift below zero") << -1e-12 << qint64(0);
        // Single-precision amounts 0.1 + 0.2 + 0.7 add up to 0.99999999…
        QTest::newRow("binary fractions") << double(0.1f) + double(0.2f) + double(0.7f) << qint64(1);
    }
    void totalsAreTruncated()
    {
        QFETCH(double, sum);
        QFETCH(qint64, shown);
        QCOMPARE(truncatedTotal(sum), shown);
    }

    void filterTextsAreBound()
    {
        TestHome home;
        const qint64 id = addOrder(*home.store, {QStringLiteral("2017-10-21 10:00:00"), 20, 20, QStringLiteral("139' or '1'='1")});
        addOrder(*home.store, {QStringLiteral("2017-10-21 10:00:00"), 20, 20, QStringLiteral("13900000000")});
        QVERIFY(ensureOrderSummary(*home.store));
        const HistoryPage p = fetchHistoryPage(*home.store, HistoryFilter::byPhone(QStringLiteral("139' or '1'='1")), 1);
        QCOMPARE(ids(p), QList<qint64>{id});
        QCOMPARE(HistoryFilter::byPhone(QStringLiteral("139")).description(), QStringLiteral("正在浏览客户：139 的数据"));
        QCOMPARE(HistoryFilter::day(QDate(2017, 8, 5)).description(), QStringLiteral("正在浏览：2017年8月5日 的数据"));
        QCOMPARE(HistoryFilter::period(QDate(2017, 8, 5), QDate(2017, 10, 1)).description(),
                 QStringLiteral("正在浏览从：2017年8月5日到2017年10月1日 的数据"));
        QCOMPARE(HistoryFilter::takeout().description(), QStringLiteral("正在浏览外卖数据"));
    }
};

QTEST_GUILESS_MAIN(TestOrderHistory)
#include "tst_orderhistory.moc"
