#include "app/mainwindow.h"
#include "core/datastore.h"
#include "core/dates.h"
#include "core/recordtable.h"
#include "core/reportingprompter.h"
#include "core/todaycounters.h"
#include "receipt/printbackend.h"
#include "programfolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>
#include <QTimeEdit>
#include <QToolBar>

#include <csignal>

using namespace vorlan;

namespace {

// A program folder outside the system temporary folder, so no unpacking warning appears.
using Home = ProgramFolder;

QStringList itemTexts(QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

QStringList actionTexts(const QList<QAction *> &actions)
{
    QStringList texts;
    for (QAction *a : actions)
        texts.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

void insertOrder(DataStore &store, int number, const QString &time, double paid)
{
    QVERIFY(store.execute(QStringLiteral("insert into 存单 (编号, 时间, 实付) values (?,?,?)"), {number, time, paid}));
}

// Runs `work` on the modal dialog that the next call opens.
void onNextDialog(std::function<void(QDialog *)> work)
{
    QTimer::singleShot(0, [work] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        work(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void firstStart()
    {
        Home home;
        MainWindow w(home.context);
        QVERIFY(w.start());
        QVERIFY(home.prompter.shown.isEmpty());
        QCOMPARE(w.windowTitle(), QStringLiteral("Vorlan " VORLAN_VERSION));
        QCOMPARE(w.size(), QSize(791, 723));
        const MainForm &f = w.form();
        QCOMPARE(w.statusSection(0)->text(), QStringLiteral("今日打单数量：0"));
        QCOMPARE(w.statusSection(1)->text(), QStringLiteral("今日收入总额：0"));
        QCOMPARE(f.orderNumber->text(), QStringLiteral("1"));
        QCOMPARE(f.grid->columnCount(), 4);
        QStringList header;
        for (int c = 0; c < 4; ++c)
            header.append(f.grid->horizontalHeaderItem(c)->text());
        QCOMPARE(header, QStringList({"品名", "数量", "单位", "小计"}));
        QCOMPARE(f.grid->columnWidth(0), 115);
        QCOMPARE(itemTexts(f.header), QStringList({"", "饿了么(第1联)", "美团(第1联)", "百度外卖(第1联)", "淘点点",
                                                     "自助快餐", "微信点餐", "欢迎光临"}));
        QCOMPARE(f.header->currentText(), QStringLiteral("微信点餐"));
        QCOMPARE(f.shopName->currentText(), QStringLiteral("白云快餐"));
        QCOMPARE(itemTexts(f.discount).size(), 5);
        QCOMPARE(f.discount->currentIndex(), -1);
        QCOMPARE(f.paymentMethod->count(), 7);
        QCOMPARE(f.paymentMethod->currentIndex(), -1);
        QCOMPARE(w.tableCodes().size(), 18);
        QCOMPARE(w.tableNames().at(11), QStringLiteral("桌号 2楼2桌"));
        QVERIFY(f.tableGroup->isHidden());
        QVERIFY(f.orderId->isHidden());
        QVERIFY(QFile::exists(home.context.paths.databasePath()));
        QCOMPARE(f.orderTime->text().size(), QStringLiteral("08-05 09:07").size());
    }

    void controlsCarryTheirNames()
    {
        Home home;
        MainWindow w(home.context);
        for (const char *name : {"编辑框_编号", "组合框_票头", "组合框_店铺名称", "编辑框_时间", "按钮_时间设置", "分组框6",
                                 "高级表格1", "分组框3", "组合框_减免", "编辑框_减免份数", "编辑框_减免金额", "分组框2",
                                 "编辑框_合计", "组合框_付款方式", "编辑框_已支付", "编辑框_实付", "分组框1",
                                 "编辑框_项目代号", "超级列表框2", "分组框4", "编辑框_时间2", "组合框_桌号", "分组框5",
                                 "编辑框_电话", "编辑框_姓名", "编辑框_地址", "分组框7", "编辑框_备注", "按钮_预览",
                                 "按钮_清空", "按钮_打单结算1", "按钮_打单结算", "透明标签13", "透明标签11", "ID",
                                 "状态条1", "工具条2", "时钟1"})
            QVERIFY2(w.findChild<QObject *>(QString::fromUtf8(name)), name);
        QCOMPARE(actionTexts(w.toolBar()->actions()),
                 QStringList({"历史单据", "收入报表", "销售统计", "-", "顾客管理", "商品管理", "-", "网络订单", "-", "设置菜单", "帮助"}));
        QCOMPARE(actionTexts(w.settingsMenu()->actions()),
                 QStringList({"票头设置", "-", "店名设置", "-", "减免设置", "-", "设置", "-", "打印设置", "-", "恢复备份",
                              "-", "来电显示", "-", "最近来电", "-", "扫码点餐"}));
        QCOMPARE(actionTexts(w.helpMenu()->actions()),
                 QStringList({"QQ反馈问题或建议", "-", "使用教程", "-", "无法打印", "-", "软件更新", "-", "关于"}));
        QCOMPARE(w.findChild<QMenu *>(QStringLiteral("A菜单"))->actions().first()->text(), QStringLiteral("删除行"));
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("按钮_打单结算"))->text(), QStringLiteral("打单结算(F12)"));
    }

    void lastSelectionsAreSavedAndRestored()
    {
        Home home;
        {
            MainWindow w(home.context);
            QVERIFY(w.start());
            const MainForm &f = w.form();
            f.header->setCurrentText(QStringLiteral("美团(第1联)"));
            f.shopName->setCurrentIndex(0);
            f.discount->setCurrentText(QStringLiteral("立减优惠"));
            f.discountPortions->setText(QStringLiteral("2"));
            f.discountAmount->setText(QStringLiteral("5"));
            f.paymentMethod->setCurrentText(QStringLiteral("到付"));
            w.close();
        }
        MainWindow again(home.context);
        QVERIFY(again.start());
        const MainForm &f = again.form();
        QCOMPARE(f.header->currentText(), QStringLiteral("美团(第1联)"));
        // an empty shop name was saved: nothing is selected
        QCOMPARE(f.shopName->currentIndex(), -1);
        QCOMPARE(f.discount->currentText(), QStringLiteral("立减优惠"));
        QCOMPARE(f.discountPortions->text(), QStringLiteral("2"));
        QCOMPARE(f.discountAmount->text(), QStringLiteral("5"));
        QCOMPARE(f.paymentMethod->currentText(), QStringLiteral("到付"));
    }

    void unknownStoredChoiceLeavesTheComboAsItIs()
    {
        Home home;
        {
            MainWindow w(home.context);
            QVERIFY(w.start());
        }
        {
            DataStore s(QStringLiteral("edit"));
            QVERIFY(s.open(home.context.paths.databasePath()));
            RecordTable(s).write(QStringLiteral("付款方式"), QStringLiteral("刷卡"));
            RecordTable(s).write(QStringLiteral("票头"), QStringLiteral("无"));
        }
        MainWindow w(home.context);
        QVERIFY(w.start());
        QCOMPARE(w.form().paymentMethod->currentIndex(), -1);
        QCOMPARE(w.form().header->currentIndex(), -1);
    }

    void secondInstanceIsRefused()
    {
        Home home;
        MainWindow first(home.context);
        QVERIFY(first.start());
        ScriptedPrompter secondPrompter;
        AppContext secondContext = home.context;
        secondContext.prompter = &secondPrompter;
        MainWindow second(secondContext);
        QVERIFY(!second.start());
        QCOMPARE(secondPrompter.shown.size(), 1);
        QCOMPARE(secondPrompter.shown.first().text, QStringLiteral("程序正在运行，无法重复打开！"));
        QCOMPARE(secondPrompter.shown.first().icon, PromptIcon::Warning);
        QCOMPARE(secondPrompter.shown.first().caption, QStringLiteral("信息："));
        QVERIFY(home.prompter.shown.isEmpty());
    }

    void temporaryFolderWarns()
    {
        QTemporaryDir tmp; // inside the system temporary folder
        ScriptedPrompter prompter;
        AppContext context;
        context.paths.home = tmp.path();
        context.prompter = &prompter;
        MainWindow w(context);
        QVERIFY(w.start());
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.first().caption, QStringLiteral("Zemblo"));
        QCOMPARE(prompter.shown.first().icon, PromptIcon::Warning);
        QCOMPARE(prompter.shown.first().text, QStringLiteral("请检查软件是否已经解压到文件夹中。未解压状态将无法存储数据。"));
    }

    void damagedDatabaseEndsWithAMessage()
    {
        Home home;
        QVERIFY(QDir().mkpath(home.context.paths.dataDir()));
        QFile f(home.context.paths.databasePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is not a database, it is a note");
        f.close();
        MainWindow w(home.context);
        QVERIFY(!w.start());
        QCOMPARE(home.prompter.shown.size(), 1);
        QVERIFY(home.prompter.shown.first().text.contains(QDir::toNativeSeparators(home.context.paths.databasePath())));
        QCOMPARE(home.prompter.shown.first().icon, PromptIcon::Warning);
        QFile again(home.context.paths.databasePath());
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), QByteArray("this is not a database, it is a note"));
    }

    void countersAtTheMidnightBoundaries()
    {
        Home home;
        MainWindow w(home.context);
        QVERIFY(w.start());
        DataStore &s = *home.context.store;
        const QDate today(2026, 12, 9);
        insertOrder(s, 7, "2026-12-09 00:00:00", 100); // belongs to the day before
        insertOrder(s, 2, "2026-12-09 00:00:01", 12.5);
        insertOrder(s, 3, "2026-12-09 23:59:00", 23);
        insertOrder(s, 4, "2026-12-10 00:00:00", 10); // last moment of the day counts
        insertOrder(s, 9, "2026-12-10 00:00:01", 1000);
        const DayCounters c = readDayCounters(s, today);
        QCOMPARE(c.orderCount, 3);
        QCOMPARE(c.highestNumber, 4);
        QCOMPARE(c.income, 45.5);

        w.setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(12, 0)); });
        QCOMPARE(w.refreshTodayCounters(), 5);
        QCOMPARE(w.statusSection(0)->text(), QStringLiteral("今日打单数量：3"));
        QCOMPARE(w.statusSection(1)->text(), QStringLiteral("今日收入总额：45.5"));
        // the counters are read through the time index
        QVERIFY(s.scalar("explain query plan select max(编号), count(*), sum(实付) from 存单 where 时间>'a' and 时间<='b'")
                    .isValid());
        s.query("explain query plan select max(编号), count(*), sum(实付) from 存单 where 时间>'a' and 时间<='b'");
        QVERIFY(s.readText(3).contains(QStringLiteral("存单_时间")));
        s.closeQuery();
    }

    void clockRollsOverAtMidnight()
    {
        Home home;
        MainWindow w(home.context);
        QDateTime now(QDate(2026, 12, 9), QTime(23, 59, 59));
        w.setClock([&now] { return now; });
        QVERIFY(w.start());
        insertOrder(*home.context.store, 1, "2026-12-09 20:00:00", 10);
        w.form().orderNumber->setText(QString::number(w.refreshTodayCounters()));
        QCOMPARE(w.form().orderNumber->text(), QStringLiteral("2"));
        w.onClockTick();
        QCOMPARE(w.form().orderTime->text(), QStringLiteral("12-09 23:59"));
        now = QDateTime(QDate(2026, 12, 10), QTime(0, 0, 1));
        w.onClockTick();
        QCOMPARE(w.form().orderNumber->text(), QStringLiteral("1"));
        QCOMPARE(w.statusSection(0)->text(), QStringLiteral("今日打单数量：0"));
        QCOMPARE(w.form().orderTime->text(), QStringLiteral("12-10 00:00"));

        // while an old order is modified, the time field keeps its stored time
        QVERIFY(home.context.store->execute("update 存单 set 时间='2026-08-05 09:07:00'"));
        const int id = home.context.store->scalar("select ID from 存单").toInt();
        QVERIFY(w.orderPanel()->loadOrderForModification(id));
        w.onClockTick();
        QCOMPARE(w.form().orderTime->text(), QStringLiteral("08-05 09:07"));
    }

    // Set to 04:00 past midnight: the small hours still count to the day before, the day's
    // numbers go on, and the new day begins at 04:00; the time field keeps the real time.
    void businessDayStartingAtFour()
    {
        Home home;
        MainWindow w(home.context);
        QDateTime now(QDate(2026, 12, 10), QTime(1, 30));
        w.setClock([&now] { return now; });
        QVERIFY(w.start());
        const auto reset = qScopeGuard([] { setBusinessDayStart(QTime(0, 0)); });
        insertOrder(*home.context.store, 5, "2026-12-09 20:00:00", 10);
        insertOrder(*home.context.store, 1, "2026-12-10 01:00:00", 20);
        QCOMPARE(w.refreshTodayCounters(), 2);

        onNextDialog([](QDialog *dialog) {
            dialog->findChild<QTimeEdit *>(QStringLiteral("营业日开始时间_编辑框"))->setTime(QTime(4, 0));
            dialog->findChild<QPushButton *>(QStringLiteral("确认"))->click();
        });
        w.menuAction(QStringLiteral("设置"))->trigger();
        QCOMPARE(RecordTable(*home.context.store).read(QStringLiteral("营业日开始时间")), QStringLiteral("04:00"));
        QCOMPARE(w.form().orderNumber->text(), QStringLiteral("6"));
        QCOMPARE(w.statusSection(0)->text(), QStringLiteral("今日打单数量：2"));
        QCOMPARE(w.statusSection(1)->text(), QStringLiteral("今日收入总额：30"));
        w.onClockTick();
        QCOMPARE(w.form().orderTime->text(), QStringLiteral("12-10 01:30"));

        now = QDateTime(QDate(2026, 12, 10), QTime(3, 59, 59));
        w.onClockTick();
        QCOMPARE(w.form().orderNumber->text(), QStringLiteral("6"));
        now = QDateTime(QDate(2026, 12, 10), QTime(4, 0, 1));
        w.onClockTick();
        QCOMPARE(w.form().orderNumber->text(), QStringLiteral("1"));
        QCOMPARE(w.statusSection(0)->text(), QStringLiteral("今日打单数量：0"));
        QCOMPARE(w.form().orderTime->text(), QStringLiteral("12-10 04:00"));
    }

    void linksBlink()
    {
        Home home;
        MainWindow w(home.context);
        QVERIFY(w.start());
        const MainForm &f = w.form();
        const QColor first = f.printHelpLink->palette().color(QPalette::WindowText);
        QCOMPARE(first, QColor(255, 255, 0));
        w.onClockTick();
        QCOMPARE(f.printHelpLink->palette().color(QPalette::WindowText), QColor(128, 224, 0));
        QCOMPARE(f.guideLink->palette().color(QPalette::WindowText), QColor(128, 224, 0));
        w.onClockTick();
        QCOMPARE(f.guideLink->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    }

    void terminationSavesTheChoices()
    {
        Home home;
        QProcess vorlan;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), home.dir.filePath(QStringLiteral("tmp")));
        vorlan.setProcessEnvironment(env);
        vorlan.start(QStringLiteral(VORLAN_EXECUTABLE), {QStringLiteral("--home"), home.dir.path()});
        QVERIFY(vorlan.waitForStarted());
        // as soon as the program holds its folder, still starting: the signal waits for the window
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(home.context.paths.lockPath()), 10000);
        ::kill(static_cast<pid_t>(vorlan.processId()), SIGTERM);
        QVERIFY(vorlan.waitForFinished(10000));
        QCOMPARE(vorlan.exitStatus(), QProcess::NormalExit);
        QCOMPARE(vorlan.exitCode(), 0);
        DataStore s(QStringLiteral("after"));
        QVERIFY(s.open(home.context.paths.databasePath()));
        QVERIFY(RecordTable(s).exists(QStringLiteral("付款方式")));
        QVERIFY(!QFile::exists(home.context.paths.lockPath()));
    }

    void preferenceWindowsFromTheMainWindow()
    {
        Home home;
        MainWindow w(home.context);
        QVERIFY(w.start());
        QAction *settings = w.menuAction(QStringLiteral("设置"));
        QVERIFY(settings && settings->isEnabled());
        onNextDialog([](QDialog *dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("设置"));
            dialog->findChild<QLineEdit *>(QStringLiteral("小数位数_编辑框"))->setText("2");
            dialog->findChild<QPushButton *>(QStringLiteral("确认"))->click();
        });
        settings->trigger();
        QCOMPARE(home.context.decimalPlaces, 2);
        QCOMPARE(RecordTable(*home.context.store).read(QStringLiteral("小数位数")), QStringLiteral("2"));

        QPushButton *timeButton = w.form().timeFormatButton;
        QVERIFY(timeButton->isEnabled());
        onNextDialog([](QDialog *dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("选择时间格式"));
            dialog->findChild<QCheckBox *>(QStringLiteral("选择框3"))->click();
            dialog->findChild<QPushButton *>(QStringLiteral("按钮2"))->click();
        });
        timeButton->click();
        QCOMPARE(home.context.timeFormat, 2);
        QCOMPARE(RecordTable(*home.context.store).read(QStringLiteral("时间格式")), QStringLiteral("2"));
        w.onClockTick();
        QVERIFY(w.form().orderTime->text().contains(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$")));
    }

    void unusableSettingsFileIsToldOnce()
    {
        Home home;
        // something that is no file where the settings file goes
        QVERIFY(QDir().mkpath(home.context.paths.configPath()));
        PdfFolderBackend pdf(home.dir.filePath(QStringLiteral("pdf")));
        home.context.printBackend = &pdf;
        MainWindow w(home.context);
        QVERIFY(w.start());
        QCOMPARE(home.prompter.shown.size(), 1);
        QVERIFY(home.prompter.shown.first().text.contains(QStringLiteral("无法读取配置文件")));
        QVERIFY(w.printReceipt(true));
        QVERIFY(w.printReceipt(true));
        QCOMPARE(home.prompter.shown.size(), 1);
        QVERIFY(QFileInfo(home.context.paths.configPath()).isDir());
    }

    void unattendedPrompterNeverWaits()
    {
        // What benchmarks and tools use: the start-up warning inside the system temporary
        // folder is reported, not shown in a box that would wait for a click.
        QTemporaryDir tmp;
        ReportingPrompter prompter;
        AppContext context;
        context.paths.home = tmp.path();
        context.prompter = &prompter;
        MainWindow w(context);
        QVERIFY(w.start());
        QCOMPARE(prompter.reported.size(), 1);
        QVERIFY(prompter.reported.first().contains(QStringLiteral("请检查软件是否已经解压到文件夹中")));
        QVERIFY(!prompter.ask(&w, PromptIcon::Question, QString(), QStringLiteral("是否清空点单数据？"), PromptDefault::No));
        QCOMPARE(prompter.reported.last(), QStringLiteral("[question, default No, answered No] 信息：: 是否清空点单数据？"));
        QVERIFY(!prompter.input(&w, QString(), QString(), QString(), InputKind::Text));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
