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
#include "core/reportingprompter.h"
#include "masterdata/customers.h"
#include "order/ui/orderentry.h"

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

namespace {

class GrabPrompter final : public Prompter
{
public:
    void message(QWidget *o, PromptIcon i, const QString &c, const QString &t) override { m_report.message(o, i, c, t); }
    bool ask(QWidget *o, PromptIcon i, const QString &c, const QString &t, PromptDefault d) override
    {
        return m_report.ask(o, i, c, t, d);
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &, InputKind) override
    {
        return QStringLiteral("2");
    }
    QString openFile(QWidget *o, const QString &c, const QString &f, const QString &x) override
    {
        return m_report.openFile(o, c, f, x);
    }
    QString saveFile(QWidget *o, const QString &c, const QString &p, const QString &x) override
    {
        return m_report.saveFile(o, c, p, x);
    }

private:
    ReportingPrompter m_report;
};

bool save(QWidget *widget, const QString &path)
{
    QApplication::processEvents();
    if (widget->grab().save(path))
        return true;
    QTextStream(stderr) << "cannot write " << path << "\n";
    return false;
}

} // namespace

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

    // An order being taken when the phone rings.
    auto *code = window.findChild<QLineEdit *>(QStringLiteral("编辑框_项目代号"));
    for (const char *dish : {"005", "101"}) {
        code->setText(QString::fromLatin1(dish));
        window.orderEntry()->chooseDish();
    }
    code->clear();
    window.form().phone->setText(QStringLiteral("13900001111"));
    CallerIdCall call;
    call.number = QStringLiteral("13812345678");
    call.received = QDateTime::currentDateTime();
    emit window.callerId()->port()->callArrived(call);
    if (!save(&window, out.filePath(QStringLiteral("callerid-callbar.png"))))
        return 1;

    // Two more calls, then the list of recent calls.
    for (const char *number : {"02088886666", ""}) {
        call.number = QString::fromLatin1(number);
        call.kind = call.number.isEmpty() ? CallerIdCall::Kind::Private : CallerIdCall::Kind::Number;
        emit window.callerId()->port()->callArrived(call);
    }
    RecentCallsWindow recent(*window.callerId()->log(), context.store, &window);
    recent.show();
    if (!QTest::qWaitForWindowExposed(&recent) || !save(&recent, out.filePath(QStringLiteral("callerid-recent.png"))))
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
    const bool saved = save(&dialog, out.filePath(QStringLiteral("callerid-page.png")));
    dialog.page()->stopTest();
    ::close(master);
    ::close(slave);
    return saved ? 0 : 1;
}
