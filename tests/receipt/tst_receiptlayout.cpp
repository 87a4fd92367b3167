#include "recordingcanvas.h"
#include "testhome.h"

#include "core/recordtable.h"
#include "receipt/receiptlayout.h"

#include <QTest>

using namespace vorlan;

namespace {

const QString crlf = QStringLiteral("\r\n");

ReceiptProfile plainProfile(int size = 9)
{
    ReceiptProfile profile;
    for (FontSlot &slot : profile.fonts)
        slot = FontSlot{size, false};
    return profile;
}

ReceiptSnapshot sampleOrder()
{
    ReceiptSnapshot order;
    order.orderNumber = "12";
    order.header = "微信点餐";
    order.shopName = "白云快餐";
    order.paymentMethod = "微信支付";
    order.orderTime = "08-05 09:07";
    order.lines = {{"宫保鸡丁", "2", "份", "36"},
                   {"超大份招牌秘制红烧牛肉面加蛋加肠", "1", "碗", "28"},
                   {"", "", "", ""}};
    order.discountName = "满30减5";
    order.discountPortions = "1";
    order.discountAmount = "5";
    order.total = "59";
    order.paid = "59";
    order.customerName = " 张三 ";
    order.phone = "13800000000";
    order.address = "幸福路1号";
    order.remark = "少辣";
    return order;
}

QStringList placed(const RecordingCanvas &canvas)
{
    QStringList out;
    for (const auto &op : canvas.ops)
        out.append(QStringLiteral("%1,%2,%3").arg(op.x).arg(op.y).arg(op.text.trimmed().isEmpty() && !op.text.isEmpty()
                                                                         ? QStringLiteral("<%1 blanks>").arg(op.text.size())
                                                                         : op.text));
    return out;
}

bool isSeparator(const QString &text) { return !text.isEmpty() && text.count(u'-') == text.size(); }

int indexOfText(const RecordingCanvas &canvas, const QString &text)
{
    for (int i = 0; i < canvas.ops.size(); ++i)
        if (canvas.ops.at(i).text == text)
            return i;
    return -1;
}

} // namespace

class TestReceiptLayout : public QObject
{
    Q_OBJECT
private slots:
    void wrap_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fits") << "abc" << 10 << "abc";
        QTest::newRow("empty") << "" << 10 << "";
        QTest::newRow("word starting the line is cut") << "abcdefghijkl" << 10 << "abcdefghij\r\nkl";
        QTest::newRow("crossing word moves down") << "ab cdefghijkl" << 10 << "ab \r\ncdefghijkl";
        QTest::newRow("wide char at the limit moves down") << "abcdefghi中文" << 10 << "abcdefghi\r\n中文";
        QTest::newRow("opening bracket never ends a line") << "一二三四（五六" << 10 << "一二三四\r\n（五六";
        QTest::newRow("comma takes the last char along") << "一二三四五，六" << 10 << "一二三四\r\n五，六";
        QTest::newRow("ascii char before comma") << "abcdefghij，" << 10 << "abcdefghi\r\nj，";
        QTest::newRow("explicit break is not doubled") << "ab\r\ncd" << 3 << "ab\r\ncd";
        QTest::newRow("explicit break right at the limit stays whole") << "abcdefghi\r\njk" << 10 << "abcdefghi\r\njk";
        QTest::newRow("comma after a break keeps the break") << "ab\r\n，cd" << 4 << "ab\r\n，cd";
        QTest::newRow("bracket then long word still progresses") << "（abcdefghijkl" << 10 << "（\r\nabcdefghij\r\nkl";
        QTest::newRow("one column, wide chars") << "中文" << 1 << "中\r\n文";
        QTest::newRow("no columns at all") << "ab" << 0 << "a\r\nb";
        QTest::newRow("four-byte char is never split") << "abcdefghi😀" << 10 << "abcdefghi\r\n😀";
        QTest::newRow("several lines") << "订餐电话:15900001234 欢迎再次光临" << 12
                                       << "订餐电话\r\n:15900001234\r\n 欢迎再次光\r\n临";
    }
    void wrap()
    {
        QFETCH(QString, text);
        QFETCH(int, columns);
        QFETCH(QString, expected);
        QCOMPARE(wrapReceiptText(text, columns), expected);
    }

    void wrapNeverLosesOrSplitsText()
    {
        const QString text = QStringLiteral("（（（，，，abc def《《ghijklmn》》opq，。？rs tuvwx\r\nyz😀中文");
        for (int cols = 0; cols <= 14; ++cols) {
            const QString wrapped = wrapReceiptText(text, cols);
            QCOMPARE(QString(wrapped).remove(crlf), QString(text).remove(crlf));
            for (const QString &line : wrapped.split(crlf))
                QVERIFY2(line.isEmpty() || !line.back().isHighSurrogate(), qPrintable(line));
            QVERIFY(!wrapped.endsWith(crlf));
        }
    }

    void titleText()
    {
        ReceiptSnapshot order;
        order.orderNumber = "12";
        order.header = "微信点餐";
        QCOMPARE(receiptTitleText(order), QStringLiteral(" #12 微信点餐 "));
        order.header.clear();
        QCOMPARE(receiptTitleText(order), QStringLiteral(" #12 "));
    }

    void completeReceiptPositions()
    {
        RecordingCanvas canvas;
        const int y = renderReceipt(canvas, plainProfile(), 194, sampleOrder(), nullptr, nullptr);
        const QString stars = QString(23, u'*');
        const QString dashes26 = QString(26, u'-');
        const QString rule = QString(63, u'-');
        const QStringList expected = {
            "0,0," + stars, "71,0, #12 微信点餐 ", "115,0," + stars,
            "0,18,<26 blanks>", "80,18,白云快餐", "106,18,<26 blanks>",
            "0,36," + dashes26, "80,36,微信支付", "106,36," + dashes26,
            "0,54,[下单时间] 08-05 09:07",
            "0,72," + rule,
            "0,90,品名", "126,90,数量", "172,90,小计",
            "0,108," + rule,
            "0,126,宫保鸡丁", "129,126,2份", "178,126,36",
            "0,144,超大份招牌秘制红烧牛肉面加蛋加肠", "129,162,1碗", "178,162,28",
            "0,180," + dashes26, "78,180,折扣 减免", "106,180," + dashes26,
            "0,198,满30减5", "129,198,1份", "181,198,5",
            "0,216," + rule,
            "157,234,合计 ￥59",
            "0,252," + rule,
            "151,270,已支付 ￥59",
            "0,288," + rule,
            "0,306,张三  13800000000",
            "0,324,幸福路1号",
            "0,342,<1 blanks>", "0,360,少辣",
            "0,378,<28 blanks>", "84,378,<5 blanks>", "100,378,<28 blanks>",
            "0,396," + stars, "71,396, #12 微信点餐 ", "115,396," + stars,
        };
        QCOMPARE(placed(canvas), expected);
        QCOMPARE(y, 414);
    }

    void paymentNoneGivesTwoSeparators_data()
    {
        QTest::addColumn<QString>("payment");
        QTest::newRow("无") << "无";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("empty") << "";
    }
    void paymentNoneGivesTwoSeparators()
    {
        QFETCH(QString, payment);
        ReceiptSnapshot order = sampleOrder();
        order.paymentMethod = payment;
        RecordingCanvas canvas;
        renderReceipt(canvas, plainProfile(), 194, order, nullptr, nullptr);
        const int time = indexOfText(canvas, "[下单时间] 08-05 09:07");
        QVERIFY(time > 0);
        QVERIFY(isSeparator(canvas.ops.at(time - 1).text));
        QVERIFY(isSeparator(canvas.ops.at(time + 1).text));
        QCOMPARE(canvas.ops.at(time - 1).y + 18, canvas.ops.at(time).y);
    }

    void paidLineHidden_data()
    {
        QTest::addColumn<int>("paidSize");
        QTest::addColumn<QString>("paid");
        QTest::addColumn<bool>("shown");
        QTest::newRow("size 0") << 0 << "59" << false;
        QTest::newRow("amount 0") << 12 << "0" << false;
        QTest::newRow("amount not a number") << 12 << "abc" << false;
        QTest::newRow("tiny amount") << 12 << "0.00000001" << false;
        QTest::newRow("shown") << 12 << "59" << true;
    }
    void paidLineHidden()
    {
        QFETCH(int, paidSize);
        QFETCH(QString, paid);
        QFETCH(bool, shown);
        ReceiptProfile profile = plainProfile();
        profile.fonts[SlotPaid].size = paidSize;
        ReceiptSnapshot order = sampleOrder();
        order.paid = paid;
        RecordingCanvas canvas;
        renderReceipt(canvas, profile, 194, order, nullptr, nullptr);
        const int total = indexOfText(canvas, "合计 ￥59");
        QVERIFY(isSeparator(canvas.ops.at(total + 1).text));
        QCOMPARE(canvas.ops.at(total + 2).text.startsWith("已支付"), shown);
        if (!shown)
            QCOMPARE(canvas.ops.at(total + 2).text, QStringLiteral("张三  13800000000"));
    }

    void extraLines()
    {
        ReceiptProfile profile = plainProfile();
        profile.fonts[SlotShopName].bold = true;
        profile.switches[SwitchExtra1] = {true, "订餐电话:1590000****"};
        profile.switches[SwitchExtra2] = {true, QString("欢迎光临本店，") + QString(60, u'x')};
        RecordingCanvas canvas;
        renderReceipt(canvas, profile, 194, sampleOrder(), nullptr, nullptr);

        // One line: centred between runs of blanks, at 9 points with the shop name's weight.
        const int one = indexOfText(canvas, "订餐电话:1590000****");
        QVERIFY(one > 0);
        const auto &centred = canvas.ops.at(one);
        QVERIFY(centred.x > 0);
        QCOMPARE(centred.size, 9);
        QVERIFY(centred.bold);
        QVERIFY(canvas.ops.at(one - 1).text.trimmed().isEmpty());
        // Two lines: left-aligned, one below the other.
        const auto &first = canvas.ops.at(one + 2);
        const auto &second = canvas.ops.at(one + 3);
        QCOMPARE(first.x, 0);
        QCOMPARE(second.x, 0);
        QCOMPARE(second.y, first.y + 18);
        QCOMPARE(first.text + second.text, profile.switches[SwitchExtra2].text);
    }

    void emptyTextsAndShopName()
    {
        ReceiptSnapshot order = sampleOrder();
        order.shopName.clear();
        order.customerName.clear();
        order.phone = "  ";
        order.address.clear();
        order.remark.clear();
        RecordingCanvas canvas;
        const int y = renderReceipt(canvas, plainProfile(), 194, order, nullptr, nullptr);
        // The empty shop name still takes its line; the empty customer texts take none.
        QCOMPARE(canvas.ops.at(3).y, 18);
        QCOMPARE(canvas.ops.at(4).text, QString());
        QCOMPARE(canvas.ops.at(5).y, 18);
        QCOMPARE(y, 414 - 18 - 18 - 2 * 18);
    }

    void discountBlock_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("portions");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QStringList>("row"); // empty: only a separator
        QTest::newRow("amount 0") << "满30减5" << "1" << "0" << QStringList();
        QTest::newRow("no name") << "" << "1" << "5" << QStringList();
        QTest::newRow("portions 0") << "满30减5" << "0" << "5" << QStringList{"满30减5", "", "5"};
        QTest::newRow("full") << "满30减5" << "2" << "5.5" << QStringList{"满30减5", "2份", "5.5"};
    }
    void discountBlock()
    {
        QFETCH(QString, name);
        QFETCH(QString, portions);
        QFETCH(QString, amount);
        QFETCH(QStringList, row);
        ReceiptSnapshot order = sampleOrder();
        order.discountName = name;
        order.discountPortions = portions;
        order.discountAmount = amount;
        RecordingCanvas canvas;
        renderReceipt(canvas, plainProfile(), 194, order, nullptr, nullptr);
        const int last = indexOfText(canvas, "28");
        const int total = indexOfText(canvas, "合计 ￥59");
        QStringList between;
        for (int i = last + 1; i < total; ++i)
            between.append(canvas.ops.at(i).text);
        if (row.isEmpty()) {
            QCOMPARE(between.size(), 1);
            QVERIFY(isSeparator(between.first()));
        } else {
            QCOMPARE(between.size(), 7);
            QCOMPARE(between.at(1), QStringLiteral("折扣 减免"));
            QCOMPARE(between.mid(3, 3), row);
            QVERIFY(isSeparator(between.last()));
        }
    }

    void picturesFillTheWidth()
    {
        ReceiptProfile profile = plainProfile();
        profile.switches[SwitchTopPicture].on = true;
        profile.switches[SwitchBottomPicture].on = true;
        QImage top(430, 189, QImage::Format_RGB32);
        QImage bottom(430, 430, QImage::Format_RGB32);
        QImage broken;
        RecordingCanvas canvas(SeparatorStyle::Printer);
        const int y = renderReceipt(canvas, profile, 480, sampleOrder(), &top, &bottom);
        const auto pictures = canvas.pictures();
        QCOMPARE(pictures.size(), 2);
        QCOMPARE(pictures.at(0).y, 0);
        QCOMPARE(pictures.at(0).w, 480);
        QCOMPARE(pictures.at(0).h, 210); // 189 × 480 / 430
        QCOMPARE(canvas.ops.at(1).y, 210);
        QCOMPARE(pictures.at(1).w, 480);
        QCOMPARE(pictures.at(1).h, 480);
        QCOMPARE(y, pictures.at(1).y + 480);

        // Switched off, missing or unreadable: no picture and no space.
        profile.switches[SwitchBottomPicture].on = false;
        RecordingCanvas without(SeparatorStyle::Printer);
        const int y2 = renderReceipt(without, profile, 480, sampleOrder(), &broken, &bottom);
        QVERIFY(without.pictures().isEmpty());
        QCOMPARE(without.ops.at(0).y, 0);
        QCOMPARE(y2, y - 210 - 480);
    }

    void printerSeparatorSpansTheWidth()
    {
        RecordingCanvas canvas(SeparatorStyle::Printer);
        int y = 10;
        drawSeparator(canvas, 480, y);
        QCOMPARE(canvas.ops.at(0).x, 1);
        QCOMPARE(canvas.ops.at(0).text.size(), 160);
        QCOMPARE(y, 28);
    }

    void zeroSizedFontsDoNotHang()
    {
        RecordingCanvas canvas;
        const int y = renderReceipt(canvas, plainProfile(0), 194, sampleOrder(), nullptr, nullptr);
        QVERIFY(y > 0);
    }

    void profileParsing()
    {
        TestHome home;
        RecordTable records(*home.store);
        records.write("设置类型", "0");
        records.write("顶部图片勾选", "1");
        records.write("底部图片勾选", "1");
        records.write("附带信息1勾选", "1");
        records.write("附带信息1", "电话");
        records.write("附带信息2勾选", "0");
        records.write("附带信息2", "微信");
        records.write("字体大小", "12|12|12|12|12|12|12|12|12|12|12");
        records.write("勾选加粗", "1|1|1|1|1|1|1|1|1|1|1");

        ReceiptProfile profile = loadReceiptProfile(records);
        QVERIFY(!profile.switches[SwitchTopPicture].on);
        QVERIFY(!profile.switches[SwitchBottomPicture].on);
        QVERIFY(profile.switches[SwitchExtra1].on);
        QCOMPARE(profile.switches[SwitchExtra1].text, QStringLiteral("电话"));
        QVERIFY(!profile.switches[SwitchExtra2].on);
        QCOMPARE(profile.switches[SwitchExtra2].text, QString());
        for (const FontSlot &slot : profile.fonts) {
            QCOMPARE(slot.size, 9);
            QVERIFY(!slot.bold);
        }

        records.write("设置类型", "1");
        records.write("字体大小", "9|x||12|");
        records.write("勾选加粗", "0|2|abc|1|0|0|0|0|0|0|0|1|1");
        profile = loadReceiptProfile(records);
        QVERIFY(profile.switches[SwitchTopPicture].on);
        QVERIFY(profile.switches[SwitchBottomPicture].on);
        const int sizes[] = {9, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0};
        const bool bolds[] = {false, true, false, true, false, false, false, false, false, false, false};
        for (int i = 0; i < ReceiptSlotCount; ++i) {
            QCOMPARE(profile.fonts[i].size, sizes[i]);
            QCOMPARE(profile.fonts[i].bold, bolds[i]);
        }

        // An absent type is the default profile.
        QVERIFY(home.store->execute("delete from 记录 where 记录内容=?", {QStringLiteral("设置类型")}));
        QCOMPARE(loadReceiptProfile(records).fonts[SlotTotal].size, 9);
    }

    void splitting()
    {
        QCOMPARE(splitPieces("", "|"), QStringList());
        QCOMPARE(splitPieces("a||b|", "|"), (QStringList{"a", "", "b"}));
        QCOMPARE(profileParts("1|2", 3), (QStringList{"1", "2", ""}));
    }
};

QTEST_GUILESS_MAIN(TestReceiptLayout)
#include "tst_receiptlayout.moc"
