#include "historyfixture.h"

#include "core/gbk.h"
#include "core/sqlitelibrary.h"
#include "history/csvexport.h"
#include "history/ordersummary.h"
#include "history/utf8togbk.h"

#include <QFile>
#include <QTest>

using namespace vorlan;

Q_DECLARE_METATYPE(vorlan::HistoryFilter)

namespace {

const QString kHeader = QStringLiteral("ID,订单编号,票头,店铺名称,时间,减免,减免份数,减免金额,合计,支付方式,已付,实付,桌号,电话,"
                                       "姓名,地址,备注,菜名,数量,单位,小计\r\n");
const QStringList kPanels = {QStringLiteral("共有数据:1条"), QStringLiteral("合计总额:25"), QStringLiteral("实付总额:25")};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ExportHome {
    TestHome home;
    QString path = home.dir.filePath(QStringLiteral("订单.csv"));
    CsvExportResult run(const HistoryFilter &f = {}, const QString &description = QStringLiteral("正在浏览全部数据"),
                        const QStringList &panels = kPanels)
    {
        ensureOrderSummary(*home.store);
        return exportHistoryCsv(*home.store, f, path, description, panels);
    }
    QString text() { return gbk::decode(readAll(path)); }
};

} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT
private slots:
    void cleaning_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("plain") << QStringLiteral("老王") << QStringLiteral("老王");
        QTest::newRow("comma") << QStringLiteral("王,五") << QStringLiteral("王，五");
        QTest::newRow("two lines") << QStringLiteral("少辣\r\n多葱") << QStringLiteral("少辣\r\\n多葱");
        QTest::newRow("lone line feed and commas") << QStringLiteral("a\n,,") << QStringLiteral("a\\n，，");
        QTest::newRow("empty") << QString() << QString();
    }
    void cleaning()
    {
        QFETCH(QString, text);
        QFETCH(QString, cleaned);
        QCOMPARE(cleanCsvText(text), cleaned);
    }

    void footer()
    {
        QCOMPARE(csvFooter(QStringLiteral("正在浏览客户：139 的数据"),
                           {QStringLiteral("共有数据:0条"), QStringLiteral("合计总额:0"), QStringLiteral("实付总额：１２")}),
                 QStringLiteral("\r\n客户139 的数据\r\n共有数据,0条\r\n合计总额,0\r\n实付总额,12"));
    }

    // One order of three lines: the 17 order fields on the first line only, every free
    // text cleaned (the dish name too), the number and time forms, GBK and CR LF.
    void orderWithThreeLines()
    {
        ExportHome e;
        TestOrder o;
        o.phone = QStringLiteral("13900000000");
        o.name = QStringLiteral("王,五");
        o.address = QStringLiteral("幸福路\n3号");
        o.remark = QStringLiteral("少辣\r\n多葱");
        o.lines = {{QStringLiteral("红烧排骨饭"), QStringLiteral("1"), QStringLiteral("份"), QStringLiteral("18")},
                   {QStringLiteral("可乐,大"), QStringLiteral("2"), QStringLiteral("瓶"), QStringLiteral("7")},
                   {QStringLiteral("米饭"), QStringLiteral("0.5"), QStringLiteral("碗"), QStringLiteral("0.3")}};
        addOrder(*e.home.store, o);
        const CsvExportResult r = e.run();
        QCOMPARE(r.status, CsvExportResult::Status::Written);
        QCOMPARE(r.lines, 3);
        const QString expected =
            kHeader
            + QStringLiteral("1,1,微信点餐,白云快餐,2017-10-21 09:05:00,无,0,0.00000000,25.0000,现金支付,25.00000000,25.00000000,,"
                             "13900000000,王，五,幸福路\\n3号,少辣\r\\n多葱,红烧排骨饭,1.00000000,份,18.0000\r\n")
            + QStringLiteral(",,,,,,,,,,,,,,,,,可乐，大,2.00000000,瓶,7.0000\r\n")
            + QStringLiteral(",,,,,,,,,,,,,,,,,米饭,0.50000000,碗,0.3000\r\n")
            + QStringLiteral("\r\n全部数据\r\n共有数据,1条\r\n合计总额,25\r\n实付总额,25");
        const QByteArray bytes = readAll(e.path);
        QCOMPARE(bytes, gbk::encode(expected));
        QVERIFY(bytes.startsWith("ID,\xB6\xA9\xB5\xA5\xB1\xE0\xBA\xC5,")); // 订单编号 in GBK, no byte-order mark
        QVERIFY(bytes.contains("\xCD\xF5\xA3\xAC\xCE\xE5"));             // 王，五
        QVERIFY(!bytes.endsWith("\r\n"));
    }

    void noMatchingOrders()
    {
        ExportHome e;
        addOrder(*e.home.store, {});
        const CsvExportResult r = e.run(HistoryFilter::byPhone(QStringLiteral("1")), QStringLiteral("正在浏览客户：1 的数据"),
                                        {QStringLiteral("共有数据:0条"), QStringLiteral("合计总额:0"), QStringLiteral("实付总额:0")});
        QCOMPARE(r.status, CsvExportResult::Status::Written);
        QCOMPARE(e.text(), kHeader + QStringLiteral("\r\n客户1 的数据\r\n共有数据,0条\r\n合计总额,0\r\n实付总额,0"));
    }

    // Lines stored again when an order was modified come after the others; the order
    // still shows once, with all its lines. Lines without an order, orders without lines
    // and orders outside the filter are left out.
    void linesStoredOutOfTurn()
    {
        ExportHome e;
        DataStore &s = *e.home.store;
        const qint64 first = addOrder(s, {QStringLiteral("2017-10-21 09:00:00"), 10, 10, QStringLiteral("1"), {}, QStringLiteral("A")});
        const qint64 second = addOrder(s, {QStringLiteral("2017-10-21 10:00:00"), 20, 20, QStringLiteral("2"), {}, QStringLiteral("B")});
        const qint64 eatIn = addOrder(s, {QStringLiteral("2017-10-21 11:00:00"), 30, 30});
        TestOrder noLines{QStringLiteral("2017-10-21 12:00:00")};
        noLines.lines.clear();
        addOrder(s, noLines);
        QVERIFY(s.execute(QStringLiteral("delete from 存单详单 where 存单ID=?"), {first}));
        for (const char *dish : {"鱼", "肉"})
            QVERIFY(s.execute(QStringLiteral("insert into 存单详单 (存单ID,菜名,数量,单位,小计) values (?,?,1,'份',5)"),
                              {first, QString::fromUtf8(dish)}));
        QVERIFY(s.execute(QStringLiteral("insert into 存单详单 (存单ID,菜名,数量,单位,小计) values (999,'孤',1,'份',5)")));

        auto orderIds = [&] {
            QStringList ids;
            const QStringList lines = e.text().split(QStringLiteral("\r\n"));
            for (const QString &line : lines.mid(1))
                if (!line.isEmpty() && line.front().isDigit() && line.contains(QLatin1Char(',')))
                    ids << line.section(QLatin1Char(','), 0, 0) + QLatin1Char(':') + line.section(QLatin1Char(','), -4, -4);
            return ids;
        };
        CsvExportResult r = e.run();
        QCOMPARE(r.lines, 4);
        QCOMPARE(r.orders, 3);
        QCOMPARE(orderIds(), (QStringList{QStringLiteral("%1:红烧排骨饭").arg(second), QStringLiteral("%1:红烧排骨饭").arg(eatIn),
                                          QStringLiteral("%1:鱼").arg(first)}));
        QVERIFY(e.text().contains(QStringLiteral(",,,,,,,,,,,,,,,,,肉,1.00000000,份,5.0000\r\n")));

        r = e.run(HistoryFilter::takeout(), QStringLiteral("正在浏览外卖数据"));
        QCOMPARE(orderIds(), (QStringList{QStringLiteral("%1:红烧排骨饭").arg(second), QStringLiteral("%1:鱼").arg(first)}));
        // A filtered export lists its orders by ID.
        r = e.run(HistoryFilter::day(QDate(2017, 10, 21)), QStringLiteral("正在浏览：2017年10月21日 的数据"));
        QCOMPARE(orderIds(), (QStringList{QStringLiteral("%1:鱼").arg(first), QStringLiteral("%1:红烧排骨饭").arg(second),
                                          QStringLiteral("%1:红烧排骨饭").arg(eatIn)}));
        QCOMPARE(r.lines, 4);
        r = e.run(HistoryFilter::byPhone(QStringLiteral("2")), QStringLiteral("正在浏览客户：2 的数据"));
        QCOMPARE(orderIds(), QStringList{QStringLiteral("%1:红烧排骨饭").arg(second)});
    }

    // The same bytes whichever way the rows are read: by the linked SQLite on the driver's
    // connection, through Qt's statements (a driver with its own SQLite), and for a time
    // filter without the order summary that narrows the ID range.
    void sameBytesEveryWay_data()
    {
        QTest::addColumn<HistoryFilter>("filter");
        QTest::newRow("all") << HistoryFilter::all();
        QTest::newRow("takeout") << HistoryFilter::takeout();
        QTest::newRow("day") << HistoryFilter::day(QDate(2017, 10, 21));
        QTest::newRow("period") << HistoryFilter::period(QDate(2017, 10, 20), QDate(2017, 10, 22));
        QTest::newRow("phone") << HistoryFilter::byPhone(QStringLiteral("13900000001"));
    }
    void sameBytesEveryWay()
    {
        SKIP_ON_SERVER(); // compares the two ways of reading the file, with SQLite's loose types
        QFETCH(HistoryFilter, filter);
        ExportHome e;
        DataStore &s = *e.home.store;
        addOrders(s, 2500, QDateTime(QDate(2017, 10, 20), QTime(8, 0)));
        // Odd stored values: numbers in text columns, text in number columns, NULLs, a
        // time without seconds, a line stored out of turn and its order's own lines.
        QVERIFY(s.execute(QStringLiteral("update 存单 set 姓名=12.5, 备注=3, 合计='二十', 减免份数=NULL, 时间='2017-10-21 10:01' "
                                         "where ID=2000")));
        QVERIFY(s.execute(QStringLiteral("update 存单 set 电话=NULL, 实付=1e20, 已付=-0.125 where ID=7")));
        QVERIFY(s.execute(QStringLiteral("insert into 存单详单 (存单ID,菜名,数量,单位,小计) values (5, 42, '半', NULL, 1.0)")));
        QVERIFY(ensureOrderSummary(s));
        const QString description = filter.description();
        const CsvExportResult direct = exportHistoryCsv(s, filter, e.path, description, kPanels);
        QCOMPARE(direct.status, CsvExportResult::Status::Written);
        QVERIFY(direct.lines > 100);
        const QByteArray expected = readAll(e.path);

        pretendDriverSqliteDiffers(true);
        QVERIFY(!linkedSqliteHandle(s.database()));
        const CsvExportResult throughQt = exportHistoryCsv(s, filter, e.path, description, kPanels);
        pretendDriverSqliteDiffers(false);
        QCOMPARE(throughQt.status, CsvExportResult::Status::Written);
        QCOMPARE(throughQt.lines, direct.lines);
        QCOMPARE(readAll(e.path), expected);

        QVERIFY(s.execute(QStringLiteral("drop table 存单汇总")));
        const CsvExportResult unsummarised = exportHistoryCsv(s, filter, e.path, description, kPanels);
        QCOMPARE(unsummarised.lines, direct.lines);
        QCOMPARE(readAll(e.path), expected);
    }

    // A cancelled or failed export leaves the file that was there before.
    void cancelAndFailureKeepTheOldFile()
    {
        ExportHome e;
        addOrders(*e.home.store, 2100);
        {
            QFile old(e.path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old contents");
        }
        ensureOrderSummary(*e.home.store);
        qint64 heard = 0;
        const CsvExportResult cancelled = exportHistoryCsv(*e.home.store, {}, e.path, {}, kPanels, [&](qint64 orders) {
            heard = orders;
            return false;
        });
        QCOMPARE(cancelled.status, CsvExportResult::Status::Cancelled);
        QCOMPARE(heard, 2048);
        QCOMPARE(readAll(e.path), QByteArray("old contents"));

        const QString impossible = e.path + QStringLiteral("/x.csv"); // below a file
        const CsvExportResult failed = exportHistoryCsv(*e.home.store, {}, impossible, {}, kPanels);
        QCOMPARE(failed.status, CsvExportResult::Status::Failed);
        QVERIFY(!failed.error.isEmpty());
        QCOMPARE(readAll(e.path), QByteArray("old contents"));

        const CsvExportResult written = e.run();
        QCOMPARE(written.status, CsvExportResult::Status::Written);
        QCOMPARE(written.lines, 2100);
    }

    void gbkOfUtf8()
    {
        const QString text = QStringLiteral("abc 中文，测试 ￥€ 😀 \u00E9\u3000z");
        const QByteArray utf8 = text.toUtf8();
        std::string out;
        appendUtf8AsGbk(out, utf8.constData(), size_t(utf8.size()));
        QCOMPARE(QByteArray::fromStdString(out), gbk::encode(text));
        out.clear();
        appendUtf8AsGbk(out, "a\xE4\xB8z\xFF", 5); // each byte of a cut sequence, and a stray one
        QCOMPARE(QByteArray::fromStdString(out), QByteArray("a??z?"));
    }
};

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
