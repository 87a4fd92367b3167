// One keystroke in the dish code box of the real main window: filtering the catalog,
// refilling the list model and the list view laid out and painted, for a small and a
// large catalog. Four dishes in five have a 0 in their code, so typing 0 into the empty
// box lists 1,600 of 2,000 dishes and 40,000 of 50,000.
//
//   QT_QPA_PLATFORM=offscreen bench_dishlist [dishes ...]

#include "app/mainwindow.h"
#include "core/datastore.h"
#include "core/reportingprompter.h"
#include "order/dishlookup.h"
#include "order/ui/orderentry.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <algorithm>

using namespace vorlan;

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

struct Figures {
    double median = 0, worst = 0;
};

Figures summarize(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void run(int dishes, QTextStream &out)
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
            return;
        }
    }
    MainWindow window(context);
    if (!window.start())
        return;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return;
    auto *box = window.findChild<QLineEdit *>(QStringLiteral("编辑框_项目代号"));
    auto *list = window.findChild<QTableView *>(QStringLiteral("超级列表框2"));

    const int rounds = 30;
    std::vector<double> filterOnly, keystroke;
    QElapsedTimer timer;
    qsizetype listed = 0;
    for (int i = 0; i < rounds; ++i) {
        timer.start();
        listed = matchDishes(window.dishCatalog(), QStringLiteral("0")).size();
        filterOnly.push_back(timer.nsecsElapsed() / 1e6);

        box->clear();
        QApplication::processEvents();
        timer.start();
        QTest::keyClick(box, Qt::Key_0);
        list->viewport()->repaint(); // the view laid out and painted with the new rows
        QApplication::processEvents();
        keystroke.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Figures f = summarize(filterOnly);
    const Figures k = summarize(keystroke);
    out << dishes << " dishes, " << listed << " listed: keystroke median " << k.median << " ms, worst "
        << k.worst << " ms (filter alone median " << f.median << " ms)\n";
    out.flush();
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
    for (int dishes : sizes)
        run(dishes, out);
    return 0;
}
