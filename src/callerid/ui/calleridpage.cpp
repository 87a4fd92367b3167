#include "calleridpage.h"

#include "callerid/calleridport.h"
#include "callerid/ui/calltexts.h"
#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/prompter.h"
#include "core/ui/named.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace vorlan {

CallerIdPage::CallerIdPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("来电显示"));
    m_port = named(new QComboBox(this), QStringLiteral("组合框_来电端口"));
    m_port->setEditable(true);
    m_port->setInsertPolicy(QComboBox::NoInsert);
    m_port->lineEdit()->setPlaceholderText(QStringLiteral("不使用来电显示"));
    m_port->setMinimumWidth(260);
    auto *refresh = named(new QPushButton(QStringLiteral("刷新"), this), QStringLiteral("按钮_刷新端口"));
    refresh->setAutoDefault(false);
    connect(refresh, &QPushButton::clicked, this, &CallerIdPage::listPorts);
    auto *portRow = new QHBoxLayout;
    portRow->addWidget(m_port, 1);
    portRow->addWidget(refresh);

    m_mode = named(new QComboBox(this), QStringLiteral("组合框_来电模式"));
    m_mode->addItem(QStringLiteral("调制解调器（AT 命令）"), int(CallerIdMode::Modem));
    m_mode->addItem(QStringLiteral("来电显示盒（每行一个号码）"), int(CallerIdMode::Plain));
    m_baud = named(new QComboBox(this), QStringLiteral("组合框_波特率"));
    for (int rate : callerIdBaudRates())
        m_baud->addItem(QString::number(rate), rate);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setVerticalSpacing(8);
    form->addRow(QStringLiteral("端      口："), portRow);
    form->addRow(QStringLiteral("模      式："), m_mode);
    form->addRow(QStringLiteral("波  特  率："), m_baud);

    m_testButton = named(new QPushButton(QStringLiteral("测试"), this), QStringLiteral("按钮_测试"));
    m_testButton->setAutoDefault(false);
    m_testButton->setMinimumWidth(88);
    connect(m_testButton, &QPushButton::clicked, this, &CallerIdPage::startTest);
    auto *hint = new QLabel(QStringLiteral("测试时打开端口，10 秒内收到的内容列在下面；可在此时拨打店里的电话。"), this);
    hint->setWordWrap(true);
    auto *testRow = new QHBoxLayout;
    testRow->addWidget(m_testButton);
    testRow->addWidget(hint, 1);
    m_log = named(new QPlainTextEdit(this), QStringLiteral("编辑框_测试记录"));
    m_log->setReadOnly(true);
    m_log->setMinimumHeight(150);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(testRow);
    layout->addWidget(m_log, 1);

    m_testTimer = new QTimer(this);
    m_testTimer->setSingleShot(true);
    m_testTimer->setInterval(kTestMs);
    connect(m_testTimer, &QTimer::timeout, this, &CallerIdPage::stopTest);
    listPorts();
}

CallerIdPage::~CallerIdPage() = default;

CallerIdSettings CallerIdPage::settings() const
{
    CallerIdSettings s;
    s.port = m_port->currentText().trimmed();
    s.mode = CallerIdMode(m_mode->currentData().toInt());
    s.baudRate = m_baud->currentData().toInt();
    return s;
}

void CallerIdPage::setSettings(const CallerIdSettings &s)
{
    m_port->setEditText(s.port);
    m_mode->setCurrentIndex(m_mode->findData(int(s.mode)));
    const int baud = m_baud->findData(s.baudRate);
    m_baud->setCurrentIndex(baud >= 0 ? baud : m_baud->findData(9600));
}

void CallerIdPage::listPorts()
{
    const QString current = m_port->currentText();
    m_port->clear();
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        m_port->addItem(info.systemLocation());
        QString about = info.description();
        if (!info.manufacturer().isEmpty())
            about += QStringLiteral(" · ") + info.manufacturer();
        m_port->setItemData(m_port->count() - 1, about, Qt::ToolTipRole);
    }
    m_port->setEditText(current);
}

void CallerIdPage::setTestDuration(int ms) { m_testTimer->setInterval(ms); }

bool CallerIdPage::testRunning() const { return m_test != nullptr; }

QString CallerIdPage::testLog() const { return m_log->toPlainText(); }

void CallerIdPage::log(const QString &line)
{
    m_log->appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss  ")) + line);
}

void CallerIdPage::startTest()
{
    stopTest();
    m_log->clear();
    const CallerIdSettings s = settings();
    if (!s.enabled()) {
        log(QStringLiteral("请先选择或填写端口。"));
        return;
    }
    m_linesSeen = 0;
    m_callsSeen = 0;
    m_test = new CallerIdPort(this);
    m_test->setRetrying(false);
    connect(m_test, &CallerIdPort::opened, this, [this] {
        log(QStringLiteral("端口已打开，等待 %1 秒……").arg(m_testTimer->interval() / 1000));
    });
    connect(m_test, &CallerIdPort::commandSent, this,
            [this](const QByteArray &command) { log(QStringLiteral("发送：") + QString::fromLatin1(command)); });
    connect(m_test, &CallerIdPort::lineArrived, this, [this](const QByteArray &line) {
        ++m_linesSeen;
        log(QStringLiteral("收到：") + QString::fromLatin1(line));
    });
    connect(m_test, &CallerIdPort::modemReady, this, [this](const QString &accepted) {
        if (!accepted.isEmpty())
            log(QStringLiteral("调制解调器接受 %1，来电显示已打开。").arg(accepted));
    });
    connect(m_test, &CallerIdPort::callArrived, this, [this](const CallerIdCall &call) {
        ++m_callsSeen;
        log(QStringLiteral("识别出来电：") + callNumberText(call));
    });
    connect(m_test, &CallerIdPort::problem, this, [this](const QString &text) {
        log(text);
        if (m_test && !m_test->isOpen())
            stopTest();
    });
    m_testButton->setEnabled(false);
    m_testButton->setText(QStringLiteral("测试中…"));
    m_testTimer->start();
    m_test->start(s);
}

void CallerIdPage::stopTest()
{
    m_testTimer->stop();
    if (!m_test)
        return;
    const bool wasOpen = m_test->isOpen();
    m_test->stop();
    m_test->deleteLater();
    m_test = nullptr;
    m_testButton->setEnabled(true);
    m_testButton->setText(QStringLiteral("测试"));
    if (wasOpen)
        log(QStringLiteral("测试结束：收到 %1 行，识别出 %2 个来电。").arg(m_linesSeen).arg(m_callsSeen));
}

CallerIdDialog::CallerIdDialog(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("来电显示设置"));
    setWindowTitle(QStringLiteral("来电显示"));
    m_page = new CallerIdPage(this);
    if (m_context.store)
        m_page->setSettings(readCallerIdSettings(*m_context.store));
    auto *ok = named(new QPushButton(QStringLiteral("确定"), this), QStringLiteral("按钮_确定"));
    auto *cancel = named(new QPushButton(QStringLiteral("取消"), this), QStringLiteral("按钮_取消"));
    for (QPushButton *b : {ok, cancel}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(88);
    }
    connect(ok, &QPushButton::clicked, this, &CallerIdDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_page, 1);
    layout->addLayout(buttons);
    resize(520, 420);
}

void CallerIdDialog::confirm()
{
    m_page->stopTest();
    if (m_context.store && !saveCallerIdSettings(*m_context.store, m_page->settings())) {
        m_context.prompter->info(this, QStringLiteral("设置没有保存：%1").arg(m_context.store->lastError()));
        return;
    }
    accept();
}

void openCallerIdSettings(AppContext &context, CallerIdPort &listening, QWidget *parent)
{
    listening.stop();
    {
        CallerIdDialog dialog(context, parent);
        dialog.exec();
    }
    listening.start(context.store ? readCallerIdSettings(*context.store) : CallerIdSettings());
}

} // namespace vorlan
