// One keystroke in the dish code box of the real main window: filtering the catalog,
// refilling the list model and the list view laid out and painted, for a small and a
// large catalog. Four dishes in five have a 0 in their code, so typing 0 into the empty
// box lists 1,600 of 2,000 dishes and 40,000 of 50,000.
//
//   QT_QPA_PLATFORM=offscreen bench_dishlist [dishes ...]
//
// The program folders are made in the current folder and removed afterwards.

#include "benchsupport.h"

#include "app/mainwindow.h"
#include "core/datastore.h"
#include "core/reportingprompter.h"
#include "order/dishlookup.h"
#include "order/ui/orderentry.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace vorlan;
using namespace vorlan::bench;

namespace {

// Digits 1-9 only, so the code holds no 0.
QString withoutZero(int n)
{
    QString text;
    do {
        text.prepend(QChar(u'1' + n % 9));
        n /= 9;
    } while (n > 0);
    return text;
}

QString letters(int n)
{
    QString text;
    for (int i = 0; i < 5; ++i) {
        text.append(QChar(u'a' + n % 26));
        n = n / 26 + i * 7;
    }
    return text;
}

bool fillCatalog(DataStore &store, int dishes)
{
    return inTransaction(store, [&] {
        if (!store.execute(QStringLiteral("delete from 菜单")))
            return false;
        for (int i = 0; i < dishes; ++i) {
            const QString code = i % 5 == 4 ? withoutZero(i) : QStringLiteral("0") + withoutZero(i);
            if (!store.execute(QStringLiteral("insert into 菜单 (代码,字母,菜名,价格,单位) values (?,?,?,?,?)"),
                               {code, letters(i), QStringLiteral("菜品%1").arg(i), 10 + i % 30 * 0.5,
                                QStringLiteral("份")}))
                return false;
        }
        return true;
    });
}

bool run(int dishes, QTextStream &out)
{
    // Outside the system temporary folder, where start-up would warn (the warning is only
    // reported: nothing here waits for a click).
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-dishlist-XXXXXX"));
    ReportingPrompter prompter;
    AppContext context;
    context.paths.home = dir.path();
    context.prompter = &prompter;
    {
        // Seed the program folder through a first start, then put the big catalog in.
        MainWindow seed(context);
        if (!seed.start() || !fillCatalog(*context.store, dishes)) {
            out << "could not prepare " << dishes << " dishes\n";
            return false;
        }
    }
    MainWindow window(context);
    if (!window.start())
        return false;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    auto *box = window.findChild<QLineEdit *>(QStringLiteral("编辑框_项目代号"));
    auto *list = window.findChild<QTableView *>(QStringLiteral("超级列表框2"));

    const int rounds = 30;
    Samples filterOnly, keystroke;
    qsizetype listed = 0;
    for (int i = 0; i < rounds; ++i) {
        const Stopwatch filtering;
        listed = matchDishes(window.dishCatalog(), QStringLiteral("0")).size();
        filterOnly.add(filtering.elapsed());

        box->clear();
        QApplication::processEvents();
        const Stopwatch typing;
        QTest::keyClick(box, Qt::Key_0);
        list->viewport()->repaint(); // the view laid out and painted with the new rows
        QApplication::processEvents();
        keystroke.add(typing.elapsed());
    }
    report(QStringLiteral("dish code filter alone, %1 dishes").arg(dishes), filterOnly.median());
    return report(QStringLiteral("dish code keystroke, %1 dishes (%2 listed)").arg(dishes).arg(listed), keystroke.median(),
                  std::nullopt, Goal::under(16));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QList<int> sizes;
    for (int i = 1; i < app.arguments().size(); ++i)
        sizes.append(app.arguments().at(i).toInt());
    if (sizes.isEmpty())
        sizes = {2000, 50000};
    bool allMet = true;
    for (int dishes : sizes)
        allMet &= run(dishes, out);
    return allMet ? 0 : 3;
}
