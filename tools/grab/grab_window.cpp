// Draws the main window with an order on it and its docked receipt preview, side by
// side, into a PNG, to look at the window as the operator sees it (and for the README).
//
//   QT_QPA_PLATFORM=offscreen grab_window OUT.png [PROGRAM_FOLDER] [--usual]
//
// Without a program folder a fresh one is made beside OUT.png and removed afterwards.
// --usual stores a few orders of one customer first and types that phone, so that the
// customer's last orders are listed. --income stores a month of orders under several
// headers and draws the income report's view per platform and payment instead;
// --preferences draws the preferences window (设置).
// Messages the program would show are printed instead; nothing waits for a click.

#include "app/mainwindow.h"
#include "grabsupport.h"
#include "core/datastore.h"
#include "order/orderstore.h"
#include "order/ui/orderentry.h"
#include "order/ui/orderpanel.h"
#include "receipt/ui/previewwindow.h"
#include "masterdata/ui/preferencesdialogs.h"
#include "reports/ui/incomereportwindow.h"

#include <QAction>

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace vorlan;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool usual = args.removeAll(QStringLiteral("--usual")) > 0;
    const bool income = args.removeAll(QStringLiteral("--income")) > 0;
    const bool preferences = args.removeAll(QStringLiteral("--preferences")) > 0;
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: grab_window OUT.png [PROGRAM_FOLDER]\n";
        return 2;
    }
    const QString out = args.at(1);
    QTemporaryDir fresh(QFileInfo(out).absolutePath() + QStringLiteral("/grab-home-XXXXXX"));

    GrabPrompter prompter;
    AppContext context;
    context.paths.home = args.size() > 2 ? args.at(2) : fresh.path();
    context.prompter = &prompter;
    MainWindow window(context);
    if (!window.start())
        return 1;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    if (usual) {
        const QList<QList<OrderLine>> orders = {
            {{QStringLiteral("红烧排骨饭"), QStringLiteral("1"), QStringLiteral("份"), QStringLiteral("18")},
             {QStringLiteral("王老吉"), QStringLiteral("2"), QStringLiteral("瓶"), QStringLiteral("7")}},
            {{QStringLiteral("酸菜鱼"), QStringLiteral("1"), QStringLiteral("份"), QStringLiteral("16")},
             {QStringLiteral("白菜肉水饺"), QStringLiteral("2"), QStringLiteral("份"), QStringLiteral("31")},
             {QStringLiteral("香辣小龙虾"), QStringLiteral("1"), QStringLiteral("份"), QStringLiteral("68")}},
            {{QStringLiteral("西红柿炒蛋"), QStringLiteral("1"), QStringLiteral("份"), QStringLiteral("13")}},
        };
        int day = 1;
        for (const QList<OrderLine> &lines : orders) {
            OrderFormTexts texts;
            texts.number = QStringLiteral("1");
            texts.time = QStringLiteral("2026-12-0%1 12:00").arg(day++);
            texts.phone = QStringLiteral("13900001111");
            texts.name = QStringLiteral("李四");
            texts.address = QStringLiteral("幸福路1号");
            texts.lines = lines;
            double total = 0;
            for (const OrderLine &line : lines)
                total += line.amount.toDouble();
            texts.total = texts.paid = texts.actuallyPaid = QString::number(total);
            auto order = collectSettledOrder(texts, 2026);
            if (auto *settled = std::get_if<SettledOrder>(&order); !settled || !insertOrder(*context.store, *settled))
                return 1;
        }
        window.findChild<QLineEdit *>(QStringLiteral("编辑框_电话"))->setText(QStringLiteral("13900001111"));
        // The order with a dish that is no longer sold, put on the window again.
        window.findChild<OrderPanel *>()->repeatUsualOrder(1);
    }

    if (preferences) {
        DecimalPlacesDialog dialog(context, &window);
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            return 1;
        QApplication::processEvents();
        return dialog.grab().save(out) ? 0 : 1;
    }
    if (income) {
        const QStringList headers = {QStringLiteral("美团(第1联)"), QStringLiteral("饿了么"), QStringLiteral("微信点餐"),
                                     QString()};
        const QStringList methods = {QStringLiteral("在线支付"), QStringLiteral("微信支付"), QStringLiteral("现金支付")};
        const QDate today = QDate::currentDate();
        bool stored = true;
        for (int i = 0; i < 60 && stored; ++i)
            stored = context.store->execute(
                QStringLiteral("insert into 存单 (编号, 时间, 票头, 支付方式, 实付) values (?, ?, ?, ?, ?)"),
                {i + 1, QDate(today.year(), today.month(), 1 + i % 9).toString(QStringLiteral("yyyy-MM-dd 12:00:00")),
                 headers.at((i * i + i / 5) % 7 % 4), methods.at(i % 3), 15 + (i * 7) % 40});
        if (!stored)
            return 1;
        IncomeReportWindow report(context, {}, &window);
        report.start();
        report.breakdownAction()->trigger();
        report.show();
        if (!QTest::qWaitForWindowExposed(&report))
            return 1;
        QApplication::processEvents();
        return report.grab().save(out) ? 0 : 1;
    }

    // A typical order: three dishes, paid by WeChat.
    auto *payment = window.findChild<QComboBox *>(QStringLiteral("组合框_付款方式"));
    payment->setCurrentIndex(payment->findText(QStringLiteral("微信支付")));
    auto *code = window.findChild<QLineEdit *>(QStringLiteral("编辑框_项目代号"));
    const std::pair<const char *, const char *> dishes[] = {{"005", "2"}, {"101", "3"}, {"003", "1"}};
    for (const auto &[dish, quantity] : dishes) {
        if (usual)
            break;
        code->setText(QString::fromLatin1(dish));
        prompter.inputs.append(QString::fromLatin1(quantity));
        window.orderEntry()->chooseDish();
    }
    code->setText(QStringLiteral("0"));
    QTest::keyClick(code, Qt::Key_Down);
    window.refreshPreview();
    QApplication::processEvents();

    const QPixmap main = window.grab();
    QWidget *preview = window.previewWindow();
    const QPixmap side = preview && preview->isVisible() ? preview->grab() : QPixmap();
    QPixmap both(main.width() + side.width(), qMax(main.height(), side.height()));
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawPixmap(0, 0, main);
    painter.drawPixmap(main.width(), 0, side);
    painter.end();
    if (!both.save(out)) {
        QTextStream(stderr) << "cannot write " << out << "\n";
        return 1;
    }
    return 0;
}
