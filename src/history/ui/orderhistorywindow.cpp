#include "orderhistorywindow.h"

#include "historypickers.h"

#include "core/appcontext.h"
#include "core/ui/pagenavigation.h"
#include "core/ui/named.h"
#include "core/ui/workprogress.h"
#include "core/datastore.h"
#include "core/prompter.h"
#include "history/csvexport.h"
#include "history/orderhistory.h"
#include "history/ordersummary.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vorlan {

namespace {

enum Column { IdColumn, NumberColumn, DateColumn, TotalColumn, PaidColumn, TableColumn, PhoneColumn, NameColumn,
              AddressColumn, ColumnCount };

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = named(new QPushButton(text, parent), name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

bool OrderHistoryWindow::prepareSummary(AppContext &context, QWidget *parent)
{
    // A server has no summary table: the history counts from the order table.
    if (!context.store || !sqldialect::isFile(context.store->engine()) || orderSummaryInPlace(*context.store))
        return true;
    WorkProgress progress(parent, QStringLiteral("正在整理历史订单，第一次打开需要一些时间…"), QStringLiteral("汇总进度"));
    QString error;
    const SummaryBuild built = buildOrderSummary(*context.store, std::ref(progress), &error);
    progress.dialog()->close();
    if (built == SummaryBuild::Failed)
        context.prompter->info(parent, QStringLiteral("订单汇总无法建立，历史订单将直接从订单表统计，速度较慢：\n") + error);
    return built != SummaryBuild::Cancelled;
}

OrderHistoryWindow::OrderHistoryWindow(AppContext &context, OrderWindowHooks hooks,
                                       std::optional<QString> customerPhone, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("历史订单"));
    setWindowTitle(QStringLiteral("历史订单"));
    resize(814, 512);

    m_menuBar = new QMenuBar(this);
    m_filterMenu = named(m_menuBar->addMenu(QStringLiteral("查询条件")), QStringLiteral("查询条件"));
    m_filterMenu->addAction(QStringLiteral("所有数据"), this, [this] { setFilter(HistoryFilter::all()); });
    m_filterMenu->addSeparator();
    m_filterMenu->addAction(QStringLiteral("指定时间"), this, &OrderHistoryWindow::chooseDay);
    m_filterMenu->addSeparator();
    m_filterMenu->addAction(QStringLiteral("指定时间段"), this, &OrderHistoryWindow::choosePeriod);
    m_filterMenu->addSeparator();
    m_filterMenu->addAction(QStringLiteral("指定客户"), this, &OrderHistoryWindow::chooseCustomer);
    m_filterMenu->addSeparator();
    m_filterMenu->addAction(QStringLiteral("外卖订单"), this, [this] { setFilter(HistoryFilter::takeout()); });

    m_popup = named(new QMenu(this), QStringLiteral("菜单"));
    m_popup->addAction(QStringLiteral("修改"), this, &OrderHistoryWindow::reopenSelectedOrder);
    m_popup->addSeparator();
    m_popup->addAction(QStringLiteral("删除"), this, &OrderHistoryWindow::deleteSelectedOrder);
    m_popup->addSeparator();
    m_popupCustomer = m_popup->addAction(QStringLiteral("查看该客户的所有订单"), this,
                                         &OrderHistoryWindow::showSelectedCustomerOrders);

    m_description = named(new QLabel(QStringLiteral("正在浏览全部数据"), this), QStringLiteral("透明标签7"));
    m_allButton = button(QStringLiteral("浏览所有单据"), QStringLiteral("所有数据按钮"), this);
    connect(m_allButton, &QPushButton::clicked, this, [this] { setFilter(HistoryFilter::all()); });

    m_list = named(new QTreeWidget(this), QStringLiteral("超级列表框2"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setColumnCount(ColumnCount);
    m_list->setHeaderLabels({QStringLiteral("ID"), QStringLiteral("编号"), QStringLiteral("时间"), QStringLiteral("合计"),
                             QStringLiteral("实付"), QString(), QStringLiteral("电话"), QStringLiteral("姓名"),
                             QStringLiteral("地址")});
    const int widths[ColumnCount] = {0, 50, 160, 50, 50, 0, 100, 70, 250};
    for (int c = 0; c < ColumnCount; ++c)
        m_list->setColumnWidth(c, widths[c]);
    m_list->setColumnHidden(IdColumn, true);
    m_list->setColumnHidden(TableColumn, true);
    m_list->header()->setStretchLastSection(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->installEventFilter(this);
    connect(m_list, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { openPopup(m_list->viewport()->mapToGlobal(pos)); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &OrderHistoryWindow::reopenSelectedOrder);

    m_navigation = new PageNavigation(this, [this](int page) { return showHistoryPage(page); }, true, 50);
    auto *deleteButton = button(QStringLiteral("删除"), QStringLiteral("按钮2"), this);
    auto *modifyButton = button(QStringLiteral("修改"), QStringLiteral("按钮3"), this);
    auto *exportButton = button(QStringLiteral("导出"), QStringLiteral("按钮1"), this);

    connect(deleteButton, &QPushButton::clicked, this, &OrderHistoryWindow::deleteSelectedOrder);
    connect(modifyButton, &QPushButton::clicked, this, &OrderHistoryWindow::reopenSelectedOrder);
    connect(exportButton, &QPushButton::clicked, this, &OrderHistoryWindow::exportHistoryCsv);

    m_statusBar = named(new QStatusBar(this), QStringLiteral("状态条1"));
    m_statusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = named(new QLabel(m_statusBar), QStringLiteral("状态条1_%1").arg(i));
        m_statusBar->addWidget(m_panels[i], 1); // a third of the width each
    }

    auto *top = new QHBoxLayout;
    top->addWidget(m_description, 1);
    top->addWidget(m_allButton);
    QHBoxLayout *navigation = m_navigation->buildRow(4);
    navigation->addWidget(deleteButton);
    navigation->addWidget(modifyButton);
    navigation->addWidget(exportButton);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(m_menuBar);
    layout->setContentsMargins(6, 4, 6, 0);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(navigation);
    layout->addWidget(m_statusBar);

    // Without a summary now, prepareSummary has told why; pages then count from 存单.
    m_summaryLossTold = !m_context.store || !orderSummaryInPlace(*m_context.store);

    if (customerPhone) {
        m_filterMenu->menuAction()->setEnabled(false);
        m_allButton->setEnabled(false);
        if (!customerPhone->isEmpty()) {
            m_filter = HistoryFilter::byPhone(*customerPhone);
            m_description->setText(m_filter.description());
            setWindowTitle(*customerPhone + QStringLiteral(" 的历史订单"));
        }
    }
    showHistoryPage(1);
}

int OrderHistoryWindow::currentPage() const { return m_navigation->currentPage(); }

QString OrderHistoryWindow::statusText(int panel) const { return m_panels[panel]->text(); }

int OrderHistoryWindow::showHistoryPage(int page)
{
    if (m_filter.isEmpty())
        m_description->setText(m_filter.description());
    if (!m_context.store)
        return page;
    const HistoryPage result = fetchHistoryPage(*m_context.store, m_filter, page);
    if (!result.summarised && m_filter.kind != HistoryFilter::Kind::Phone && !m_summaryLossTold) {
        m_summaryLossTold = true;
        m_context.prompter->info(this, QStringLiteral("订单汇总已不可用，历史订单改为直接从订单表统计，速度较慢。"));
    }
    m_count = result.count;
    m_panels[1]->setText(QStringLiteral("合计总额:%1").arg(truncatedTotal(result.totalSum)));
    m_panels[2]->setText(QStringLiteral("实付总额:%1").arg(truncatedTotal(result.paidSum)));
    m_panels[0]->setText(QStringLiteral("共有数据:%1条").arg(result.count));
    if (result.count == 0)
        m_list->clear();
    if (!result.listed)
        return page;

    m_list->clear();
    m_navigation->showPosition(result.page, result.pageCount);
    QList<QTreeWidgetItem *> items;
    items.reserve(result.rows.size());
    for (const HistoryRow &row : result.rows) {
        items.append(new QTreeWidgetItem(QStringList{QString::number(row.id), row.number, row.date, row.total, row.paid,
                                                     row.table, row.phone, row.name, row.address}));
    }
    m_list->addTopLevelItems(items);
    return result.page;
}

void OrderHistoryWindow::setFilter(const HistoryFilter &filter)
{
    m_filter = filter;
    m_description->setText(filter.description());
    showHistoryPage(1);
}

void OrderHistoryWindow::chooseCustomer()
{
    const auto phone = m_context.prompter->input(this, QStringLiteral("浏览客户数据"),
                                                 QStringLiteral("请输入客户电话：按 Esc键 取消查询。"), QString(),
                                                 InputKind::Text);
    if (!phone || phone->isEmpty())
        return;
    setFilter(HistoryFilter::byPhone(*phone));
}

void OrderHistoryWindow::chooseDay()
{
    DayPickerDialog picker(this);
    if (execPicker(picker) == QDialog::Accepted)
        setFilter(HistoryFilter::day(picker.day()));
}

void OrderHistoryWindow::choosePeriod()
{
    PeriodPickerDialog picker(*m_context.prompter, this);
    if (execPicker(picker) == QDialog::Accepted)
        setFilter(HistoryFilter::period(picker.first(), picker.last()));
}

void OrderHistoryWindow::showSelectedCustomerOrders()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected() || item->text(PhoneColumn).isEmpty())
        return;
    setFilter(HistoryFilter::byPhone(item->text(PhoneColumn)));
}

void OrderHistoryWindow::openPopup(const QPoint &globalPos)
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    m_popupCustomer->setEnabled(!item->text(PhoneColumn).isEmpty()
                                && !m_description->text().contains(QStringLiteral("正在浏览客户")));
    m_popup->popup(globalPos);
}

void OrderHistoryWindow::deleteSelectedOrder()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        m_context.prompter->info(this, QStringLiteral("请选择要删除的项目。"));
        return;
    }
    const qint64 id = item->text(IdColumn).toLongLong();
    if (!m_context.prompter->ask(this, PromptIcon::Question, QString(),
                                 QStringLiteral("订单编号：%1\r\n订单时间：%2\r\n\r\n是否删除该订单？")
                                     .arg(item->text(NumberColumn), item->text(DateColumn)),
                                 PromptDefault::Yes))
        return;
    QString error;
    if (!deleteOrder(*m_context.store, id, &error)) {
        m_context.prompter->info(this, QStringLiteral("订单没有删除：\n") + error);
        return;
    }
    const int index = m_list->indexOfTopLevelItem(item);
    showHistoryPage(currentPage());
    selectRowNear(m_list, index);
    m_context.prompter->message(this, PromptIcon::None, QString(), QStringLiteral("处理成功。"));
}

void OrderHistoryWindow::reopenSelectedOrder()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        m_context.prompter->info(this, QStringLiteral("请选择要修改的项目。"));
        return;
    }
    if (m_hooks.holdsUnfinishedOrder && m_hooks.holdsUnfinishedOrder()
        && !m_context.prompter->ask(this, PromptIcon::Question, QStringLiteral("提示"),
                                    QStringLiteral("是否清除主界面上的点餐信息？\r\n\r\n点 是 清空未完成项目，"
                                                   "并对选择数据进行修改。\r\n点 否 取消修改。"),
                                    PromptDefault::Yes))
        return;
    const int id = item->text(IdColumn).toInt();
    if (!m_hooks.loadOrderForModification || !m_hooks.loadOrderForModification(id)) {
        m_context.prompter->info(this, QStringLiteral("该订单已不存在。"));
        showHistoryPage(currentPage());
        return;
    }
    accept();
}

void OrderHistoryWindow::exportHistoryCsv()
{
    QString path = m_context.prompter->saveFile(this, QStringLiteral("请选择需要导出的位置。"), QString(),
                                                QStringLiteral("CSV文件 (*.csv)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");

    QProgressDialog progress(QStringLiteral("正在导出订单…"), QStringLiteral("取消"), 0,
                             int(std::min<qint64>(m_count, INT_MAX)), this);
    progress.setObjectName(QStringLiteral("导出进度"));
    progress.setWindowTitle(QStringLiteral("导出"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoReset(false);
    progress.setValue(0);
    const CsvExportResult result = vorlan::exportHistoryCsv(
        *m_context.store, m_filter, path, m_description->text(), {statusText(0), statusText(1), statusText(2)},
        [&](qint64 orders) {
            progress.setValue(int(std::min<qint64>(orders, progress.maximum())));
            return !progress.wasCanceled();
        });
    progress.close();
    switch (result.status) {
    case CsvExportResult::Status::Written:
        m_context.prompter->message(this, PromptIcon::Information, QString(), QStringLiteral("导出完成。"));
        break;
    case CsvExportResult::Status::Failed:
        m_context.prompter->info(this, QStringLiteral("导出失败，文件没有写入：\n%1\n%2").arg(path, result.error));
        break;
    case CsvExportResult::Status::Cancelled: break;
    }
}

bool OrderHistoryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        deleteSelectedOrder();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void OrderHistoryWindow::done(int result)
{
    QDialog::done(result);
    if (m_hooks.refreshPreview)
        m_hooks.refreshPreview();
}

} // namespace vorlan
