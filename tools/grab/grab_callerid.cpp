// Draws the main window with an order open and a call on the call bar, the recent calls,
// and the 来电显示 page in the middle of a test against a pseudo-terminal caller-ID box.
//
//   grab_callerid OUT_DIR
//
// Messages the program would show are printed instead; nothing waits for a click.

#include "app/calleridbridge.h"
#include "app/mainwindow.h"
#include "callerid/calleridport.h"
#include "callerid/ui/calleridpage.h"
#include "callerid/ui/recentcallswindow.h"
#include "core/datastore.h"
#include "masterdata/customers.h"
#include "order/ui/orderentry.h"

#include "grabsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace vorlan;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().size() < 2) {
        QTextStream(stderr) << "usage: grab_callerid OUT_DIR\n";
        return 2;
    }
    const QDir out(app.arguments().at(1));
    QTemporaryDir home(out.filePath(QStringLiteral("grab-home-XXXXXX")));

    GrabPrompter prompter;
    prompter.otherInputs = QStringLiteral("2"); // every quantity box
    AppContext context;
    context.paths.home = home.path();
    context.prompter = &prompter;
    MainWindow window(context);
    if (!window.start())
        return 1;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    insertCustomer(*context.store, QStringLiteral("13812345678"), QStringLiteral("张三"), QStringLiteral("幸福路8号"));
    insertCustomer(*context.store, QStringLiteral("13900001111"), QStringLiteral("李四"), QStringLiteral("长江路12号"));
    // 张三 has ordered before.
    for (const char *time : {"2026-12-01 12:05:00", "2026-12-06 18:30:00"}) {
        context.store->execute(QStringLiteral("insert into 存单 (编号, 时间, 电话, 合计) values (1, ?, '13812345678', 31)"),
                               {QString::fromLatin1(time)});
        const QVariant id = context.store->scalar(QStringLiteral("select max(ID) from 存单"));
        context.store->execute(QStringLiteral("insert into 存单详单 (存单ID, 菜名, 数量, 单位, 小计) values (?, '白菜肉水饺', '2', '份', 31)"),
                               {id});
    }
    CallerIdCall call;
    call.received = QDateTime::currentDateTime();

    // A call with nothing on the form: the number goes into the phone box.
    call.number = QStringLiteral("13812345678");
    emit window.callerId()->port()->callArrived(call);
    if (!saveGrab(&window, out.filePath(QStringLiteral("callerid-filled.png"))))
        return 1;

    // An order being taken when the phone rings again.
    auto *code = window.findChild<QLineEdit *>(QStringLiteral("编辑框_项目代号"));
    for (const char *dish : {"005", "101"}) {
        code->setText(QString::fromLatin1(dish));
        window.orderEntry()->chooseDish();
    }
    code->clear();
    call.number = QStringLiteral("13900001111");
    emit window.callerId()->port()->callArrived(call);
    if (!saveGrab(&window, out.filePath(QStringLiteral("callerid-callbar.png"))))
        return 1;

    // A private call, then the list of recent calls.
    call.number.clear();
    call.kind = CallerIdCall::Kind::Private;
    emit window.callerId()->port()->callArrived(call);
    RecentCallsWindow recent(*window.callerId()->log(), context.store, &window);
    recent.show();
    if (!QTest::qWaitForWindowExposed(&recent) || !saveGrab(&recent, out.filePath(QStringLiteral("callerid-recent.png"))))
        return 1;
    recent.close();

    // The page testing a caller-ID box on a pseudo-terminal.
    int master = -1, slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return 1;
    termios tio{};
    ::tcgetattr(slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);
    CallerIdDialog dialog(context, &window);
    dialog.page()->setSettings({QString::fromLocal8Bit(name), CallerIdMode::Plain, 9600});
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return 1;
    dialog.page()->startTest();
    const QByteArray lines = "RING\r\n13812345678\r\n";
    if (::write(master, lines.constData(), lines.size()) != lines.size())
        return 1;
    QTest::qWait(300);
    const bool saved = saveGrab(&dialog, out.filePath(QStringLiteral("callerid-page.png")));
    dialog.page()->stopTest();
    ::close(master);
    ::close(slave);
    return saved ? 0 : 1;
}
