// Draws the main window with two orders from the customers' phones waiting, the 网络订单
// window listing them, the 扫码点餐 page, and writes a page of table cards as a PDF.
//
//   grab_weborders OUT_DIR
//
// Messages the program would show are printed instead; nothing waits for a click.

#include "app/mainwindow.h"
#include "app/weborderingbridge.h"
#include "core/datastore.h"
#include "grabsupport.h"
#include "webordering/ui/weborderpage.h"
#include "webordering/ui/weborderswindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace vorlan;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().size() < 2) {
        QTextStream(stderr) << "usage: grab_weborders OUT_DIR\n";
        return 2;
    }
    const QDir out(app.arguments().at(1));
    QTemporaryDir home(out.filePath(QStringLiteral("grab-home-XXXXXX")));

    ReportingPrompter prompter;
    AppContext context;
    context.paths.home = home.path();
    context.prompter = &prompter;
    MainWindow window(context);
    if (!window.start())
        return 1;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    const DishCatalog &c = window.dishCatalog();
    const QDateTime now = QDateTime::currentDateTime();
    QList<WebOrder> waiting = {
        {1, now.addSecs(-300), QStringLiteral("A3"), QString(), QStringLiteral("少辣，不要香菜"),
         {{c.codes[0], c.names[0], c.units[0], c.prices[0].toDouble(), 2}, {c.codes[1], c.names[1], c.units[1], c.prices[1].toDouble(), 1}},
         c.prices[0].toDouble() * 2 + c.prices[1].toDouble(), WebOrderState::Waiting, {}},
        {2, now.addSecs(-40), QString(), QStringLiteral("13812345678"), QString(),
         {{c.codes[4], c.names[4], c.units[4], c.prices[4].toDouble(), 1}}, c.prices[4].toDouble(), WebOrderState::Waiting, {}},
    };
    WebOrderFunctions functions;
    functions.waiting = [&waiting] { return waiting; };
    functions.waitingCount = [&waiting] { return int(waiting.size()); };
    functions.accept = [&waiting](qint64 id) { return waiting.removeIf([id](const WebOrder &o) { return o.id == id; }) == 1; };
    window.webOrders()->setOrderFunctions(functions);
    window.webOrders()->refreshCount();
    window.onClockTick();
    bool ok = saveGrab(&window, out.filePath(QStringLiteral("weborders-main.png")));

    auto list = window.webOrders()->makeWindow();
    list->show();
    ok = QTest::qWaitForWindowExposed(list.get()) && saveGrab(list.get(), out.filePath(QStringLiteral("weborders-window.png"))) && ok;
    list->acceptSelected(); // the first one onto the order panel
    ok = saveGrab(&window, out.filePath(QStringLiteral("weborders-taken.png"))) && ok;

    context.store->execute(QStringLiteral("delete from 桌号"));
    for (int i = 1; i <= 5; ++i)
        context.store->execute(QStringLiteral("insert into 桌号 (代号, 桌号名称) values (?, ?)"),
                               {QStringLiteral("A%1").arg(i), QStringLiteral("大厅%1").arg(i)});
    WebOrderDialog page(context, readTableList(*context.store), WebOrderDialog::Hooks(), &window);
    page.addressEdit()->setText(QStringLiteral("192.168.1.20"));
    page.enabledBox()->setChecked(true);
    page.confirm();
    page.show();
    ok = QTest::qWaitForWindowExposed(&page) && saveGrab(&page, out.filePath(QStringLiteral("weborders-page.png"))) && ok;
    ok = writeTableCardsPdf(out.filePath(QStringLiteral("table-cards.pdf")), page.selectedCards()) && ok;
    return ok ? 0 : 1;
}
