// Hostile input in every text and number of an order: stored exactly as typed, or refused
// with a message; never a broken statement, a crash or a silently cut value.

#include "app/mainwindow.h"
#include "core/datastore.h"
#include "core/numbers.h"
#include "history/csvexport.h"
#include "masterdata/customers.h"
#include "masterdata/dishrules.h"
#include "masterdata/namelists.h"
#include "masterdata/pinyininitials.h"
#include "order/orderstore.h"
#include "order/ui/orderentry.h"
#include "recordingcanvas.h"
#include "scriptedprompter.h"
#include "testhome.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

using namespace vorlan;

namespace {

QByteArray hex(const char *bytes) { return QByteArray::fromHex(bytes); }

// Texts that break spliced SQL, printf-style formatting, GBK conversion or fixed buffers,
// each with the bytes the CSV export writes for it: GBK, four-byte GB18030 for what GBK
// lacks, a comma full-width, a line feed as backslash and n.
struct HostileText {
    const char *tag;
    QString text;
    QByteArray csv;
};

QList<HostileText> hostileTexts()
{
    return {
        {"quotes", QStringLiteral("老王's \"店\", ''; drop table 存单; --"),
         hex("C0CF CDF5") + "'s \"" + hex("B5EA") + "\"" + hex("A3AC") + " ''; drop table " + hex("B4E6 B5A5") + "; --"},
        {"backslashes", QStringLiteral("C:\\data\\new\\t\\0 \\' end\\"), "C:\\data\\new\\t\\0 \\' end\\"},
        {"percent", QStringLiteral("%1 %s %d %n 100%% %"), "%1 %s %d %n 100%% %"},
        {"emoji", QStringLiteral("外卖😀🍜👨‍👩‍👧 好"),
         hex("CDE2 C2F4 9439FC36 9439B930 9439D338 8136A439 9439D339 8136A439 9439D337") + " " + hex("BAC3")},
        {"outside GBK", QStringLiteral("한국어 ﻿ עברית 𠀀𪚥 ÿ €"),
         hex("83368433 8237F430 8332EB35") + " " + hex("84319533") + " "
             + hex("8130FB30 8130F933 8130FB36 8130FA31 8130FB38") + " " + hex("95328236 9835EE37") + " "
             + hex("81308B37") + " " + hex("A2E3")},
        {"control characters", QStringLiteral("a\tb\r\nc\u0001d\u007f"), "a\tb\r\\nc" + hex("01") + "d" + hex("7F")},
        {"10,000 characters", QString(10000, QChar(u'饭')), hex("B7B9").repeated(10000)},
        {"only blanks", QStringLiteral("   "), "   "},
    };
}

SettledOrder orderWith(const QString &text)
{
    SettledOrder o;
    o.number = 1;
    o.time = QDateTime(QDate(2026, 12, 9), QTime(12, 0));
    o.header = o.shopName = o.discount = o.paymentMethod = o.table = o.name = o.address = o.remark = text;
    o.phone = text.left(5000) + QStringLiteral("1");
    o.lines = {{text, 2, text, 30}, {QStringLiteral("米饭"), 1, QStringLiteral("份"), 2}};
    o.total = 32;
    return o;
}

OrderFormTexts formWith(const QString &field, const QString &value)
{
    OrderFormTexts t;
    t.number = QStringLiteral("7");
    t.time = QStringLiteral("2026-12-09 12:00");
    t.total = QStringLiteral("30");
    t.lines = {OrderLine{QStringLiteral("红烧排骨饭"), QStringLiteral("2"), QStringLiteral("份"), QStringLiteral("30")}};
    if (field == QLatin1String("number"))
        t.number = value;
    else if (field == QLatin1String("portions"))
        t.discountPortions = value;
    else if (field == QLatin1String("discount amount"))
        t.discountAmount = value;
    else if (field == QLatin1String("total"))
        t.total = value;
    else if (field == QLatin1String("paid"))
        t.paid = value;
    else if (field == QLatin1String("quantity"))
        t.lines[0].quantity = value;
    else if (field == QLatin1String("line amount"))
        t.lines[0].amount = value;
    return t;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT
private slots:
    void hostileTextsAreStoredAsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("csv");
        for (const HostileText &h : hostileTexts())
            QTest::newRow(h.tag) << h.text << h.csv;
    }
    void hostileTextsAreStoredAsTyped()
    {
        QFETCH(QString, text);
        TestHome home;
        DataStore &s = *home.store;
        const SettledOrder order = orderWith(text);
        QString error;
        const auto id = insertOrder(s, order, &error);
        QVERIFY2(id, qPrintable(error));
        auto stored = readStoredOrder(s, *id);
        QVERIFY(stored);
        for (const QString &field : {stored->header, stored->shopName, stored->discount, stored->paymentMethod,
                                     stored->table, stored->name, stored->address, stored->remark})
            QCOMPARE(field, text);
        QCOMPARE(stored->phone, order.phone);
        QCOMPARE(stored->lines.at(0).name, text);
        QCOMPARE(stored->lines.at(0).unit, text);
        // the customer is found again by the same phone text
        QCOMPARE(s.scalar("select 姓名 from 客户 where 电话=?", {order.phone}).toString(), text);
        // and the same texts go through a modification
        SettledOrder changed = orderWith(text + QStringLiteral("改"));
        QVERIFY(replaceOrder(s, *id, changed, &error));
        stored = readStoredOrder(s, *id);
        QCOMPARE(stored->remark, text + QStringLiteral("改"));
        QCOMPARE(s.scalar("select count(*) from 存单").toInt(), 1);
    }

    void numbersStoredOrRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // the stored value as shown, or the start of the refusal
        QTest::addColumn<bool>("refused");
        QTest::newRow("full-width quantity") << "quantity" << "２．５" << "2.5" << false;
        QTest::newRow("negative quantity") << "quantity" << "-2" << "-2" << false;
        QTest::newRow("huge quantity") << "quantity" << "1e300" << "1e+300" << false;
        QTest::newRow("full-width amount") << "line amount" << "１２．５" << "12.5" << false;
        QTest::newRow("negative amount") << "line amount" << "-30" << "-30" << false;
        QTest::newRow("amount beyond single precision") << "line amount" << "1e39" << "1e+39" << false;
        QTest::newRow("negative huge total") << "total" << "-5e300" << "-5e+300" << false;
        QTest::newRow("money as typed") << "total" << "15.3" << "15.3" << false;
        QTest::newRow("huge paid") << "paid" << "1e300" << "1e+300" << false;
        QTest::newRow("text for a number") << "discount amount" << "abc" << "0" << false;
        QTest::newRow("full-width number") << "number" << "１２" << "编号必须是整数" << true;
        QTest::newRow("number beyond int") << "number" << "99999999999" << "编号必须是整数" << true;
        QTest::newRow("negative portions") << "portions" << "-3" << "-3" << false;
        QTest::newRow("portions beyond smallint") << "portions" << "40000" << "减免份数太大" << true;
    }
    void numbersStoredOrRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, refused);
        const auto result = collectSettledOrder(formWith(field, typed), 2026);
        if (refused) {
            QVERIFY(std::holds_alternative<QString>(result));
            QVERIFY2(std::get<QString>(result).startsWith(stored), qPrintable(std::get<QString>(result)));
            return;
        }
        if (const QString *refusal = std::get_if<QString>(&result))
            QFAIL(qPrintable(*refusal));
        TestHome home;
        const auto id = insertOrder(*home.store, std::get<SettledOrder>(result));
        QVERIFY(id);
        const QString column = field == "quantity"          ? "(select 数量 from 存单详单)"
                               : field == "line amount"     ? "(select 小计 from 存单详单)"
                               : field == "total"           ? "合计"
                               : field == "paid"            ? "已付"
                               : field == "discount amount" ? "减免金额"
                               : field == "portions"        ? "减免份数"
                                                            : "编号";
        const double value = home.store->scalar("select " + column + " from 存单").toDouble();
        QCOMPARE(formatDouble(value), stored);
    }

    // The catalog, the name lists, the customers and the CSV export take the same texts.
    void masterDataAndExport_data() { hostileTextsAreStoredAsTyped_data(); }
    void masterDataAndExport()
    {
        QFETCH(QString, text);
        TestHome home;
        DataStore &s = *home.store;
        const bool blank = trimBlanks(text).isEmpty();

        const DishFields dish = readDishFields(QStringLiteral("901"), text, text, QStringLiteral("１２．５"), text);
        (void)derivePinyinInitials(text);
        if (blank) {
            QVERIFY(!dishFieldsProblem(dish).isEmpty()); // refused with a message
        } else {
            QVERIFY(dishFieldsProblem(dish).isEmpty());
            QVERIFY(insertDish(s, dish));
            QCOMPARE(s.scalar("select 字母||'|'||菜名||'|'||单位 from 菜单 where 代码='901'").toString(),
                     trimBlanks(text) + '|' + trimBlanks(text) + '|' + text);
            QCOMPARE(s.scalar("select 价格 from 菜单 where 代码='901'").toDouble(), 12.5);
        }

        const NameList &headers = nameList(NameListKind::Headers);
        const AddNameResult added = addListName(s, headers, readListNames(s, headers), text);
        QCOMPARE(int(added), int(AddNameResult::Added));
        QVERIFY(readListNames(s, headers).contains(text));
        QCOMPARE(int(deleteListName(s, headers, readListNames(s, headers), text)), int(DeleteNameResult::Deleted));

        const QString phone = text.left(100) + QStringLiteral("139");
        QVERIFY(insertCustomer(s, phone, text, text));
        QCOMPARE(findCustomer(s, phone)->address, text);
        const CustomerPage page = fetchCustomerPage(s, text, 1);
        QCOMPARE(page.count, 1);
        QCOMPARE(page.rows.value(0).phone, phone);

        // the export writes every text as GBK (GB18030 for what GBK lacks), cleaned only
        // of its commas and line feeds: the order's first line holds it in every text field
        QFETCH(QByteArray, csv);
        QVERIFY(insertOrder(s, orderWith(text)));
        const QString path = home.dir.filePath("export.csv");
        const CsvExportResult result = exportHistoryCsv(s, HistoryFilter::all(), path, QStringLiteral("所有数据"), {});
        QCOMPARE(int(result.status), int(CsvExportResult::Status::Written));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QCOMPARE(lines.size(), 5); // titles, two order lines, an empty line, the filter
        const QList<QByteArray> fields = lines.at(1).chopped(1).split(',');
        QCOMPARE(fields.size(), 21);
        for (int column : {2, 3, 5, 9, 12, 14, 15, 16, 17, 19}) // the order's texts, dish name and unit
            QCOMPARE(fields.at(column), csv);
        const QByteArray phoneCsv = text.size() > 5000 ? csv.left(10000) : csv; // the first 5,000 characters
        QCOMPARE(fields.at(13), phoneCsv + "1");
        QCOMPARE(lines.at(2).chopped(1).split(',').at(17), hex("C3D7 B7B9")); // 米饭
    }

    // The same through the main window: the text fields hold the hostile text as typed; the
    // combo boxes, which take no typing, list it as a stored name (the name lists, the
    // table list) and the dish comes from the catalog. The order is settled, and both the
    // stored order and the printed receipt carry every text unchanged.
    void mainWindowFields_data() { hostileTextsAreStoredAsTyped_data(); }
    void mainWindowFields()
    {
        QFETCH(QString, text);
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        RecordingBackend printer;
        AppContext context;
        context.paths.home = dir.path();
        context.temporaryFolder = QStringLiteral("/nonexistent-temporary-folder");
        context.prompter = &prompter;
        context.printBackend = &printer;
        MainWindow w(context);
        QVERIFY(w.start());
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        DataStore &s = *context.store;
        const MainForm &f = w.form();

        for (NameListKind kind : {NameListKind::Headers, NameListKind::Shops, NameListKind::Discounts}) {
            const NameList &list = nameList(kind);
            QCOMPARE(int(addListName(s, list, readListNames(s, list), text)), int(AddNameResult::Added));
        }
        QVERIFY(s.execute("insert into 桌号 (代号, 桌号名称) values ('88', ?)", {text}));
        w.loadTableList();
        const bool blank = trimBlanks(text).isEmpty(); // a dish needs a name
        const QString dishCode = blank ? QStringLiteral("001") : QStringLiteral("901");
        if (!blank) {
            QVERIFY(insertDish(s, readDishFields(dishCode, text, text, QStringLiteral("12.5"), text)));
            w.loadDishCatalog();
        }
        const QString dishName = blank ? s.scalar("select 菜名 from 菜单 where 代码='001'").toString() : trimBlanks(text);
        const QString unit = blank ? s.scalar("select 单位 from 菜单 where 代码='001'").toString() : text;

        // each list is read again as it drops down; the hostile name is chosen from it
        for (QComboBox *combo : {f.header, f.shopName, f.discount}) {
            combo->showPopup();
            const int item = combo->findText(text);
            QVERIFY2(item > 0, qPrintable(combo->objectName()));
            combo->setCurrentIndex(item);
            combo->hidePopup();
        }
        f.tableCode->setText(QStringLiteral("88"));
        QCOMPARE(f.table->currentText(), text);
        f.discountAmount->setText(QStringLiteral("3"));
        const QString phone = QStringLiteral("139") + text.left(200);
        f.phone->setText(phone);
        f.name->setText(text);
        f.address->setText(text);
        f.remark->setPlainText(text);

        // one line from the catalog, its quantity typed with full-width digits
        QTest::keyClick(&w, Qt::Key_F1);
        QTest::keyClicks(f.dishCode, dishCode);
        prompter.inputs.enqueue(QStringLiteral("１"));
        QTest::keyClick(f.dishCode, Qt::Key_Return);
        QVERIFY(w.orderEntry()->hasLines());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F12);

        QCOMPARE(s.scalar("select count(*) from 存单").toInt(), 1);
        for (const char *column : {"票头", "店铺名称", "减免", "桌号", "姓名", "地址"})
            QVERIFY2(s.scalar(QStringLiteral("select %1 from 存单").arg(QString::fromUtf8(column))).toString() == text, column);
        // a multi-line box holds line ends as LF, whatever was pasted
        QCOMPARE(s.scalar("select 备注 from 存单").toString(), QString(text).replace("\r\n", "\n"));
        QCOMPARE(s.scalar("select 电话 from 存单").toString(), phone.trimmed());
        QCOMPARE(s.scalar("select 菜名 from 存单详单").toString(), dishName);
        QCOMPARE(s.scalar("select 单位 from 存单详单").toString(), unit);
        QCOMPARE(s.scalar("select 数量 from 存单详单").toDouble(), 1.0);
        QVERIFY(!w.orderEntry()->hasLines()); // settled and cleared for the next order

        // The receipt: the title, shop, dish and discount are drawn as texts of their own;
        // the delivery block below the total is wrapped, so its lines are read together,
        // without the line breaks of the texts themselves.
        QVERIFY(!printer.jobs.isEmpty());
        const QStringList drawn = printer.jobs.first().canvas.texts();
        const QString title = QStringLiteral(" #1 ") + text + QStringLiteral(" ");
        QCOMPARE(drawn.count(title), 2); // at the top and the bottom
        QVERIFY(drawn.contains(text)); // the shop
        const int line = drawn.indexOf(dishName, drawn.indexOf(QStringLiteral("小计")) + 1); // below the titles
        QVERIFY(line > 0);
        QCOMPARE(drawn.at(line + 1), QStringLiteral("1") + unit);
        const int discount = drawn.indexOf(text, line + 2);
        QVERIFY(discount > 0);
        QCOMPARE(drawn.mid(discount, 3), (QStringList{text, QString(), QStringLiteral("3")}));
        const int total = drawn.indexOf(QRegularExpression(QStringLiteral("合计 ￥.*"))); // whole texts
        QVERIFY(total > discount);
        QString delivery;
        for (const QString &drawnText : drawn.mid(total + 1, drawn.lastIndexOf(title) - total - 1))
            if (!QRegularExpression(QStringLiteral("^(-+|已支付 ￥.*)$")).match(drawnText).hasMatch())
                delivery += drawnText;
        const QString contact = text.trimmed().isEmpty() ? phone.trimmed() : text.trimmed() + "  " + phone.trimmed();
        const QString unbroken = QString(text).remove("\r\n");
        const QString expected = unbroken + QString(contact).remove("\r\n") + unbroken + " " + unbroken; // table,
        QVERIFY2(delivery.startsWith(expected), qPrintable(delivery.left(300))); // customer, address, remark

        // the known customer fills in again from the same phone text
        f.phone->setText(phone);
        QCOMPARE(f.name->text(), text);
        w.close();
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
