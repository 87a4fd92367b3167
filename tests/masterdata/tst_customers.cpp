#include "masterdata/customers.h"
#include "masterdata/ui/customerwindow.h"
#include "scriptedprompter.h"
#include "testhome.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace vorlan;

namespace {

struct Customers {
    TestHome home;
    ScriptedPrompter prompter;
    AppContext context;
    QStringList historyOpenedFor;
    std::unique_ptr<CustomerWindow> window;

    explicit Customers(int count = 0)
    {
        context.paths = home.paths;
        context.store = home.store.get();
        context.prompter = &prompter;
        home.store->transaction();
        for (int i = 0; i < count; ++i)
            home.store->execute(QStringLiteral("insert into 客户 (电话,姓名,地址) values (?,?,?)"),
                                {QStringLiteral("1380000%1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("顾客%1").arg(i),
                                 QStringLiteral("幸福路%1号").arg(i)});
        home.store->commit();
    }
    CustomerWindow &open()
    {
        window = std::make_unique<CustomerWindow>(
            context, [this](QWidget *, const QString &phone) { historyOpenedFor << phone; });
        window->show();
        return *window;
    }
    template<typename W = QLabel>
    W *child(const char *name) { return window->findChild<W *>(QString::fromUtf8(name)); }
    QTreeWidget *list() { return child<QTreeWidget>("超级列表框2"); }
    int rows() { return list()->topLevelItemCount(); }
    QString cell(int row, int column) { return list()->topLevelItem(row)->text(column); }
    void select(int row) { list()->setCurrentItem(list()->topLevelItem(row)); }
    QString page() { return child("透明标签_当前页位置")->text() + child("透明标签_总页数")->text(); }
    QString panel() { return child("状态条1_0")->text(); }
    void search(const QString &text)
    {
        child<QLineEdit>("编辑框2")->setText(text);
        child<QPushButton>("查找")->click();
    }
    int stored(const QString &phone)
    {
        return home.store->scalar(QStringLiteral("select count(*) from 客户 where 电话=?"), {phone}).toInt();
    }
};

// Fills and confirms the add or modify window the customer window opens.
struct Entry {
    QString phone, name, address;
    bool setPhone = true;
    void operator()(QDialog &d) const
    {
        if (setPhone)
            d.findChild<QLineEdit *>(QStringLiteral("编辑框3"))->setText(phone);
        d.findChild<QLineEdit *>(QStringLiteral("编辑框2"))->setText(name);
        d.findChild<QPlainTextEdit *>(QStringLiteral("编辑框1"))->setPlainText(address);
        d.findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
    }
};

} // namespace

class TestCustomers : public QObject
{
    Q_OBJECT
private slots:
    void init() { CustomerWindow::searchText().clear(); }

    void paging()
    {
        Customers c(450);
        CustomerWindow &w = c.open();
        QCOMPARE(w.objectName(), QStringLiteral("客户设置"));
        QCOMPARE(w.size(), QSize(541, 489));
        QCOMPARE(c.child("透明标签7")->text(), QStringLiteral("查找(输入客户电话或姓名)："));
        QCOMPARE(c.child<QPushButton>("跳到_2")->text(), QStringLiteral("浏览所有客户"));
        QCOMPARE(c.panel(), QStringLiteral("共有客户数据:450条"));
        QCOMPARE(c.page(), QStringLiteral("1/3"));
        QCOMPARE(c.cell(0, 1), QStringLiteral("13800000000"));
        QTest::mouseClick(c.child("透明标签4"), Qt::LeftButton);
        QCOMPARE(c.page(), QStringLiteral("3/3"));
        QCOMPARE(c.rows(), 50);
        QCOMPARE(c.cell(49, 2), QStringLiteral("顾客449"));
        QTest::mouseClick(c.child("透明标签3"), Qt::LeftButton);
        QCOMPARE(c.page(), QStringLiteral("3/3"));
        QTest::mouseClick(c.child("透明标签2"), Qt::LeftButton);
        QCOMPARE(c.page(), QStringLiteral("2/3"));
        c.child<QLineEdit>("编辑框1")->setText(QStringLiteral("99"));
        QTest::keyClick(c.child<QLineEdit>("编辑框1"), Qt::Key_Return);
        QCOMPARE(c.page(), QStringLiteral("3/3"));
        QCOMPARE(c.child<QLineEdit>("编辑框1")->text(), QStringLiteral("3"));

        Customers none;
        none.open();
        QCOMPARE(none.panel(), QStringLiteral("共有客户数据:0条"));
        QCOMPARE(none.page(), QStringLiteral("0/0"));
    }

    // A search matches the whole name or the whole phone, holds quotes as typed, and stays
    // in force when the window opens again, until 浏览所有客户.
    void searching()
    {
        Customers c(300);
        c.home.store->execute(QStringLiteral("insert into 客户 (电话,姓名,地址) values ('139','老王''s','x')"));
        c.open();
        c.search(QString());
        QCOMPARE(c.prompter.texts(), QStringList{QStringLiteral("请输入需要查找的客户电话或姓名。")});
        QCOMPARE(c.prompter.shown.last().caption, QStringLiteral("提示"));
        QCOMPARE(c.panel(), QStringLiteral("共有客户数据:301条"));
        c.search(QStringLiteral("13800000123"));
        QCOMPARE(c.panel(), QStringLiteral("共有客户数据:1条"));
        QCOMPARE(c.page(), QStringLiteral("1/1"));
        QCOMPARE(c.cell(0, 2), QStringLiteral("顾客123"));
        c.search(QStringLiteral("老王's"));
        QCOMPARE(c.rows(), 1);
        QCOMPARE(c.cell(0, 1), QStringLiteral("139"));
        c.search(QStringLiteral("顾客"));
        QCOMPARE(c.rows(), 0);

        c.search(QStringLiteral("顾客7"));
        c.window.reset();
        c.open();
        QCOMPARE(c.child<QLineEdit>("编辑框2")->text(), QString());
        QCOMPARE(c.rows(), 1);
        QCOMPARE(c.cell(0, 2), QStringLiteral("顾客7"));
        c.child<QPushButton>("跳到_2")->click();
        QCOMPARE(c.rows(), 200);
        QCOMPARE(CustomerWindow::searchText(), QString());
    }

    void adding()
    {
        Customers c(201);
        CustomerWindow &w = c.open();
        w.execDialog = [&c](QDialog &d) {
            Entry{}(d); // all empty: the address is reported first
            Entry{QStringLiteral("137"), QString(), QStringLiteral(" 北门 ")}(d);
            Entry{QStringLiteral("137"), QStringLiteral(" 小李 "), QStringLiteral(" 北门 ")}(d);
            // The window stays open for the next one, with empty fields.
            if (!d.findChild<QLineEdit *>(QStringLiteral("编辑框3"))->text().isEmpty())
                c.prompter.message(nullptr, PromptIcon::None, {}, QStringLiteral("fields kept"));
            return 0;
        };
        c.child<QPushButton>("按钮1")->click();
        QCOMPARE(c.prompter.texts(), (QStringList{"地址不能为空，请输地址后重试。", "姓名不能为空，请输入姓名后重试。", "保存完成。"}));
        QCOMPARE(c.home.store->scalar(QStringLiteral("select 姓名 || '|' || 地址 from 客户 where 电话='137'")).toString(),
                 QStringLiteral("小李|北门"));
        // Appended to the table: it shows on the last page, not on the page being viewed.
        QCOMPARE(c.panel(), QStringLiteral("共有客户数据:202条"));
        QCOMPARE(c.page(), QStringLiteral("1/2"));
        QCOMPARE(c.cell(199, 1), QStringLiteral("13800000199"));

        // An existing phone: No keeps everything, Yes updates name and address.
        c.prompter.clear();
        c.prompter.answers << false << true;
        w.execDialog = [](QDialog &d) {
            Entry{QStringLiteral("13800000005"), QStringLiteral("新名"), QStringLiteral("新址")}(d);
            Entry{QStringLiteral("13800000005"), QStringLiteral("新名"), QStringLiteral("新址")}(d);
            return 0;
        };
        c.child<QPushButton>("按钮1")->click();
        QCOMPARE(c.prompter.shown.at(0).text,
                 QStringLiteral("客户电话已经存在，不能重复添加。\r\n电话：13800000005\r\n姓名：顾客5\r\n地址：幸福路5号\r\n"
                                "是否修改该客户？\r\n\r\n修改请点 是\r\n返回请点 否"));
        QCOMPARE(c.prompter.shown.at(0).icon, PromptIcon::Warning);
        QCOMPARE(c.prompter.shown.at(0).caption, QStringLiteral("提示"));
        // Enter must not overwrite the stored customer.
        QCOMPARE(c.prompter.shown.at(0).defaultButton, PromptDefault::No);
        QCOMPARE(c.prompter.texts().last(), QStringLiteral("修改完成。"));
        QCOMPARE(c.cell(5, 2), QStringLiteral("新名"));
        QCOMPARE(c.list()->currentItem(), c.list()->topLevelItem(5));
        QCOMPARE(c.stored(QStringLiteral("13800000005")), 1);
    }

    void modifyingAndDeleting()
    {
        Customers c(3);
        CustomerWindow &w = c.open();
        c.child<QPushButton>("按钮3")->click();
        QCOMPARE(c.prompter.texts().last(), QStringLiteral("请选择要修改的项目。"));
        c.select(1);
        QString shownPhone;
        w.execDialog = [&](QDialog &d) {
            auto *phone = d.findChild<QLineEdit *>(QStringLiteral("编辑框3"));
            shownPhone = phone->text();
            if (!phone->isReadOnly() || d.objectName() != QStringLiteral("客户修改"))
                return 0;
            Entry{{}, QString(), QStringLiteral("南门"), false}(d); // the name erased
            return d.result();
        };
        emit c.list()->itemDoubleClicked(c.list()->topLevelItem(1), 1);
        QCOMPARE(shownPhone, QStringLiteral("13800000001"));
        QCOMPARE(c.prompter.texts().last(), QStringLiteral("修改完成。"));
        QCOMPARE(c.home.store->scalar(QStringLiteral("select 姓名 || '|' || 地址 from 客户 where 电话='13800000001'")).toString(),
                 QStringLiteral("|南门"));
        QCOMPARE(c.cell(1, 2), QString());

        // Delete the last row: the new last row is selected; the orders stay.
        c.select(2);
        c.prompter.answers.enqueue(false);
        QTest::keyClick(c.list(), Qt::Key_Delete);
        QCOMPARE(c.prompter.shown.last().text,
                 QStringLiteral("客户电话：13800000002\r\n客户姓名：顾客2\r\n客户地址：幸福路2号\r\n\r\n是否删除该客户？"));
        QCOMPARE(c.stored(QStringLiteral("13800000002")), 1);
        c.prompter.answers.enqueue(true);
        c.child<QPushButton>("按钮2")->click();
        QCOMPARE(c.prompter.texts().last(), QStringLiteral("处理成功。"));
        QCOMPARE(c.stored(QStringLiteral("13800000002")), 0);
        QCOMPARE(c.rows(), 2);
        QCOMPARE(c.list()->currentItem(), c.list()->topLevelItem(1));

        // The popup opens the customer's orders.
        w.openPopup(QPoint(5, 5));
        QVERIFY(w.popupMenu()->isVisible());
        w.popupMenu()->close();
        w.showSelectedCustomerOrders();
        QCOMPARE(c.historyOpenedFor, QStringList{QStringLiteral("13800000001")});
    }
};

QTEST_MAIN(TestCustomers)
#include "tst_customers.moc"
