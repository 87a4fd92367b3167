#include "core/dates.h"
#include "core/todaycounters.h"
#include "localzone.h"
#include "testhome.h"

#include <QScopeGuard>
#include <QTest>

using namespace vorlan;

class TestDates : public QObject
{
    Q_OBJECT
private slots:
    void chineseDates()
    {
        QCOMPARE(chineseDate(QDate(2017, 8, 5)), QStringLiteral("2017年8月5日"));
        QCOMPARE(chineseDate(QDate(2026, 12, 31)), QStringLiteral("2026年12月31日"));
        QCOMPARE(parseChineseDate(QStringLiteral("2017年8月5日")), std::optional<QDate>(QDate(2017, 8, 5)));
        QVERIFY(!parseChineseDate(QStringLiteral("2017年2月30日")));
        QVERIFY(!parseChineseDate(QStringLiteral("2017-08-05")));
    }

    void orderTimeForms()
    {
        const QDateTime t(QDate(2017, 8, 5), QTime(9, 7, 42));
        QCOMPARE(formatOrderTime(t, 0), QStringLiteral("08-05 09:07"));
        QCOMPARE(formatOrderTime(t, 1), QStringLiteral("2017/08/05 09:07"));
        QCOMPARE(formatOrderTime(t, 2), QStringLiteral("2017-08-05 09:07"));
        QCOMPARE(formatOrderTime(t, 7), QStringLiteral("08-05 09:07"));
        QCOMPARE(formatOrderTime(QDateTime(QDate(2026, 12, 31), QTime(23, 59)), 0), QStringLiteral("12-31 23:59"));
    }

    void readingOrderTimes()
    {
        const QDateTime expected(QDate(2017, 8, 5), QTime(9, 7));
        for (int form = 0; form < 3; ++form)
            QCOMPARE(parseOrderTime(formatOrderTime(expected, form), 2017), std::optional<QDateTime>(expected));
        // no year in the text: the given year is used
        QCOMPARE(parseOrderTime(QStringLiteral("08-05 09:07"), 2015)->date(), QDate(2015, 8, 5));
        QCOMPARE(parseOrderTime(QStringLiteral("2017-08-05 09:07:59"), 2000), std::optional<QDateTime>(expected));
        QVERIFY(!parseOrderTime(QStringLiteral("13-40 09:07"), 2017));
        QVERIFY(!parseOrderTime(QStringLiteral("02-29 10:00"), 2017));
        QVERIFY(parseOrderTime(QStringLiteral("02-29 10:00"), 2016));
        QVERIFY(!parseOrderTime(QStringLiteral("08-05 25:00"), 2017));
        QVERIFY(!parseOrderTime(QStringLiteral("昨天"), 2017));
        QVERIFY(!parseOrderTime(QString(), 2017));
    }

    void isoTexts()
    {
        const QDateTime t(QDate(2017, 8, 5), QTime(9, 7));
        QCOMPARE(isoDateTime(t), QStringLiteral("2017-08-05 09:07:00"));
        QCOMPARE(fromIsoDateTime(QStringLiteral("2017-08-05 09:07:00")), std::optional<QDateTime>(t));
        QVERIFY(!fromIsoDateTime(QStringLiteral("garbage")));
        // The stored layout and the minute form read alike; impossible days and times,
        // stray characters and other layouts are refused.
        QCOMPARE(fromIsoDateTime(QStringLiteral("2017-08-05 09:07")), std::optional<QDateTime>(t));
        QCOMPARE(fromIsoDateTime(QStringLiteral("2016-02-29 23:59:59")),
                 std::optional<QDateTime>(QDateTime(QDate(2016, 2, 29), QTime(23, 59, 59))));
        for (const char *bad : {"2017-02-29 10:00:00", "2017-13-01 10:00:00", "2017-08-05 24:00:00", "2017-08-05 09:60:00",
                                "2017-08-05 09:07:6a", "2017/08/05 09:07:00", "2017-08-05T09:07:00"})
            QVERIFY2(!fromIsoDateTime(QString::fromUtf8(bad)) && !isoDateAndTime(QString::fromUtf8(bad)), bad);
        QCOMPARE(isoDateAndTime(QStringLiteral("2017-08-05 09:07:00")), std::optional(std::pair(t.date(), t.time())));
        QCOMPARE(isoDateAndTime(QStringLiteral("2017-08-05 09:07")), std::optional(std::pair(t.date(), t.time())));
    }

    void ranges()
    {
        const TimeRange day = dayRange(QDate(2016, 12, 31));
        QCOMPARE(day.from, QStringLiteral("2016-12-31 00:00:00"));
        QCOMPARE(day.to, QStringLiteral("2017-01-01 00:00:00"));
        QCOMPARE(monthRange(2016, 2).to, QStringLiteral("2016-03-01 00:00:00"));
        QCOMPARE(monthRange(2016, 12).to, QStringLiteral("2017-01-01 00:00:00"));
        QCOMPARE(yearRange(2016).from, QStringLiteral("2016-01-01 00:00:00"));
    }

    // Days whose local midnight does not exist (the clock jumps from 23:59:59 to 01:00)
    // still have their bounds, and times of the skipped hour are stored as written.
    void daysInAnyZone_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDate>("day");
        QTest::newRow("Santiago, no midnight") << QByteArray("America/Santiago") << QDate(2022, 9, 11);
        QTest::newRow("Cairo, no midnight") << QByteArray("Africa/Cairo") << QDate(2023, 4, 28);
        QTest::newRow("Santiago, a day before") << QByteArray("America/Santiago") << QDate(2022, 9, 10);
        QTest::newRow("Shanghai") << QByteArray("Asia/Shanghai") << QDate(2022, 9, 11);
        QTest::newRow("UTC") << QByteArray("UTC") << QDate(2023, 4, 28);
    }
    void daysInAnyZone()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDate, day);
        const LocalZone local(zone);
        const QString date = day.toString(Qt::ISODate);
        const QString next = day.addDays(1).toString(Qt::ISODate);
        QCOMPARE(dayRange(day).from, date + QStringLiteral(" 00:00:00"));
        QCOMPARE(dayRange(day).to, next + QStringLiteral(" 00:00:00"));
        QCOMPARE(monthRange(day.year(), day.month()).from, date.left(8) + QStringLiteral("01 00:00:00"));
        QCOMPARE(yearRange(day.year()).to, QStringLiteral("%1-01-01 00:00:00").arg(day.year() + 1));

        const QString skipped = date + QStringLiteral(" 00:30:00");
        const auto typed = parseOrderTime(day.toString(QStringLiteral("MM-dd")) + QStringLiteral(" 00:30"), day.year());
        QVERIFY(typed && typed->isValid());
        QCOMPARE(isoDateTime(*typed), skipped);
        QCOMPARE(formatOrderTime(*typed, 2), skipped.left(16));
        QCOMPARE(isoDateTime(fromIsoDateTime(skipped).value_or(QDateTime())), skipped);
        QCOMPARE(isoDateTime(fromIsoDateTime(skipped.left(16)).value_or(QDateTime())), skipped);

        // The day's counters read that day only, not the whole history.
        TestHome home;
        for (const QString &time : {day.addDays(-1).toString(Qt::ISODate) + QStringLiteral(" 12:00:00"), skipped,
                                    date + QStringLiteral(" 01:30:00"), next + QStringLiteral(" 12:00:00")})
            QVERIFY(home.store->execute(QStringLiteral("insert into 存单 (编号, 时间, 实付) values (7, ?, 10)"), {time}));
        const DayCounters counters = readDayCounters(*home.store, day);
        QCOMPARE(counters.orderCount, 2);
        QCOMPARE(counters.income, 20.0);
    }

    // The clock around midnight and the business day start, with the calendar day and
    // with a day that starts at 04:00: the day the clock belongs to, and the day whose
    // counters (after its start, up to and including the next) count an order of that time.
    void businessDayAroundItsStart_data()
    {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QDateTime>("clock");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QDate>("countedOn");
        const QDate tenth(2026, 12, 10), eleventh(2026, 12, 11);
        const QTime midnight(0, 0), four(4, 0);
        for (const QTime &start : {midnight, four}) {
            const bool late = start == four;
            const QString name = late ? QStringLiteral("04:00 ") : QStringLiteral("00:00 ");
            const auto row = [&](const char *at, const QDateTime &clock, const QDate &day, const QDate &counted) {
                QTest::newRow(qPrintable(name + QString::fromLatin1(at))) << start << clock << day << counted;
            };
            row("23:59", QDateTime(tenth, QTime(23, 59)), tenth, tenth);
            row("00:00", QDateTime(eleventh, QTime(0, 0)), late ? tenth : eleventh, tenth);
            row("00:01", QDateTime(eleventh, QTime(0, 1)), late ? tenth : eleventh, late ? tenth : eleventh);
            row("03:59", QDateTime(eleventh, QTime(3, 59)), late ? tenth : eleventh, late ? tenth : eleventh);
            row("04:00", QDateTime(eleventh, QTime(4, 0)), eleventh, late ? tenth : eleventh);
            row("04:01", QDateTime(eleventh, QTime(4, 1)), eleventh, eleventh);
            // the small hours of a month's first day belong to the month before
            row("month's first day 01:30", QDateTime(QDate(2026, 12, 1), QTime(1, 30)),
                late ? QDate(2026, 11, 30) : QDate(2026, 12, 1), late ? QDate(2026, 11, 30) : QDate(2026, 12, 1));
        }
    }
    void businessDayAroundItsStart()
    {
        QFETCH(QTime, start);
        QFETCH(QDateTime, clock);
        QFETCH(QDate, day);
        QFETCH(QDate, countedOn);
        setBusinessDayStart(start);
        const auto reset = qScopeGuard([] { setBusinessDayStart(QTime(0, 0)); });
        QCOMPARE(businessDate(clock), day);

        TestHome home;
        QVERIFY(home.store->execute(QStringLiteral("insert into 存单 (编号, 时间, 实付) values (7, ?, 10)"),
                                    {isoDateTime(clock)}));
        for (const QDate &d : {countedOn.addDays(-1), countedOn, countedOn.addDays(1)})
            QCOMPARE(readDayCounters(*home.store, d).orderCount, d == countedOn ? 1 : 0);

        const QString from = start.toString(QStringLiteral("HH:mm:00"));
        QCOMPARE(dayRange(day).from, day.toString(Qt::ISODate) + u' ' + from);
        QCOMPARE(dayRange(day).to, day.addDays(1).toString(Qt::ISODate) + u' ' + from);
        QCOMPARE(monthRange(2026, 12).to, QStringLiteral("2027-01-01 ") + from);
        QCOMPARE(yearRange(2026).from, QStringLiteral("2026-01-01 ") + from);
    }
};

QTEST_GUILESS_MAIN(TestDates)
#include "tst_dates.moc"
