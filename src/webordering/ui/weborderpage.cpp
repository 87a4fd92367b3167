#include "weborderpage.h"

#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/prompter.h"
#include "core/ui/named.h"
#include "receipt/printsettings.h"
#include "webordering/qrcode.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vorlan {

namespace {

constexpr int kPictureMaxWidth = 430; // wider pictures slow the receipt printer down

} // namespace

WebOrderDialog::WebOrderDialog(AppContext &context, const TableList &tables, Hooks hooks, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("扫码点餐设置"));
    setWindowTitle(QStringLiteral("扫码点餐"));
    const WebOrderPreferences stored = m_context.store ? readWebOrderPreferences(*m_context.store) : WebOrderPreferences();
    m_storedToken = stored.token;

    m_enabled = named(new QCheckBox(QStringLiteral("启用"), this), QStringLiteral("复选框_启用"));
    m_port = named(new QSpinBox(this), QStringLiteral("编辑框_端口"));
    m_port->setRange(1, 65535);
    m_limit = named(new QSpinBox(this), QStringLiteral("编辑框_每分钟限制"));
    m_limit->setRange(1, 100000);
    m_token = named(new QLineEdit(this), QStringLiteral("编辑框_口令"));
    m_token->setReadOnly(true);
    auto *regenerate = named(new QPushButton(QStringLiteral("重新生成"), this), QStringLiteral("按钮_重新生成"));
    connect(regenerate, &QPushButton::clicked, this, &WebOrderDialog::regenerateToken);
    connect(m_enabled, &QCheckBox::toggled, this, [this](bool on) {
        if (on && m_token->text().isEmpty())
            m_token->setText(newWebOrderToken());
    });
    m_enabled->setChecked(stored.enabled);
    m_port->setValue(stored.port);
    m_limit->setValue(stored.limitPerMinute);
    m_token->setText(stored.token);

    auto *tokenRow = new QHBoxLayout;
    tokenRow->addWidget(m_token, 1);
    tokenRow->addWidget(regenerate);
    auto *serverForm = new QFormLayout;
    serverForm->addRow(m_enabled);
    serverForm->addRow(QStringLiteral("端口："), m_port);
    serverForm->addRow(QStringLiteral("每个地址每分钟最多请求："), m_limit);
    serverForm->addRow(QStringLiteral("口令："), tokenRow);
    auto *serverGroup = new QGroupBox(QStringLiteral("点餐网页"), this);
    serverGroup->setLayout(serverForm);

    m_address = named(new QLineEdit(shopNetworkAddress(), this), QStringLiteral("编辑框_本机地址"));
    m_address->setPlaceholderText(QStringLiteral("本机在店内网络中的地址，如 192.168.1.20"));
    m_tables = named(new QListWidget(this), QStringLiteral("列表_桌号"));
    m_tables->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The first entry is the code for pick-up customers, without a table.
    auto *pickUp = new QListWidgetItem(QStringLiteral("自取（不带桌号）"), m_tables);
    pickUp->setData(Qt::UserRole, QString());
    for (int i = 0; i < tables.codes.size(); ++i) {
        const QString name = i < tables.names.size() ? tables.names.at(i) : QString();
        auto *item = new QListWidgetItem(name.isEmpty() || name == tables.codes.at(i)
                                             ? tables.codes.at(i)
                                             : tables.codes.at(i) + QStringLiteral("  ") + name,
                                         m_tables);
        item->setData(Qt::UserRole, tables.codes.at(i));
    }
    auto *printButton = named(new QPushButton(QStringLiteral("打印桌卡"), this), QStringLiteral("按钮_打印桌卡"));
    auto *pdfButton = named(new QPushButton(QStringLiteral("导出PDF"), this), QStringLiteral("按钮_导出PDF"));
    auto *pictureButton =
        named(new QPushButton(QStringLiteral("设为小票底部图片"), this), QStringLiteral("按钮_设为小票底部图片"));
    connect(printButton, &QPushButton::clicked, this, &WebOrderDialog::printCards);
    connect(pdfButton, &QPushButton::clicked, this, &WebOrderDialog::exportPdf);
    connect(pictureButton, &QPushButton::clicked, this, &WebOrderDialog::useAsBottomPicture);
    auto *cardButtons = new QVBoxLayout;
    for (QPushButton *b : {printButton, pdfButton, pictureButton}) {
        b->setAutoDefault(false);
        cardButtons->addWidget(b);
    }
    cardButtons->addStretch(1);
    auto *cardRow = new QHBoxLayout;
    cardRow->addWidget(m_tables, 1);
    cardRow->addLayout(cardButtons);
    auto *cardLayout = new QVBoxLayout;
    auto *addressRow = new QHBoxLayout;
    addressRow->addWidget(new QLabel(QStringLiteral("本机地址："), this));
    addressRow->addWidget(m_address, 1);
    cardLayout->addLayout(addressRow);
    cardLayout->addLayout(cardRow);
    cardLayout->addWidget(new QLabel(QStringLiteral("不选桌号时打印全部桌卡。"), this));
    auto *cardGroup = new QGroupBox(QStringLiteral("桌卡二维码"), this);
    cardGroup->setLayout(cardLayout);

    auto *ok = named(new QPushButton(QStringLiteral("确定"), this), QStringLiteral("按钮_确定"));
    auto *cancel = named(new QPushButton(QStringLiteral("取消"), this), QStringLiteral("按钮_取消"));
    for (QPushButton *b : {ok, cancel}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(88);
    }
    connect(ok, &QPushButton::clicked, this, [this] {
        if (confirm())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(serverGroup);
    layout->addWidget(cardGroup, 1);
    layout->addLayout(buttons);
    resize(500, 520);
}

WebOrderPreferences WebOrderDialog::settings() const
{
    WebOrderPreferences s;
    s.enabled = m_enabled->isChecked();
    s.port = m_port->value();
    s.limitPerMinute = m_limit->value();
    s.token = m_token->text();
    return s;
}

QString WebOrderDialog::address() const { return m_address->text().trimmed(); }

QList<TableCard> WebOrderDialog::selectedCards() const
{
    QList<QListWidgetItem *> items = m_tables->selectedItems();
    if (items.isEmpty())
        for (int i = 1; i < m_tables->count(); ++i)
            items.append(m_tables->item(i));
    std::sort(items.begin(), items.end(),
              [this](QListWidgetItem *a, QListWidgetItem *b) { return m_tables->row(a) < m_tables->row(b); });
    QList<TableCard> cards;
    for (QListWidgetItem *item : items) {
        const QString code = item->data(Qt::UserRole).toString();
        cards.append({code.isEmpty() ? QStringLiteral("自取") : code,
                      tableCardUrl(address(), m_port->value(), m_token->text(), code)});
    }
    return cards;
}

void WebOrderDialog::regenerateToken()
{
    if (!m_token->text().isEmpty()
        && !m_context.prompter->ask(this, PromptIcon::Question, QStringLiteral("提示"),
                                    QStringLiteral("重新生成口令后，已打印的桌卡和小票上的二维码都将失效，"
                                                   "需要重新打印。\r\n\r\n是否重新生成？"),
                                    PromptDefault::No))
        return;
    m_token->setText(newWebOrderToken());
}

bool WebOrderDialog::cardsReady()
{
    if (m_token->text().isEmpty()) {
        m_context.prompter->info(this, QStringLiteral("请先勾选 启用，生成口令后再制作二维码。"));
        return false;
    }
    if (m_token->text() != m_storedToken) {
        // A code printed with a token that is never stored would not work.
        m_context.prompter->info(this, QStringLiteral("新的口令还没有保存，请先点 确定 保存，再制作二维码。"));
        return false;
    }
    if (address().isEmpty()) {
        m_context.prompter->info(this, QStringLiteral("请填写本机在店内网络中的地址。"));
        m_address->setFocus();
        return false;
    }
    return true;
}

void WebOrderDialog::exportPdf()
{
    if (!cardsReady())
        return;
    const QString path = m_context.prompter->saveFile(this, QStringLiteral("导出桌卡"),
                                                      QDir::homePath() + QStringLiteral("/扫码点餐桌卡.pdf"),
                                                      QStringLiteral("PDF文件 (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!writeTableCardsPdf(path, selectedCards())) {
        m_context.prompter->info(this, QStringLiteral("桌卡没有导出：无法写入 %1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    m_context.prompter->info(this, QStringLiteral("桌卡已导出到 %1").arg(QDir::toNativeSeparators(path)));
}

void WebOrderDialog::printCards()
{
    if (!cardsReady())
        return;
    const auto print = m_hooks.printCards ? m_hooks.printCards
                                          : [this](const QList<TableCard> &cards) { return printTableCardsOnPrinter(cards, this); };
    print(selectedCards());
}

void WebOrderDialog::useAsBottomPicture()
{
    if (!cardsReady() || !m_context.store)
        return;
    QListWidgetItem *item = m_tables->currentItem();
    if (!item || !item->isSelected() || m_tables->selectedItems().size() != 1) {
        m_context.prompter->info(this, QStringLiteral("请选择一个桌号（或 自取）。"));
        return;
    }
    const QString code = item->data(Qt::UserRole).toString();
    const QString url = tableCardUrl(address(), m_port->value(), m_token->text(), code);
    const int modules = qrCodeModules(url).width();
    const QImage picture = qrCodePicture(url, std::max(1, kPictureMaxWidth / (modules + 8)));
    QByteArray png;
    QBuffer buffer(&png);
    if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
        m_context.prompter->info(this, QStringLiteral("二维码没有生成。"));
        return;
    }
    if (QFile::exists(m_context.paths.bottomPicture())
        && !m_context.prompter->ask(this, PromptIcon::Question, QStringLiteral("提示"),
                                    QStringLiteral("是否用“%1”的二维码替换小票底部图片？").arg(item->text()),
                                    PromptDefault::No))
        return;
    PrintSettings print = readPrintSettings(*m_context.store);
    print.pictureOn[1] = true;
    PictureReplacements pictures;
    pictures[1] = png;
    if (const auto failure = savePrintSettings(*m_context.store, m_context.paths, print, pictures)) {
        m_context.prompter->info(this, QStringLiteral("小票底部图片没有更换：%1").arg(*failure));
        return;
    }
    m_hooks.pictureChanged();
    m_context.prompter->info(this, QStringLiteral("已设为小票底部图片，打印小票时印在最后。"));
}

bool WebOrderDialog::confirm()
{
    WebOrderPreferences s = settings();
    if (s.enabled && s.token.isEmpty())
        s.token = newWebOrderToken();
    if (m_context.store && !saveWebOrderPreferences(*m_context.store, s)) {
        m_context.prompter->info(this, QStringLiteral("设置没有保存：%1").arg(m_context.store->lastError()));
        return false;
    }
    m_token->setText(s.token);
    m_storedToken = s.token;
    return true;
}

bool printTableCardsOnPrinter(const QList<TableCard> &cards, QWidget *owner)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("扫码点餐桌卡"));
    QPrintDialog dialog(&printer, owner);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return paintTableCards(printer, cards);
}

} // namespace vorlan
