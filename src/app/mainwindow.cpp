#include "mainwindow.h"

#include "aboutdialog.h"
#include "receiptbridge.h"
#include "core/datastore.h"
#include "core/dates.h"
#include "core/numbers.h"
#include "core/prompter.h"
#include "core/recordtable.h"
#include "core/schema.h"
#include "core/todaycounters.h"
#include "core/ui/combos.h"
#include "receipt/printbackend.h"
#include "receipt/printreceipt.h"
#include "receipt/ui/previewwindow.h"
#include "receipt/ui/printsettingswindow.h"
#include "masterdata/ui/preferencesdialogs.h"
#include "order/ui/keyboardflow.h"
#include "order/ui/orderactions.h"
#include "order/ui/orderentry.h"
#include "order/ui/refreshingcombobox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace vorlan {

namespace {

const QColor kLinkYellow(255, 255, 0);
const QColor kLinkGreen(128, 224, 0);

template<typename W>
W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

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

} // namespace

QString documentsFolder()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString &candidate : {appDir + QStringLiteral("/docs"), appDir + QStringLiteral("/../docs"),
                                     appDir + QStringLiteral("/../share/vorlan/docs")}) {
        if (QFileInfo(candidate).isDir())
            return QDir::cleanPath(candidate);
    }
    return QDir::cleanPath(appDir + QStringLiteral("/docs"));
}

MainWindow::MainWindow(AppContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Vorlan ") + m_context.versionText);
    buildForm();
    buildToolBarAndMenus();
    resize(791, 723);

    m_orderEntry = new OrderEntry(m_form, m_context, m_catalog, m_tableCodes, m_tableNames,
                                  [this] { refreshPreview(); }, this);
    OrderActions::Hooks hooks;
    hooks.refreshTodayCounters = [this] { return refreshTodayCounters(); };
    hooks.printReceipt = [this](bool singleCopy) { return printReceipt(singleCopy); };
    hooks.now = [this] { return m_clock(); };
    m_orderActions = new OrderActions(m_form, m_context, *m_orderEntry, std::move(hooks), this);
    m_keyboardFlow = new KeyboardFlow(
        m_form, *m_orderActions, [this] { return static_cast<QWidget *>(previewWindow()); },
        [this] { refreshPreview(); }, this);
    if (QAction *preferences = menuAction(QStringLiteral("设置"))) {
        preferences->setEnabled(true);
        connect(preferences, &QAction::triggered, this, [this] {
            DecimalPlacesDialog dialog(m_context, this);
            dialog.exec();
        });
    }
    m_form.timeFormatButton->setEnabled(true);
    connect(m_form.timeFormatButton, &QPushButton::clicked, this, [this] {
        TimeFormatDialog dialog(m_context, this);
        dialog.exec();
        refreshPreview();
    });

    m_timer = named(new QTimer(this), QStringLiteral("时钟1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &MainWindow::onClockTick);

    connect(m_form.previewButton, &QPushButton::clicked, this, &MainWindow::togglePreview);
    if (QAction *printSettings = menuAction(QStringLiteral("打印设置"))) {
        printSettings->setEnabled(true);
        connect(printSettings, &QAction::triggered, this, &MainWindow::openPrintSettings);
    }

    // A session logout or an ordinary quit still keeps the operator's choices.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::saveLastSelections);
}

MainWindow::~MainWindow()
{
    // The order handlers read members of this window; an editor still open in the grid
    // commits while the children are destroyed, when those members are already gone.
    delete m_keyboardFlow;
    m_keyboardFlow = nullptr;
    delete m_orderActions;
    m_orderActions = nullptr;
    delete m_orderEntry;
    m_orderEntry = nullptr;
    delete m_preview;
    m_preview = nullptr;
    saveLastSelections();
    m_context.store = nullptr;
}

void MainWindow::buildForm()
{
    auto *central = new QWidget(this);
    setCentralWidget(central);
    m_form.window = this;

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
    right->addWidget(m_form.deliveryGroup);

    m_form.remarkGroup = groupBox(QStringLiteral("分组框7"), QStringLiteral("备注信息(F7)"), central);
    auto *remarkForm = formLayout(m_form.remarkGroup);
    m_form.remark = named(new QPlainTextEdit(m_form.remarkGroup), QStringLiteral("编辑框_备注"));
    remarkForm->addRow(QStringLiteral("备      注："), m_form.remark);
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
        link->installEventFilter(this);
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

    m_form.statusBar = named(new QStatusBar(this), QStringLiteral("状态条1"));
    setStatusBar(m_form.statusBar);
    for (int i = 0; i < 2; ++i) {
        m_statusSections[i] = named(new QLabel(m_form.statusBar), QStringLiteral("状态条1_%1").arg(i));
        m_statusSections[i]->setContentsMargins(6, 0, 6, 0);
        m_form.statusBar->addWidget(m_statusSections[i], 1);
    }
    setLinkColour(kLinkYellow);
}

void MainWindow::buildToolBarAndMenus()
{
    m_toolBar = named(new QToolBar(this), QStringLiteral("工具条2"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    // Windows that later parts of the program provide stay disabled until they exist.
    for (const QString &text : {QStringLiteral("历史单据"), QStringLiteral("收入报表"), QStringLiteral("销售统计")})
        m_toolBar->addAction(text)->setEnabled(false);
    m_toolBar->addSeparator();
    for (const QString &text : {QStringLiteral("顾客管理"), QStringLiteral("商品管理")})
        m_toolBar->addAction(text)->setEnabled(false);
    m_toolBar->addSeparator();

    m_settingsMenu = named(new QMenu(QStringLiteral("设置菜单"), this), QStringLiteral("设置菜单"));
    const QStringList settingsItems = {QStringLiteral("票头设置"), QStringLiteral("店名设置"), QStringLiteral("减免设置"),
                                       QStringLiteral("设置"), QStringLiteral("打印设置")};
    for (int i = 0; i < settingsItems.size(); ++i) {
        if (i > 0)
            m_settingsMenu->addSeparator();
        m_settingsMenu->addAction(settingsItems.at(i))->setEnabled(false);
    }

    m_helpMenu = named(new QMenu(QStringLiteral("帮助"), this), QStringLiteral("帮助"));
    const QString guide = QStringLiteral("usage-guide.html");
    const QString printing = QStringLiteral("printing-help.html");
    m_helpMenu->addAction(QStringLiteral("QQ反馈问题或建议"), this, [this, guide] { openDocument(guide + QStringLiteral("#help")); });
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(QStringLiteral("使用教程"), this, [this, guide] { openDocument(guide); });
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(QStringLiteral("无法打印"), this, [this, printing] { openDocument(printing); });
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(QStringLiteral("软件更新"), this, [this, guide] { openDocument(guide + QStringLiteral("#update")); });
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(QStringLiteral("关于"), this, &MainWindow::showAbout);

    for (QMenu *menu : {m_settingsMenu, m_helpMenu}) {
        QAction *entry = m_toolBar->addAction(menu->title());
        entry->setMenu(menu);
        if (auto *button = qobject_cast<QToolButton *>(m_toolBar->widgetForAction(entry)))
            button->setPopupMode(QToolButton::InstantPopup);
    }

    m_lineMenu = named(new QMenu(this), QStringLiteral("A菜单"));
    m_lineMenu->addAction(QStringLiteral("删除行"));
}

QAction *MainWindow::menuAction(const QString &text) const
{
    for (QMenu *menu : {m_settingsMenu, m_helpMenu, m_lineMenu})
        for (QAction *action : menu->actions())
            if (action->text() == text)
                return action;
    for (QAction *action : m_toolBar->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

void MainWindow::applySkin()
{
    qApp->setStyle(QStringLiteral("Fusion"));
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(13);
    qApp->setFont(font);
    setStyleSheet(QStringLiteral(
        "QGroupBox { font-weight: bold; border: 1px solid #b8c4d0; border-radius: 4px; margin-top: 10px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; color: #1f4e79; }"
        "QGroupBox * { font-weight: normal; }"
        "QLabel#透明标签11, QLabel#透明标签13 { background: #2c3e50; border-radius: 3px; }"
        "QPushButton#按钮_打单结算 { font-weight: bold; }"
        "QToolBar#工具条2 { spacing: 6px; padding: 2px; }"));
}

bool MainWindow::start()
{
    applySkin();
    warnWhenInTemporaryFolder();
    setWindowTitle(QStringLiteral("Vorlan ") + m_context.versionText);
    if (!acquireInstanceLock()) {
        m_context.prompter->message(this, PromptIcon::Warning, QString(), QStringLiteral("程序正在运行，无法重复打开！"));
        return false;
    }
    m_startDate = m_clock().date();
    checkChartComponent();

    m_store = std::make_unique<DataStore>(QStringLiteral("vorlan-%1").arg(reinterpret_cast<quintptr>(this)));
    const OpenedStore opened = openDataStore(*m_store, m_context.paths.dataDir(), m_context.paths.databasePath(),
                                             m_context.paths.configPath());
    if (!opened.ok) {
        m_context.prompter->message(
            this, PromptIcon::Warning, QStringLiteral("数据库打开失败"),
            QStringLiteral("无法打开数据库文件：\n%1\n\n原因：%2\n\n程序将退出，数据库文件没有被改动。")
                .arg(QDir::toNativeSeparators(m_context.paths.databasePath()), opened.error));
        m_store.reset();
        return false;
    }
    m_context.store = m_store.get();
    m_context.decimalPlaces = opened.decimalPlaces;

    m_orderEntry->refreshHeaderList();
    m_orderEntry->refreshShopList();
    m_orderEntry->refreshDiscountList();
    loadTableList();
    restoreLastSelections();
    m_form.orderNumber->setText(QString::number(refreshTodayCounters()));
    m_form.grid->setColumnWidth(0, 115);
    m_form.grid->setColumnWidth(1, 70);
    m_form.grid->setColumnWidth(2, 56);
    m_form.grid->horizontalHeader()->setStretchLastSection(true);
    m_form.grid->setHorizontalHeaderLabels(
        {QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("单位"), QStringLiteral("小计")});
    loadDishCatalog();

    m_form.orderTime->setText(formatOrderTime(m_clock(), m_context.timeFormat));
    m_timer->start();
    m_started = true;
    openPreview();
    return true;
}

bool MainWindow::warnWhenInTemporaryFolder()
{
    if (!isInsideFolder(m_context.paths.home, m_context.temporaryFolder))
        return false;
    m_context.prompter->message(this, PromptIcon::Warning, QStringLiteral("Zemblo"),
                                QStringLiteral("请检查软件是否已经解压到文件夹中。未解压状态将无法存储数据。"));
    return true;
}

bool MainWindow::acquireInstanceLock()
{
    QDir().mkpath(m_context.paths.home);
    m_lock = std::make_unique<QLockFile>(m_context.paths.lockPath());
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    // A lock left behind by a crashed copy is taken over; a live holder refuses us.
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->removeStaleLockFile() && m_lock->tryLock(0))
        return true;
    m_lock.reset();
    return false;
}

// The charts are drawn by a component built into the program, so its version is always
// known; the question stays for a build without it.
static int chartComponentVersion() { return QT_VERSION; }

void MainWindow::checkChartComponent()
{
    if (chartComponentVersion() != 0)
        return;
    if (m_context.prompter->ask(this, PromptIcon::Warning, QString(),
                                QStringLiteral("您的 Flash 版本过低，图表功能将无法使用。\r\n\r\n是否安装 Adobe Flash Player ？")))
        openDocument(QStringLiteral("usage-guide.html#charts"));
}

void MainWindow::restoreLastSelections()
{
    RecordTable records(*m_store);
    m_context.timeFormat = records.read(QStringLiteral("时间格式"), QStringLiteral("0")).toInt();
    selectComboByText(m_form.header, records.read(QStringLiteral("票头")));
    selectComboByText(m_form.shopName, records.read(QStringLiteral("店铺名称")));
    selectComboByText(m_form.discount, records.read(QStringLiteral("减免")));
    m_form.discountPortions->setText(records.read(QStringLiteral("减免份数")));
    m_form.discountAmount->setText(records.read(QStringLiteral("减免金额")));
    selectComboByText(m_form.paymentMethod, records.read(QStringLiteral("付款方式")));
}

void MainWindow::saveLastSelections()
{
    if (!m_started || m_selectionsSaved || !m_store)
        return;
    m_selectionsSaved = true;
    RecordTable records(*m_store);
    inTransaction(*m_store, [&] {
        records.write(QStringLiteral("票头"), m_form.header->currentText());
        records.write(QStringLiteral("店铺名称"), m_form.shopName->currentText());
        records.write(QStringLiteral("减免"), m_form.discount->currentText());
        records.write(QStringLiteral("减免份数"), m_form.discountPortions->text());
        records.write(QStringLiteral("减免金额"), m_form.discountAmount->text());
        records.write(QStringLiteral("付款方式"), m_form.paymentMethod->currentText());
        return true;
    });
}

int MainWindow::refreshTodayCounters()
{
    const DayCounters counters = readDayCounters(*m_store, m_clock().date());
    m_statusSections[0]->setText(QStringLiteral("今日打单数量：") + QString::number(counters.orderCount));
    m_statusSections[1]->setText(QStringLiteral("今日收入总额：") + formatDouble(counters.income));
    return counters.highestNumber + 1;
}

void MainWindow::loadDishCatalog()
{
    m_catalog = readDishCatalog(*m_store);
    // The listed dishes are catalog positions; list them again from the new catalog.
    m_orderEntry->filterDishList();
}

void MainWindow::loadTableList()
{
    m_tableCodes.clear();
    m_tableNames.clear();
    m_store->query(QStringLiteral("select 代号, 桌号名称 from 桌号 order by ID"));
    while (!m_store->atEnd()) {
        m_tableCodes.append(m_store->readText(0));
        m_tableNames.append(m_store->readText(1));
        m_store->next();
    }
    m_store->closeQuery();
}

void MainWindow::refreshPreview()
{
    if (m_preview && m_preview->isVisible())
        m_preview->renderPreview();
}

PreviewWindow *MainWindow::previewWindow() const { return m_preview; }

void MainWindow::openPreview()
{
    if (!m_store)
        return;
    if (!m_preview)
        m_preview = new PreviewWindow(*m_store, m_context.paths, [this] { return receiptSnapshotFromForm(m_form); },
                                      this);
    m_preview->show();
    m_preview->dockTo(this);
    m_preview->renderPreview();
}

void MainWindow::togglePreview()
{
    if (m_preview && m_preview->isVisible())
        m_preview->close();
    else
        openPreview();
}

bool MainWindow::printReceipt(bool singleCopy)
{
    if (!m_store)
        return false;
    std::unique_ptr<PrintBackend> chosen;
    PrintBackend *backend = m_context.printBackend;
    if (!backend) {
        chosen = makePrintBackend(*m_store, m_context.paths, *m_context.prompter, this);
        backend = chosen.get();
    }
    return vorlan::printReceipt(*m_store, m_context.paths, receiptSnapshotFromForm(m_form), *backend, singleCopy);
}

void MainWindow::openPrintSettings()
{
    openPreview();
    PrintSettingsWindow window(*m_store, m_context.paths, *m_context.prompter, [this] { refreshPreview(); }, this);
    window.exec();
}

void MainWindow::setLinkColour(const QColor &colour)
{
    m_linkColour = colour;
    for (QLabel *link : {m_form.guideLink, m_form.printHelpLink}) {
        QPalette palette = link->palette();
        palette.setColor(QPalette::WindowText, colour);
        link->setPalette(palette);
    }
}

void MainWindow::onClockTick()
{
    setLinkColour(m_linkColour == kLinkYellow ? kLinkGreen : kLinkYellow);
    const QDateTime now = m_clock();
    if (now.date() != m_startDate) {
        m_startDate = now.date();
        m_form.orderNumber->setText(QString::number(refreshTodayCounters()));
    }
    if (m_form.settleButton->text() != QStringLiteral("修改(F12)"))
        m_form.orderTime->setText(formatOrderTime(now, m_context.timeFormat));
}

void MainWindow::openDocument(const QString &fileName)
{
    const QString path = fileName.section(QLatin1Char('#'), 0, 0);
    const QString anchor = fileName.section(QLatin1Char('#'), 1);
    const QString fullPath = documentsFolder() + QLatin1Char('/') + path;
    QUrl url = QUrl::fromLocalFile(fullPath);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    if (!QFileInfo::exists(fullPath) || !QDesktopServices::openUrl(url))
        m_context.prompter->message(this, PromptIcon::Information, QStringLiteral("提示"),
                                    QStringLiteral("无法打开文档：%1").arg(QDir::toNativeSeparators(fullPath)));
}

void MainWindow::showAbout()
{
    const QString sqliteVersion =
        m_store ? m_store->scalar(QStringLiteral("select sqlite_version()")).toString() : QString();
    AboutDialog dialog(m_context.versionText, sqliteVersion, this);
    dialog.exec();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    saveLastSelections();
    QMainWindow::closeEvent(event);
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (m_preview && m_preview->isVisible())
        m_preview->dockTo(this);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_form.guideLink)
            openDocument(QStringLiteral("usage-guide.html"));
        else if (watched == m_form.printHelpLink)
            openDocument(QStringLiteral("printing-help.html"));
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace vorlan
