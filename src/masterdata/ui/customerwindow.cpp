#include "customerwindow.h"

#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/prompter.h"
#include "core/ui/pagenavigation.h"
#include "core/ui/named.h"
#include "masterdata/customers.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vorlan {

namespace {

enum Column { IdColumn, PhoneColumn, NameColumn, AddressColumn, ColumnCount };

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = named(new QPushButton(text, parent), name);
    b->setAutoDefault(false);
    return b;
}

constexpr int kAddressLength = 255;

} // namespace

QString &CustomerWindow::searchText()
{
    static QString text;
    return text;
}

CustomerWindow::CustomerWindow(AppContext &context,
                               std::function<void(QWidget *, const QString &)> showCustomerOrders, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_showCustomerOrders(std::move(showCustomerOrders))
{
    setObjectName(QStringLiteral("客户设置"));
    setWindowTitle(QStringLiteral("客户设置"));
    resize(541, 489);

    auto *searchLabel = named(new QLabel(QStringLiteral("查找(输入客户电话或姓名)："), this), QStringLiteral("透明标签7"));
    m_searchBox = named(new QLineEdit(this), QStringLiteral("编辑框2"));
    auto *searchButton = button(QStringLiteral("查找"), QStringLiteral("查找"), this);
    auto *allButton = button(QStringLiteral("浏览所有客户"), QStringLiteral("跳到_2"), this);
    connect(m_searchBox, &QLineEdit::returnPressed, this, &CustomerWindow::search);
    connect(searchButton, &QPushButton::clicked, this, &CustomerWindow::search);
    connect(allButton, &QPushButton::clicked, this, &CustomerWindow::showAll);

    m_list = named(new QTreeWidget(this), QStringLiteral("超级列表框2"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setColumnCount(ColumnCount);
    m_list->setHeaderLabels({QString(), QStringLiteral("电话"), QStringLiteral("姓名"), QStringLiteral("地址")});
    const int widths[ColumnCount] = {0, 160, 80, 270};
    for (int c = 0; c < ColumnCount; ++c)
        m_list->setColumnWidth(c, widths[c]);
    m_list->setColumnHidden(IdColumn, true);
    m_list->header()->setStretchLastSection(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->installEventFilter(this);
    connect(m_list, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { openPopup(m_list->viewport()->mapToGlobal(pos)); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CustomerWindow::modifySelectedCustomer);

    m_popup = named(new QMenu(this), QStringLiteral("菜单"));
    m_popup->addAction(QStringLiteral("修改"), this, &CustomerWindow::modifySelectedCustomer);
    m_popup->addSeparator();
    m_popup->addAction(QStringLiteral("删除"), this, &CustomerWindow::deleteSelectedCustomer);
    m_popup->addSeparator();
    m_popup->addAction(QStringLiteral("查看该客户的所有订单"), this, &CustomerWindow::showSelectedCustomerOrders);

    m_navigation = new PageNavigation(this, [this](int page) { return showCustomerPage(page); }, false, 44);
    auto *deleteButton = button(QStringLiteral("删除"), QStringLiteral("按钮2"), this);
    auto *modifyButton = button(QStringLiteral("修改"), QStringLiteral("按钮3"), this);
    auto *addButton = button(QStringLiteral("添加"), QStringLiteral("按钮1"), this);

    connect(deleteButton, &QPushButton::clicked, this, &CustomerWindow::deleteSelectedCustomer);
    connect(modifyButton, &QPushButton::clicked, this, &CustomerWindow::modifySelectedCustomer);
    connect(addButton, &QPushButton::clicked, this, &CustomerWindow::addCustomer);

    m_statusBar = named(new QStatusBar(this), QStringLiteral("状态条1"));
    m_statusBar->setSizeGripEnabled(false);
    m_countPanel = named(new QLabel(m_statusBar), QStringLiteral("状态条1_0"));
    m_countPanel->setFixedWidth(width() / 2);
    m_statusBar->addWidget(m_countPanel);

    auto *top = new QHBoxLayout;
    top->addWidget(searchLabel);
    top->addWidget(m_searchBox, 1);
    top->addWidget(searchButton);
    top->addWidget(allButton);
    QHBoxLayout *navigation = m_navigation->buildRow(8);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(deleteButton);
    buttons->addWidget(modifyButton);
    buttons->addWidget(addButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(navigation);
    layout->addLayout(buttons);
    layout->addWidget(m_statusBar);

    showCustomerPage(1);
}

int CustomerWindow::currentPage() const { return m_navigation->currentPage(); }

int CustomerWindow::showCustomerPage(int page)
{
    if (!m_context.store)
        return page;
    const CustomerPage result = fetchCustomerPage(*m_context.store, searchText(), page);
    m_countPanel->setText(QStringLiteral("共有客户数据:%1条").arg(result.count));
    if (result.count == 0)
        m_list->clear();
    if (!result.listed)
        return page;
    m_list->clear();
    m_navigation->showPosition(result.page, result.pageCount);
    QList<QTreeWidgetItem *> items;
    for (const CustomerRow &row : result.rows)
        items.append(new QTreeWidgetItem(QStringList{QString::number(row.id), row.phone, row.name, row.address}));
    m_list->addTopLevelItems(items);
    return result.page;
}

void CustomerWindow::search()
{
    const QString text = m_searchBox->text();
    if (text.isEmpty()) {
        m_context.prompter->info(this, QStringLiteral("请输入需要查找的客户电话或姓名。"));
        return;
    }
    searchText() = text;
    showCustomerPage(1);
}

void CustomerWindow::showAll()
{
    m_searchBox->clear();
    searchText().clear();
    showCustomerPage(1);
}

void CustomerWindow::deleteSelectedCustomer()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        m_context.prompter->info(this, QStringLiteral("请选择要删除的项目。"));
        return;
    }
    const QString phone = item->text(PhoneColumn);
    if (!m_context.prompter->ask(this, PromptIcon::Question, QString(),
                                 QStringLiteral("客户电话：%1\r\n客户姓名：%2\r\n客户地址：%3\r\n\r\n是否删除该客户？")
                                     .arg(phone, item->text(NameColumn), item->text(AddressColumn))))
        return;
    if (!vorlan::deleteCustomer(*m_context.store, phone)) {
        m_context.prompter->info(this, QStringLiteral("客户没有删除：\n") + m_context.store->lastError());
        return;
    }
    const int index = m_list->indexOfTopLevelItem(item);
    showCustomerPage(currentPage());
    selectRowNear(m_list, index);
    m_context.prompter->message(this, PromptIcon::None, QString(), QStringLiteral("处理成功。"));
}

void CustomerWindow::addCustomer()
{
    CustomerEditDialog dialog(CustomerEditDialog::Mode::Add, m_context, *this);
    execDialog(dialog);
}

void CustomerWindow::modifySelectedCustomer()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        m_context.prompter->info(this, QStringLiteral("请选择要修改的项目。"));
        return;
    }
    CustomerEditDialog dialog(CustomerEditDialog::Mode::Modify, m_context, *this);
    dialog.setFields(item->text(PhoneColumn), item->text(NameColumn), item->text(AddressColumn));
    execDialog(dialog);
}

void CustomerWindow::showSelectedCustomerOrders()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected() || !m_showCustomerOrders)
        return;
    m_showCustomerOrders(this, item->text(PhoneColumn));
}

void CustomerWindow::openPopup(const QPoint &globalPos)
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (item && item->isSelected())
        m_popup->popup(globalPos);
}

void CustomerWindow::showChangedCustomer(const QString &phone, const QString &name, const QString &address)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (item->text(PhoneColumn) != phone)
            continue;
        item->setText(NameColumn, name);
        item->setText(AddressColumn, address);
        m_list->setCurrentItem(item);
        m_list->scrollToItem(item);
        return;
    }
}

bool CustomerWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        deleteSelectedCustomer();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

CustomerEditDialog::CustomerEditDialog(Mode mode, AppContext &context, CustomerWindow &owner)
    : QDialog(&owner)
    , m_mode(mode)
    , m_context(context)
    , m_owner(owner)
{
    const QString title = mode == Mode::Add ? QStringLiteral("客户添加") : QStringLiteral("客户修改");
    setObjectName(title);
    setWindowTitle(title);
    setFixedSize(380, 251);

    m_phone = named(new QLineEdit(this), QStringLiteral("编辑框3"));
    if (mode == Mode::Add) {
        m_phone->setMaxLength(16);
        m_phone->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_phone));
    } else {
        m_phone->setReadOnly(true);
    }
    m_name = named(new QLineEdit(this), QStringLiteral("编辑框2"));
    m_name->setMaxLength(16);
    m_address = named(new QPlainTextEdit(this), QStringLiteral("编辑框1"));
    m_address->setTabChangesFocus(true);
    connect(m_address, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_address->toPlainText();
        if (text.size() <= kAddressLength)
            return;
        m_address->setPlainText(text.left(kAddressLength));
        m_address->moveCursor(QTextCursor::End);
    });
    auto *confirmButton = button(mode == Mode::Add ? QStringLiteral("添加") : QStringLiteral("修改"),
                                 QStringLiteral("按钮1"), this);
    connect(confirmButton, &QPushButton::clicked, this, &CustomerEditDialog::confirm);

    auto *form = new QFormLayout;
    form->addRow(named(new QLabel(QStringLiteral("客户电话："), this), QStringLiteral("透明标签3")), m_phone);
    form->addRow(named(new QLabel(QStringLiteral("客户姓名："), this), QStringLiteral("透明标签2")), m_name);
    form->addRow(named(new QLabel(QStringLiteral("客户地址："), this), QStringLiteral("透明标签1")), m_address);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(confirmButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void CustomerEditDialog::setFields(const QString &phone, const QString &name, const QString &address)
{
    m_phone->setText(phone);
    m_name->setText(name);
    m_address->setPlainText(address);
    m_name->setFocus();
    m_name->end(false);
}

void CustomerEditDialog::confirm()
{
    const QString address = m_address->toPlainText().trimmed();
    const QString name = m_name->text().trimmed();
    const QString phone = m_phone->text().trimmed();
    if (m_mode == Mode::Add)
        add(phone, name, address);
    else
        modify(phone, name, address);
}

void CustomerEditDialog::add(const QString &phone, const QString &name, const QString &address)
{
    Prompter &prompter = *m_context.prompter;
    if (address.isEmpty()) {
        prompter.info(this, QStringLiteral("地址不能为空，请输地址后重试。"));
        return;
    }
    if (phone.isEmpty()) {
        prompter.info(this, QStringLiteral("电话不能为空，请输入电话后重试。"));
        return;
    }
    if (name.isEmpty()) {
        prompter.info(this, QStringLiteral("姓名不能为空，请输入姓名后重试。"));
        return;
    }
    DataStore &store = *m_context.store;
    if (const auto existing = findCustomer(store, phone)) {
        if (!prompter.ask(this, PromptIcon::Warning, QStringLiteral("提示"),
                          QStringLiteral("客户电话已经存在，不能重复添加。\r\n电话：%1\r\n姓名：%2\r\n地址：%3\r\n"
                                         "是否修改该客户？\r\n\r\n修改请点 是\r\n返回请点 否")
                              .arg(phone, existing->name, existing->address)))
            return;
        if (!updateCustomer(store, phone, name, address)) {
            prompter.info(this, QStringLiteral("客户没有修改：\n") + store.lastError());
            return;
        }
        m_owner.showChangedCustomer(phone, name, address);
        accept();
        prompter.message(&m_owner, PromptIcon::None, QString(), QStringLiteral("修改完成。"));
        return;
    }
    if (!insertCustomer(store, phone, name, address)) {
        prompter.info(this, QStringLiteral("客户没有保存：\n") + store.lastError());
        return;
    }
    m_owner.showCustomerPage(m_owner.currentPage());
    m_phone->clear();
    m_name->clear();
    m_address->clear();
    prompter.message(this, PromptIcon::None, QString(), QStringLiteral("保存完成。"));
}

void CustomerEditDialog::modify(const QString &phone, const QString &name, const QString &address)
{
    Prompter &prompter = *m_context.prompter;
    DataStore &store = *m_context.store;
    if (!findCustomer(store, phone)) {
        prompter.info(this, QStringLiteral("该客户已不存在。"));
        return;
    }
    if (!updateCustomer(store, phone, name, address)) {
        prompter.info(this, QStringLiteral("客户没有修改：\n") + store.lastError());
        return;
    }
    m_owner.showChangedCustomer(phone, name, address);
    accept();
    prompter.message(&m_owner, PromptIcon::None, QString(), QStringLiteral("修改完成。"));
}

} // namespace vorlan
