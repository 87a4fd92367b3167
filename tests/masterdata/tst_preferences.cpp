#include "core/dates.h"
#include "core/recordtable.h"
#include "masterdata/preferences.h"
#include "masterdata/ui/preferencesdialogs.h"
#include "scriptedprompter.h"
#include "testhome.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

using namespace vorlan;

namespace {

struct Prefs {
    TestHome home;
    ScriptedPrompter prompter;
    AppContext context;
    Prefs()
    {
        context.paths = home.paths;
        context.store = home.store.get();
        context.prompter = &prompter;
    }
    QString record(const char *key) { return RecordTable(*home.store).read(QString::fromUtf8(key)); }
};

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT
private slots:
    void decimalPlacesWindow()
    {
        Prefs p;
        p.context.decimalPlaces = 1;
        DecimalPlacesDialog dialog(p.context);
        QCOMPARE(dialog.objectName(), QStringLiteral("设置"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("设置"));
        QCOMPARE(dialog.size(), QSize(340, 238));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("透明标签3"))->text(), QStringLiteral("数量小数位数（0-3）："));
        auto *box = dialog.findChild<QLineEdit *>(QStringLiteral("小数位数_编辑框"));
        auto *confirm = dialog.findChild<QPushButton *>(QStringLiteral("确认"));
        QCOMPARE(confirm->text(), QStringLiteral("确认"));
        QCOMPARE(box->text(), QStringLiteral("1"));
        QCOMPARE(box->selectedText(), QStringLiteral("1"));

        // One digit only: letters, signs and a second digit do not get in.
        box->clear();
        QTest::keyClicks(box, "-a4");
        QCOMPARE(box->text(), QStringLiteral("4"));
        QTest::keyClicks(box, "2");
        QCOMPARE(box->text(), QStringLiteral("4"));

        dialog.show();
        confirm->click();
        QCOMPARE(p.prompter.shown.size(), 1);
        QCOMPARE(p.prompter.shown.first().text, QStringLiteral("数值超出设定，请将小数位数控制在数值 0-3 的范围内。"));
        QCOMPARE(p.prompter.shown.first().caption, QStringLiteral("提示"));
        QCOMPARE(p.prompter.shown.first().icon, PromptIcon::Information);
        QVERIFY(dialog.isVisible());
        QCOMPARE(box->selectedText(), QStringLiteral("4"));
        QCOMPARE(p.context.decimalPlaces, 1);
        QCOMPARE(p.record("小数位数"), QStringLiteral("1"));

        // The business day start: stored with the places, in force at once.
        QCOMPARE(p.record("营业日开始时间"), QStringLiteral("00:00"));
        auto *dayStart = dialog.findChild<QTimeEdit *>(QStringLiteral("营业日开始时间_编辑框"));
        QCOMPARE(dayStart->time(), QTime(0, 0));
        dayStart->setTime(QTime(13, 0)); // afternoons are not mornings of the day after
        QCOMPARE(dayStart->time(), QTime(11, 59));
        dayStart->setTime(QTime(4, 0));
        box->setText("3");
        confirm->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(p.context.decimalPlaces, 3);
        QCOMPARE(p.record("小数位数"), QStringLiteral("3"));
        QCOMPARE(p.record("营业日开始时间"), QStringLiteral("04:00"));
        QCOMPARE(businessDayStart(), QTime(4, 0));
        QCOMPARE(DecimalPlacesDialog(p.context).findChild<QTimeEdit *>(QStringLiteral("营业日开始时间_编辑框"))->time(),
                 QTime(4, 0));
        setBusinessDayStart(QTime(0, 0));
    }

    void emptyDecimalPlacesMeansZero()
    {
        Prefs p;
        p.context.decimalPlaces = 2;
        DecimalPlacesDialog dialog(p.context);
        dialog.findChild<QLineEdit *>(QStringLiteral("小数位数_编辑框"))->clear();
        dialog.confirm();
        QVERIFY(p.prompter.shown.isEmpty());
        QCOMPARE(p.context.decimalPlaces, 0);
        QCOMPARE(RecordTable(*p.home.store).read(QStringLiteral("小数位数"), QStringLiteral("missing")),
                 QStringLiteral("0"));
    }

    void timeFormatWindow()
    {
        Prefs p;
        p.context.timeFormat = 5; // an unknown stored value shows the first form
        TimeFormatDialog dialog(p.context);
        QCOMPARE(dialog.objectName(), QStringLiteral("选择时间格式"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("选择时间格式"));
        QCOMPARE(dialog.size(), QSize(340, 238));
        QCheckBox *boxes[3];
        for (int i = 0; i < 3; ++i)
            boxes[i] = dialog.findChild<QCheckBox *>(QStringLiteral("选择框%1").arg(i + 1));
        QCOMPARE(boxes[0]->text(), QStringLiteral("月-日 时:分(12-30 01:59)"));
        QCOMPARE(boxes[1]->text(), QStringLiteral("年/月/日 时:分(2000/12/30 01:59)"));
        QCOMPARE(boxes[2]->text(), QStringLiteral("年-月-日 时:分(2000-12-30 01:59)"));
        QVERIFY(boxes[0]->isChecked());
        QVERIFY(!boxes[1]->isChecked() && !boxes[2]->isChecked());

        dialog.show();
        boxes[1]->click();
        QVERIFY(boxes[1]->isChecked());
        QVERIFY(!boxes[0]->isChecked() && !boxes[2]->isChecked());
        QCOMPARE(p.context.timeFormat, 1);
        QCOMPARE(p.record("时间格式"), QStringLiteral("1"));

        // The box already checked stays checked and is written again.
        QVERIFY(p.home.store->execute("delete from 记录 where 记录内容 = ?", {QStringLiteral("时间格式")}));
        boxes[1]->click();
        QVERIFY(boxes[1]->isChecked());
        QCOMPARE(p.record("时间格式"), QStringLiteral("1"));

        boxes[2]->click();
        QCOMPARE(p.context.timeFormat, 2);
        QCOMPARE(p.record("时间格式"), QStringLiteral("2"));
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("按钮2"));
        QCOMPARE(ok->text(), QStringLiteral("确定"));
        ok->click();
        QVERIFY(!dialog.isVisible());
    }

    void timeFormatOpensOnTheStoredForm()
    {
        Prefs p;
        p.context.timeFormat = 2;
        TimeFormatDialog dialog(p.context);
        QVERIFY(dialog.findChild<QCheckBox *>(QStringLiteral("选择框3"))->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox *>(QStringLiteral("选择框1"))->isChecked());
    }

    void failedWritesAreToldAndChangeNothing()
    {
        Prefs p;
        p.context.decimalPlaces = 1;
        p.context.timeFormat = 0;
        QVERIFY(p.home.store->execute("create trigger 满 before update on 记录 "
                                      "begin select raise(abort, 'disk full'); end"));
        QVERIFY(p.home.store->execute("create trigger 满2 before insert on 记录 "
                                      "begin select raise(abort, 'disk full'); end"));
        DecimalPlacesDialog places(p.context);
        places.findChild<QLineEdit *>(QStringLiteral("小数位数_编辑框"))->setText("3");
        places.show();
        places.confirm();
        QVERIFY(places.isVisible()); // not closed as if it had worked
        QCOMPARE(p.context.decimalPlaces, 1);
        QCOMPARE(businessDayStart(), QTime(0, 0));
        QCOMPARE(p.prompter.shown.size(), 1);
        QVERIFY(p.prompter.shown.first().text.contains(QStringLiteral("没有保存")));

        TimeFormatDialog format(p.context);
        format.choose(2);
        QCOMPARE(p.context.timeFormat, 0);
        QVERIFY(format.findChild<QCheckBox *>(QStringLiteral("选择框1"))->isChecked());
        QCOMPARE(p.prompter.shown.size(), 2);
    }

    void preferenceRules()
    {
        QCOMPARE(decimalPlacesFromText(QString()), std::optional<int>(0));
        QCOMPARE(decimalPlacesFromText("3"), std::optional<int>(3));
        QVERIFY(!decimalPlacesFromText("4"));
        TestHome home;
        QCOMPARE(readTimeFormat(*home.store), 0);
        QVERIFY(saveTimeFormat(*home.store, 2));
        QCOMPARE(readTimeFormat(*home.store), 2);
        QVERIFY(RecordTable(*home.store).write("时间格式", "7"));
        QCOMPARE(readTimeFormat(*home.store), 0);

        QCOMPARE(readBusinessDayStart(*home.store), QTime(0, 0));
        QVERIFY(saveBusinessDayStart(*home.store, QTime(4, 30)));
        QCOMPARE(RecordTable(*home.store).read("营业日开始时间"), QStringLiteral("04:30"));
        QCOMPARE(readBusinessDayStart(*home.store), QTime(4, 30));
        for (const char *bad : {"", "12:00", "4:60", "24:00", "凌晨四点", "04:00:00"}) {
            QVERIFY(RecordTable(*home.store).write("营业日开始时间", QString::fromUtf8(bad)));
            QVERIFY2(readBusinessDayStart(*home.store) == QTime(0, 0), bad);
        }
        QCOMPARE(parseBusinessDayStart(" 4:05 "), std::optional(QTime(4, 5)));
    }
};

QTEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
