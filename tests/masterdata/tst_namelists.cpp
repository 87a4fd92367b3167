#include "core/datastore.h"
#include "masterdata/namelists.h"
#include "masterdata/ui/namelistwindow.h"
#include "scriptedprompter.h"
#include "testhome.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace vorlan;

Q_DECLARE_METATYPE(vorlan::NameListKind)

namespace {

struct Lists {
    TestHome home;
    ScriptedPrompter prompter;
    AppContext context;
    Lists()
    {
        context.paths = home.paths;
        context.store = home.store.get();
        context.prompter = &prompter;
    }
    QStringList stored(NameListKind kind) { return readListNames(*home.store, nameList(kind)); }
};

QStringList itemTexts(QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

void addAllKinds()
{
    QTest::addColumn<NameListKind>("kind");
    QTest::newRow("票头设置") << NameListKind::Headers;
    QTest::newRow("店铺名称设置") << NameListKind::Shops;
    QTest::newRow("优惠减免设置") << NameListKind::Discounts;
    QTest::newRow("计量单位设置") << NameListKind::Units;
}

} // namespace

class TestNameLists : public QObject
{
    Q_OBJECT
private slots:
    void windowsShowTheirList_data() { addAllKinds(); }
    void windowsShowTheirList()
    {
        QFETCH(NameListKind, kind);
        Lists l;
        NameListWindow w(l.context, kind);
        const NameList &list = nameList(kind);
        QCOMPARE(w.objectName(), list.windowName);
        QCOMPARE(w.windowTitle(), list.windowName);
        QCOMPARE(w.size(), QSize(340, 238));
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("按钮1"))->text(), QStringLiteral("保存"));
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("按钮2"))->text(), QStringLiteral("删除"));
        QComboBox *combo = w.findChild<QComboBox *>(QStringLiteral("组合框1"));
        QVERIFY(combo->isEditable());
        QCOMPARE(combo->lineEdit()->maxLength(), list.maxLength);
        // The header, shop and discount lists start with an empty item, the unit list does not.
        QStringList expected = l.stored(kind);
        QVERIFY(!expected.isEmpty());
        if (kind != NameListKind::Units)
            expected.prepend(QString());
        QCOMPARE(itemTexts(combo), expected);
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(combo->currentText(), QString());
    }

    void addingNames_data() { addAllKinds(); }
    void addingNames()
    {
        QFETCH(NameListKind, kind);
        Lists l;
        NameListWindow w(l.context, kind);
        QComboBox *combo = w.comboBox();
        const QStringList before = l.stored(kind);

        w.findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        combo->setEditText(before.at(1));
        w.addName();
        QCOMPARE(l.prompter.texts(), QStringList({"请填入要添加的内容", "该项已存在"}));
        for (const auto &shown : l.prompter.shown) {
            QCOMPARE(shown.caption, QStringLiteral("提示"));
            QCOMPARE(shown.icon, PromptIcon::Information);
        }
        QCOMPARE(l.stored(kind), before);

        // A name of blanks is a name; a quote is stored as typed.
        l.prompter.clear();
        for (const QString &name : {QStringLiteral("  "), QStringLiteral("老王's")}) {
            combo->setEditText(name);
            w.addName();
            QCOMPARE(combo->currentText(), name);
            QCOMPARE(itemTexts(combo).last(), name);
        }
        QCOMPARE(l.prompter.texts(), QStringList({"保存完成", "保存完成"}));
        QCOMPARE(l.stored(kind), before + QStringList({"  ", "老王's"}));
        // Added names count for the next check.
        w.addName();
        QCOMPARE(l.prompter.texts().last(), QStringLiteral("该项已存在"));
    }

    void deletingNames_data() { addAllKinds(); }
    void deletingNames()
    {
        QFETCH(NameListKind, kind);
        Lists l;
        NameListWindow w(l.context, kind);
        QComboBox *combo = w.comboBox();
        QStringList names = l.stored(kind);

        w.deleteName();
        combo->setEditText(QStringLiteral("不在列表里"));
        w.findChild<QPushButton *>(QStringLiteral("按钮2"))->click();
        QCOMPARE(l.prompter.texts(), QStringList({"请填入或选择要删除的内容", "请填入或选择要删除的内容"}));
        QCOMPARE(l.prompter.shown.last().icon, PromptIcon::Information);
        QCOMPARE(combo->currentText(), QStringLiteral("不在列表里"));
        QCOMPARE(l.stored(kind), names);

        l.prompter.clear();
        combo->setCurrentIndex(combo->findText(names.at(1)));
        w.deleteName();
        QCOMPARE(l.prompter.texts(), QStringList{"删除完成"});
        QCOMPARE(combo->currentText(), QString());
        QVERIFY(!itemTexts(combo).contains(names.at(1)));
        names.removeAt(1);
        QCOMPARE(l.stored(kind), names);
    }

    // What is typed is saved or deleted, never a listed name it starts or matches but for case.
    void typedTextIsKept_data()
    {
        QTest::addColumn<NameListKind>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("deleting");
        for (NameListKind kind : {NameListKind::Headers, NameListKind::Shops, NameListKind::Discounts, NameListKind::Units}) {
            const QByteArray name = nameList(kind).windowName.toUtf8();
            QTest::newRow(name + " prefix 保存") << kind << "mei" << false;
            QTest::newRow(name + " prefix 删除") << kind << "meit" << true;
            QTest::newRow(name + " case 保存") << kind << "Meituan" << false;
        }
    }
    void typedTextIsKept()
    {
        QFETCH(NameListKind, kind);
        QFETCH(QString, typed);
        QFETCH(bool, deleting);
        Lists l;
        const NameList &list = nameList(kind);
        QVERIFY(l.home.store->execute(QStringLiteral("insert into %1 (%2) values ('meituan')").arg(list.table, list.column)));
        const QStringList before = l.stored(kind);
        NameListWindow w(l.context, kind);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w)); // typing goes to the focused box
        QTest::keyClicks(w.comboBox()->lineEdit(), typed);
        QTest::keyClick(w.comboBox()->lineEdit(), Qt::Key_Return);
        w.findChild<QPushButton *>(deleting ? QStringLiteral("按钮2") : QStringLiteral("按钮1"))->click();
        QCOMPARE(l.prompter.texts(), QStringList{deleting ? "请填入或选择要删除的内容" : "保存完成"});
        QCOMPARE(l.stored(kind), deleting ? before : before + QStringList{typed});
    }

    // The delete statement removes every row of the name; the list loses them all too.
    void deletingANameStoredTwiceRemovesBoth()
    {
        Lists l;
        QVERIFY(l.home.store->execute(QStringLiteral("insert into 减免 (减免名称) values ('立减优惠')")));
        NameListWindow w(l.context, NameListKind::Discounts);
        QCOMPARE(itemTexts(w.comboBox()).count(QStringLiteral("立减优惠")), 2);
        w.comboBox()->setEditText(QStringLiteral("立减优惠"));
        w.deleteName();
        QVERIFY(!itemTexts(w.comboBox()).contains(QStringLiteral("立减优惠")));
        QVERIFY(!l.stored(NameListKind::Discounts).contains(QStringLiteral("立减优惠")));
    }

    void refusedWritesAreTold()
    {
        Lists l;
        NameListWindow w(l.context, NameListKind::Shops);
        QVERIFY(l.home.store->execute(QStringLiteral("drop table 店名")));
        w.comboBox()->setEditText(QStringLiteral("新店"));
        w.addName();
        QVERIFY(!itemTexts(w.comboBox()).contains(QStringLiteral("新店")));
        w.comboBox()->setEditText(QStringLiteral("白云快餐"));
        w.deleteName();
        QCOMPARE(l.prompter.texts(), QStringList({"保存失败", "删除失败"}));
        QCOMPARE(w.comboBox()->currentText(), QStringLiteral("白云快餐"));
        QVERIFY(itemTexts(w.comboBox()).contains(QStringLiteral("白云快餐")));
    }

    void closingRunsTheCallback()
    {
        Lists l;
        int closed = 0;
        NameListWindow w(l.context, NameListKind::Headers, [&] { ++closed; });
        w.show();
        w.close();
        QCOMPARE(closed, 1);
    }
};

QTEST_MAIN(TestNameLists)
#include "tst_namelists.moc"
