// The goods catalog window on a large catalog: opening it until its list is painted, the
// list refreshed after a deletion and after an added item (statement included), and the
// letter code following each character typed into the name of the add window.
//
//   QT_QPA_PLATFORM=offscreen bench_catalog DIR [dishes=50000]
//
// DIR is a program folder (created when missing); its catalog is replaced by the
// synthetic one.

#include "benchsupport.h"

#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/prompter.h"
#include "core/schema.h"
#include "masterdata/dishcatalogmodel.h"
#include "masterdata/pinyininitials.h"
#include "masterdata/ui/dishcatalogwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTextStream>

using namespace vorlan;
using namespace vorlan::bench;

namespace {

// Answers every question with Yes and shows nothing.
class SilentPrompter final : public Prompter
{
public:
    void message(QWidget *, PromptIcon, const QString &, const QString &) override {}
    bool ask(QWidget *, PromptIcon, const QString &, const QString &, PromptDefault) override { return true; }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &, InputKind) override
    {
        return std::nullopt;
    }
    QString openFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
};

const QString kHanzi = QStringLiteral("红烧排骨饭茄子豆角西红柿炒蛋金针菇肉片白菜水饺香干毛豆莴笋腊肉芹菜支竹焖鸭火腿双蛋鱼块酸辣土豆丝");

QString dishName(int i)
{
    QString name;
    int n = i;
    for (int k = 0; k < 5; ++k) {
        name.append(kHanzi.at(n % kHanzi.size()));
        n = n / kHanzi.size() + k * 13;
    }
    return name + QString::number(i);
}

bool fillCatalog(DataStore &store, int dishes)
{
    return inTransaction(store, [&] {
        if (!store.execute(QStringLiteral("delete from 菜单")))
            return false;
        for (int i = 0; i < dishes; ++i) {
            const QString name = dishName(i);
            if (!store.execute(QStringLiteral("insert into 菜单 (代码,字母,菜名,价格,单位) values (?,?,?,?,?)"),
                               {QString::number(100000 + i), derivePinyinInitials(name), name, 10 + i % 30 * 0.5,
                                QStringLiteral("份")}))
                return false;
        }
        return true;
    });
}

void painted(DishCatalogWindow &window)
{
    window.list()->viewport()->repaint();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (app.arguments().size() < 2) {
        out << "usage: bench_catalog DIR [dishes=50000]\n";
        return 2;
    }
    const int dishes = app.arguments().size() > 2 ? app.arguments().at(2).toInt() : 50000;

    SilentPrompter prompter;
    AppContext context;
    context.paths.home = app.arguments().at(1);
    context.prompter = &prompter;
    DataStore store;
    const OpenedStore opened =
        openDataStore(store, context.paths.dataDir(), context.paths.databasePath(), context.paths.configPath());
    if (!opened.ok || !fillCatalog(store, dishes)) {
        out << "could not prepare the catalog: " << store.lastError() << "\n";
        return 1;
    }
    context.store = &store;

    // Opening: the window built, its list read and painted.
    Samples opening;
    for (int i = 0; i < 10; ++i) {
        const Stopwatch timer;
        DishCatalogWindow window(context);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        painted(window);
        opening.add(timer.elapsed());
        if (window.model()->size() != dishes)
            out << "listed " << window.model()->size() << " rows\n";
    }
    report(QStringLiteral("catalog window: open, %1 items listed").arg(dishes), opening.median());

    DishCatalogWindow window(context);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    painted(window);

    // A deletion in the middle of the list: statement, row removed, next row selected, painted.
    Samples deleting;
    for (int i = 0; i < 20; ++i) {
        window.selectRow(dishes / 2 - i * 997);
        painted(window);
        const Stopwatch timer;
        window.deleteItem();
        painted(window);
        deleting.add(timer.elapsed());
    }
    report(QStringLiteral("catalog window: delete an item, list refreshed"), deleting.median());

    // Adding through the add window: checks against every row, insert, row appended,
    // selected, scrolled to and painted.
    DishEntryWindow add(window, DishEntryWindow::Mode::Add);
    add.show();
    Samples adding;
    for (int i = 0; i < 20; ++i) {
        add.nameEdit()->setText(QStringLiteral("新菜品%1").arg(i));
        add.codeEdit()->setText(QString::number(900000 + i));
        add.priceEdit()->setText(QStringLiteral("12.5"));
        add.unitCombo()->setCurrentIndex(0);
        const Stopwatch timer;
        add.confirm();
        painted(window);
        adding.add(timer.elapsed());
    }
    report(QStringLiteral("catalog window: add an item, list refreshed"), adding.median());

    // The letter code following each typed character of a 32-character name.
    Samples typing;
    const QString longName = QStringLiteral("酸辣土豆丝红烧排骨饭王老吉330ml香菇猪肉水饺大份加辣加蛋");
    for (int round = 0; round < 10; ++round) {
        add.nameEdit()->clear();
        for (QChar ch : longName) {
            const Stopwatch timer;
            QTest::sendKeyEvent(QTest::Click, add.nameEdit(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
            typing.add(timer.elapsed());
        }
    }
    report(QStringLiteral("catalog window: letter code per typed character"), typing.median());

    return 0;
}
