// Draws the main window with an order on it and its docked receipt preview, side by
// side, into a PNG, to look at the window as the operator sees it (and for the README).
//
//   QT_QPA_PLATFORM=offscreen grab_window OUT.png [PROGRAM_FOLDER]
//
// Without a program folder a fresh one is made beside OUT.png and removed afterwards.
// Messages the program would show are printed instead; nothing waits for a click.

#include "app/mainwindow.h"
#include "core/reportingprompter.h"
#include "order/ui/orderentry.h"
#include "receipt/ui/previewwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace vorlan;

namespace {

// Answers the quantity boxes from a list; everything else is reported, never shown.
class GrabPrompter final : public Prompter
{
public:
    QStringList quantities;

    void message(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text) override
    {
        m_report.message(owner, icon, caption, text);
    }
    bool ask(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text,
             PromptDefault defaultButton) override
    {
        return m_report.ask(owner, icon, caption, text, defaultButton);
    }
    std::optional<QString> input(QWidget *owner, const QString &caption, const QString &prompt,
                                 const QString &initial, InputKind kind) override
    {
        if (!quantities.isEmpty())
            return quantities.takeFirst();
        return m_report.input(owner, caption, prompt, initial, kind);
    }
    QString openFile(QWidget *owner, const QString &caption, const QString &folder, const QString &filter) override
    {
        return m_report.openFile(owner, caption, folder, filter);
    }
    QString saveFile(QWidget *owner, const QString &caption, const QString &path, const QString &filter) override
    {
        return m_report.saveFile(owner, caption, path, filter);
    }

private:
    ReportingPrompter m_report;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
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

    // A typical order: three dishes, paid by WeChat.
    auto *payment = window.findChild<QComboBox *>(QStringLiteral("组合框_付款方式"));
    payment->setCurrentIndex(payment->findText(QStringLiteral("微信支付")));
    auto *code = window.findChild<QLineEdit *>(QStringLiteral("编辑框_项目代号"));
    const std::pair<const char *, const char *> dishes[] = {{"005", "2"}, {"101", "3"}, {"003", "1"}};
    for (const auto &[dish, quantity] : dishes) {
        code->setText(QString::fromLatin1(dish));
        prompter.quantities.append(QString::fromLatin1(quantity));
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
