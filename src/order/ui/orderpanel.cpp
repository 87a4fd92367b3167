#include "orderpanel.h"

#include "core/datastore.h"
#include "core/dates.h"
#include "core/prompter.h"
#include "core/ui/combos.h"
#include "core/ui/named.h"
#include "order/ui/keyboardflow.h"
#include "order/ui/orderactions.h"
#include "order/ui/orderentry.h"
#include "order/ui/refreshingcombobox.h"
#include "order/ui/usualorderlist.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vorlan {

namespace {

QLineEdit *lineEdit(const QString &name, QWidget *parent)
{
    return named(new QLineEdit(parent), name);
}

QComboBox *comboBox(const QString &name, QWidget *parent)
{
    return named(new QComboBox(parent), name);
}

// A combo box whose list is refilled from its table just before it drops down.
QComboBox *refreshingComboBox(const QString &name, QWidget *parent)
{
    return named(new RefreshingComboBox(parent), name);
}

QGroupBox *groupBox(const QString &name, const QString &title, QWidget *parent)
{
    auto *box = named(new QGroupBox(title, parent), name);
    return box;
}

QFormLayout *formLayout(QWidget *parent)
{
    auto *form = new QFormLayout(parent);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setContentsMargins(8, 6, 8, 6);
    form->setVerticalSpacing(5);
    return form;
}

// A cell without a value, or holding the logical value false, reads as empty.
QString cellText(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    if (!item)
        return QString();
    const QVariant value = item->data(Qt::DisplayRole);
    if (value.typeId() == QMetaType::Bool && !value.toBool())
        return QString();
    return value.toString();
}

} // namespace

ReceiptSnapshot receiptSnapshotFromForm(const MainForm &form)
{
    ReceiptSnapshot order;
    order.orderNumber = form.orderNumber->text();
    order.header = form.header->currentText();
    order.shopName = form.shopName->currentText();
    order.paymentMethod = form.paymentMethod->currentText();
    order.orderTime = form.orderTime->text();
    for (int row = 0; row < form.grid->rowCount(); ++row)
        order.lines.append({cellText(form.grid, row, 0), cellText(form.grid, row, 1), cellText(form.grid, row, 2),
                            cellText(form.grid, row, 3)});
    order.discountName = form.discount->currentText();
    order.discountPortions = form.discountPortions->text();
    order.discountAmount = form.discountAmount->text();
    order.total = form.total->text();
    order.paid = form.paid->text();
    order.table = form.table->currentText();
    order.customerName = form.name->text();
    order.phone = form.phone->text();
    order.address = form.address->text();
    order.remark = form.remark->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return order;
}

OrderPanel::OrderPanel(AppContext &context, Hooks hooks, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("OrderPanel"));
    buildForm();
    m_form.window = window();

    auto refresh = [this] {
        if (m_hooks.refreshPreview)
            m_hooks.refreshPreview();
    };
    m_orderEntry = new OrderEntry(m_form, m_context, m_catalog, m_tables.codes, m_tables.names, refresh, this);
    OrderActions::Hooks actionHooks;
    actionHooks.refreshTodayCounters = [this] { return m_hooks.refreshTodayCounters(); };
    actionHooks.printReceipt = [this](bool singleCopy) { return m_hooks.printReceipt(singleCopy); };
    actionHooks.now = [this] { return m_hooks.now(); };
    m_orderActions = new OrderActions(m_form, m_context, *m_orderEntry, std::move(actionHooks), this);
    m_keyboardFlow = new KeyboardFlow(
        m_form, *m_orderActions, [this] { return m_hooks.previewWindow ? m_hooks.previewWindow() : nullptr; }, this);

    // After the customer lookup, which is connected first.
    connect(m_form.phone, &QLineEdit::textChanged, this, &OrderPanel::refreshUsualOrders);
    connect(m_usualOrders, &UsualOrderList::chosen, this, &OrderPanel::repeatUsualOrder);
    for (int n = 1; n <= kUsualOrderCount; ++n) {
        auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n)), m_form.window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, n] {
            if (m_usualOrders->isVisible())
                repeatUsualOrder(n - 1);
        });
    }
}

OrderPanel::~OrderPanel()
{
    // The handlers read members of this panel; an editor still open in the grid commits
    // while the children are destroyed, when those members are already gone.
    delete m_keyboardFlow;
    m_keyboardFlow = nullptr;
    delete m_orderActions;
    m_orderActions = nullptr;
    delete m_orderEntry;
    m_orderEntry = nullptr;
}

void OrderPanel::buildForm()
{
    QWidget *central = this;

    // Left column: order header, lines, discount, payment.
    auto *left = new QVBoxLayout;
    auto *headerForm = new QFormLayout;
    headerForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    headerForm->setVerticalSpacing(5);
    m_form.orderNumber = lineEdit(QStringLiteral("编辑框_编号"), central);
    m_form.header = refreshingComboBox(QStringLiteral("组合框_票头"), central);
    m_form.shopName = refreshingComboBox(QStringLiteral("组合框_店铺名称"), central);
    m_form.orderTime = lineEdit(QStringLiteral("编辑框_时间"), central);
    m_form.timeFormatButton = named(new QPushButton(QStringLiteral("…"), central), QStringLiteral("按钮_时间设置"));
    m_form.timeFormatButton->setFixedWidth(28);
    m_form.timeFormatButton->setToolTip(QStringLiteral("选择时间格式"));
    m_form.timeFormatButton->setEnabled(false);
    auto *timeRow = new QHBoxLayout;
    timeRow->setSpacing(4);
    timeRow->addWidget(m_form.orderTime);
    timeRow->addWidget(m_form.timeFormatButton);
    headerForm->addRow(QStringLiteral("编      号："), m_form.orderNumber);
    headerForm->addRow(QStringLiteral("票      头："), m_form.header);
    headerForm->addRow(QStringLiteral("店铺名称："), m_form.shopName);
    headerForm->addRow(QStringLiteral("下单时间："), timeRow);
    left->addLayout(headerForm);

    m_form.linesGroup = groupBox(QStringLiteral("分组框6"), QStringLiteral("已点商品(F6)"), central);
    auto *linesLayout = new QVBoxLayout(m_form.linesGroup);
    linesLayout->setContentsMargins(6, 6, 6, 6);
    m_form.grid = named(new QTableWidget(1, 4, m_form.linesGroup), QStringLiteral("高级表格1"));
    m_form.grid->verticalHeader()->setVisible(false);
    m_form.grid->verticalHeader()->setDefaultSectionSize(24);
    m_form.grid->setSelectionMode(QAbstractItemView::SingleSelection);
    linesLayout->addWidget(m_form.grid);
    left->addWidget(m_form.linesGroup, 1);

    m_form.discountGroup = groupBox(QStringLiteral("分组框3"), QStringLiteral("折扣信息(F4)"), central);
    auto *discountForm = formLayout(m_form.discountGroup);
    m_form.discount = refreshingComboBox(QStringLiteral("组合框_减免"), m_form.discountGroup);
    m_form.discountPortions = lineEdit(QStringLiteral("编辑框_减免份数"), m_form.discountGroup);
    m_form.discountAmount = lineEdit(QStringLiteral("编辑框_减免金额"), m_form.discountGroup);
    discountForm->addRow(QStringLiteral("减 免(F7)："), m_form.discount);
    discountForm->addRow(QStringLiteral("减免份数："), m_form.discountPortions);
    discountForm->addRow(QStringLiteral("减免金额："), m_form.discountAmount);
    left->addWidget(m_form.discountGroup);

    m_form.paymentGroup = groupBox(QStringLiteral("分组框2"), QStringLiteral("付款信息(F5)"), central);
    auto *paymentForm = formLayout(m_form.paymentGroup);
    m_form.total = lineEdit(QStringLiteral("编辑框_合计"), m_form.paymentGroup);
    m_form.paymentMethod = comboBox(QStringLiteral("组合框_付款方式"), m_form.paymentGroup);
    m_form.paymentMethod->addItems({QStringLiteral("现金支付"), QStringLiteral("微信支付"), QStringLiteral("支付宝支付"),
                                    QStringLiteral("在线支付"), QStringLiteral("到付"), QStringLiteral("混合支付"),
                                    QStringLiteral("预付")});
    m_form.paymentMethod->setCurrentIndex(-1);
    m_form.paid = lineEdit(QStringLiteral("编辑框_已支付"), m_form.paymentGroup);
    m_form.actuallyPaid = lineEdit(QStringLiteral("编辑框_实付"), m_form.paymentGroup);
    paymentForm->addRow(QStringLiteral("合      计："), m_form.total);
    paymentForm->addRow(QStringLiteral("支付方式："), m_form.paymentMethod);
    paymentForm->addRow(QStringLiteral("已      付："), m_form.paid);
    paymentForm->addRow(QStringLiteral("实      付："), m_form.actuallyPaid);
    left->addWidget(m_form.paymentGroup);

    // Right column: dish lookup, delivery, remark.
    auto *right = new QVBoxLayout;
    m_form.dishGroup = groupBox(QStringLiteral("分组框1"), QStringLiteral("点单(F1)"), central);
    m_form.dishGroup->setFixedHeight(328);
    auto *dishLayout = new QVBoxLayout(m_form.dishGroup);
    dishLayout->setContentsMargins(8, 6, 8, 8);
    auto *codeForm = new QFormLayout;
    m_form.dishCode = lineEdit(QStringLiteral("编辑框_项目代号"), m_form.dishGroup);
    codeForm->addRow(QStringLiteral("商品代码："), m_form.dishCode);
    dishLayout->addLayout(codeForm);
    m_form.dishList = named(new QTableView(m_form.dishGroup), QStringLiteral("超级列表框2"));
    m_form.dishList->setFixedHeight(272);
    m_form.dishList->verticalHeader()->setVisible(false);
    m_form.dishList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_form.dishList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_form.dishList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dishLayout->addWidget(m_form.dishList);
    right->addWidget(m_form.dishGroup);

    // Kept for table service; hidden in the takeout layout.
    m_form.tableGroup = groupBox(QStringLiteral("分组框4"), QStringLiteral("桌号/号牌(F2)"), central);
    auto *tableForm = formLayout(m_form.tableGroup);
    m_form.tableCode = lineEdit(QStringLiteral("编辑框_时间2"), m_form.tableGroup);
    m_form.table = refreshingComboBox(QStringLiteral("组合框_桌号"), m_form.tableGroup);
    tableForm->addRow(QStringLiteral("桌号代码："), m_form.tableCode);
    tableForm->addRow(QString(), m_form.table);
    m_form.tableGroup->hide();

    m_form.deliveryGroup = groupBox(QStringLiteral("分组框5"), QStringLiteral("配送信息(F3)"), central);
    auto *deliveryForm = formLayout(m_form.deliveryGroup);
    m_form.phone = lineEdit(QStringLiteral("编辑框_电话"), m_form.deliveryGroup);
    m_form.name = lineEdit(QStringLiteral("编辑框_姓名"), m_form.deliveryGroup);
    m_form.address = lineEdit(QStringLiteral("编辑框_地址"), m_form.deliveryGroup);
    deliveryForm->addRow(QStringLiteral("电      话："), m_form.phone);
    deliveryForm->addRow(QStringLiteral("姓      名："), m_form.name);
    deliveryForm->addRow(QStringLiteral("地      址："), m_form.address);
    m_usualOrders = new UsualOrderList(m_form.deliveryGroup);
    deliveryForm->addRow(reservedSpaceFor(m_usualOrders, m_form.deliveryGroup));
    right->addWidget(m_form.deliveryGroup);

    m_form.remarkGroup = groupBox(QStringLiteral("分组框7"), QStringLiteral("备注信息(F7)"), central);
    auto *remarkForm = formLayout(m_form.remarkGroup);
    m_form.remark = named(new QPlainTextEdit(m_form.remarkGroup), QStringLiteral("编辑框_备注"));
    remarkForm->addRow(QStringLiteral("备      注："), m_form.remark);
    // Three lines at least; the customer's last orders above take the rest.
    m_form.remark->setMinimumHeight(3 * m_form.remark->fontMetrics().lineSpacing() + 2 * m_form.remark->frameWidth()
                                    + 8);
    right->addWidget(m_form.remarkGroup, 1);

    auto *columns = new QHBoxLayout;
    columns->setSpacing(10);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    // Bottom: buttons and the two help links.
    auto *bottom = new QHBoxLayout;
    m_form.guideLink = named(new QLabel(QStringLiteral("查看使用教程"), central), QStringLiteral("透明标签13"));
    m_form.printHelpLink = named(new QLabel(QStringLiteral("无法打印怎么办？"), central), QStringLiteral("透明标签11"));
    for (QLabel *link : {m_form.guideLink, m_form.printHelpLink}) {
        link->setCursor(Qt::PointingHandCursor);
        link->setContentsMargins(8, 3, 8, 3);
    }
    m_form.previewButton = named(new QPushButton(QStringLiteral("预览"), central), QStringLiteral("按钮_预览"));
    m_form.clearButton = named(new QPushButton(QStringLiteral("清空(F10)"), central), QStringLiteral("按钮_清空"));
    m_form.printOnlyButton = named(new QPushButton(QStringLiteral("打单(F11)"), central), QStringLiteral("按钮_打单结算1"));
    m_form.settleButton = named(new QPushButton(QStringLiteral("打单结算(F12)"), central), QStringLiteral("按钮_打单结算"));
    m_form.settleButton->setDefault(false);
    m_form.settleButton->setAutoDefault(false);
    m_form.orderId = lineEdit(QStringLiteral("ID"), central);
    m_form.orderId->hide();
    bottom->addWidget(m_form.guideLink);
    bottom->addWidget(m_form.printHelpLink);
    bottom->addStretch(1);
    for (QPushButton *b : {m_form.previewButton, m_form.clearButton, m_form.printOnlyButton, m_form.settleButton}) {
        b->setMinimumHeight(34);
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    m_form.settleButton->setMinimumWidth(120);

    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(10, 6, 10, 6);
    outer->addLayout(columns, 1);
    outer->addLayout(bottom);

    m_form.grid->setColumnWidth(0, 115);
    m_form.grid->setColumnWidth(1, 70);
    m_form.grid->setColumnWidth(2, 56);
    m_form.grid->horizontalHeader()->setStretchLastSection(true);
    m_form.grid->setHorizontalHeaderLabels(
        {QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("单位"), QStringLiteral("小计")});
}

void OrderPanel::start()
{
    m_orderEntry->refreshHeaderList();
    m_orderEntry->refreshShopList();
    m_orderEntry->refreshDiscountList();
    loadTableList();
    restoreLastSelections();
    m_form.orderNumber->setText(QString::number(m_hooks.refreshTodayCounters()));
    loadDishCatalog();
    m_form.orderTime->setText(formatOrderTime(m_hooks.now(), m_context.timeFormat));
}

bool OrderPanel::loadOrderForModification(int id) { return m_orderActions->loadOrderForModification(id); }

bool OrderPanel::holdsUnfinishedOrder() const { return m_orderActions->holdsUnfinishedOrder(); }

bool OrderPanel::isModifying() const { return m_orderActions->isModifying(); }

void OrderPanel::loadDishCatalog()
{
    if (m_context.store)
        m_catalog = readDishCatalog(*m_context.store);
    // The listed dishes are catalog positions; list them again from the new catalog.
    m_orderEntry->filterDishList();
}

void OrderPanel::loadTableList()
{
    // The order entry reads these lists in place.
    if (m_context.store) {
        const TableList tables = readTableList(*m_context.store);
        m_tables.codes = tables.codes;
        m_tables.names = tables.names;
    }
}

void OrderPanel::refillNameLists()
{
    m_orderEntry->refreshHeaderList();
    m_orderEntry->refreshShopList();
    m_orderEntry->refreshDiscountList();
    m_orderEntry->refreshTableList();
}

ReceiptSnapshot OrderPanel::receiptSnapshot() const { return receiptSnapshotFromForm(m_form); }

void OrderPanel::restoreLastSelections()
{
    if (!m_context.store)
        return;
    const LastSelections s = readLastSelections(*m_context.store);
    selectComboByText(m_form.header, s.header);
    selectComboByText(m_form.shopName, s.shopName);
    selectComboByText(m_form.discount, s.discount);
    m_form.discountPortions->setText(s.discountPortions);
    m_form.discountAmount->setText(s.discountAmount);
    selectComboByText(m_form.paymentMethod, s.paymentMethod);
}

bool OrderPanel::saveLastSelections()
{
    if (!m_context.store)
        return false;
    const LastSelections s{m_form.header->currentText(),      m_form.shopName->currentText(),
                           m_form.discount->currentText(),    m_form.discountPortions->text(),
                           m_form.discountAmount->text(),     m_form.paymentMethod->currentText()};
    if (vorlan::saveLastSelections(*m_context.store, s))
        return true;
    m_context.prompter->info(m_form.window, QStringLiteral("上次的选择（票头、店铺名称、减免、付款方式）没有保存：%1")
                                                .arg(m_context.store->lastError()));
    return false;
}

void OrderPanel::showTime(const QDateTime &now)
{
    if (!isModifying())
        m_form.orderTime->setText(formatOrderTime(now, m_context.timeFormat));
}

void OrderPanel::refreshUsualOrders()
{
    if (!m_context.store) {
        m_usualOrders->showOrders({}, 0);
        return;
    }
    m_usualOrders->showOrders(readUsualOrders(*m_context.store, m_form.phone->text()), m_hooks.now().date().year());
}

bool OrderPanel::repeatUsualOrder(int index)
{
    const QList<UsualOrder> &orders = m_usualOrders->orders();
    if (index < 0 || index >= orders.size())
        return false;
    const UsualOrder order = orders.at(index);
    if (m_orderEntry->hasLines()
        && !m_context.prompter->ask(m_form.window, PromptIcon::Question, QStringLiteral("提示"),
                                    QStringLiteral("是否清除主界面上已点的商品？\r\n\r\n点 是 换成所选的常点订单，"
                                                   "按今天的价格。\r\n点 否 保留已点的商品。"),
                                    PromptDefault::No)) // a stray Ctrl+digit and Enter keep the order
        return false;
    const QList<RepeatedLine> lines = vorlan::repeatUsualOrder(order, m_catalog, m_context.decimalPlaces);
    QList<OrderLine> texts;
    for (const RepeatedLine &line : lines)
        texts.append(line.line);
    m_orderEntry->setLines(texts);
    for (int row = 0; row < lines.size(); ++row)
        if (lines.at(row).missing)
            m_orderEntry->markLineOutOfCatalog(row);
    m_orderEntry->recomputeTotals(OrderEntry::TotalsReason::LineChanged);
    if (m_hooks.refreshPreview)
        m_hooks.refreshPreview();
    m_form.dishCode->setFocus();
    return true;
}

void OrderPanel::startNewDay() { m_form.orderNumber->setText(QString::number(m_hooks.refreshTodayCounters())); }

} // namespace vorlan
