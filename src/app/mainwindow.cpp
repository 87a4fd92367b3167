#include "mainwindow.h"

#include "aboutdialog.h"
#include "calleridbridge.h"
#include "weborderingbridge.h"
#include "core/backup.h"
#include "core/dailybackup.h"
#include "historybridge.h"
#include "core/datastore.h"
#include "core/dates.h"
#include "core/recordtable.h"
#include "core/recordkeys.h"
#include "core/fonts.h"
#include "core/numbers.h"
#include "core/paths.h"
#include "core/prompter.h"
#include "core/schema.h"
#include "core/settingsfile.h"
#include "core/todaycounters.h"
#include "core/ui/named.h"
#include "masterdata/preferences.h"
#include "masterdata/ui/dishcatalogwindow.h"
#include "masterdata/ui/namelistwindow.h"
#include "masterdata/ui/preferencesdialogs.h"
#include "receipt/defaultpictures.h"
#include "receipt/printreceipt.h"
#include "receipt/ui/previewwindow.h"
#include "receipt/ui/printsettingswindow.h"
#include "receipt/ui/systemprintbackend.h"
#include "reports/ui/incomereportwindow.h"
#include "reports/ui/salesstatisticswindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryFile>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace vorlan {

namespace {
const QColor kLinkYellow(255, 255, 0);
const QColor kLinkGreen(128, 224, 0);
} // namespace

QString documentsFolder()
{
    // Beside the executable in a build or an unpacked folder; the package puts them in the
    // system's documentation folder.
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(appDir + QStringLiteral("/../share/doc/vorlan"));
    for (const QString &candidate : {appDir + QStringLiteral("/docs"), appDir + QStringLiteral("/../docs"), installed}) {
        if (QFileInfo(candidate).isDir())
            return QDir::cleanPath(candidate);
    }
    return isInstalledFolder(appDir) ? installed : QDir::cleanPath(appDir + QStringLiteral("/docs"));
}

MainWindow::MainWindow(AppContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Vorlan ") + m_context.versionText);

    OrderPanel::Hooks hooks;
    hooks.refreshTodayCounters = [this] { return refreshTodayCounters(); };
    hooks.printReceipt = [this](bool singleCopy) { return printReceipt(singleCopy); };
    hooks.now = [this] { return m_clock(); };
    hooks.refreshPreview = [this] { refreshPreview(); };
    hooks.previewWindow = [this] { return static_cast<QWidget *>(m_preview); };
    m_panel = new OrderPanel(m_context, std::move(hooks), this);
    setCentralWidget(m_panel);
    for (QLabel *link : {form().guideLink, form().printHelpLink})
        link->installEventFilter(this);
    buildStatusBar();
    buildToolBarAndMenus();
    resize(791, 723);

    if (QAction *preferences = menuAction(QStringLiteral("设置"))) {
        preferences->setEnabled(true);
        connect(preferences, &QAction::triggered, this, [this] {
            DecimalPlacesDialog dialog(m_context, this);
            if (dialog.exec() == QDialog::Accepted)
                followBusinessDayStart();
        });
    }
    if (QAction *catalog = menuAction(QStringLiteral("商品管理"))) {
        catalog->setEnabled(true);
        connect(catalog, &QAction::triggered, this, [this] {
            DishCatalogWindow window(m_context, [this] { loadDishCatalog(); }, this);
            window.exec();
        });
    }
    const std::pair<QString, NameListKind> nameLists[] = {{QStringLiteral("票头设置"), NameListKind::Headers},
                                                          {QStringLiteral("店名设置"), NameListKind::Shops},
                                                          {QStringLiteral("减免设置"), NameListKind::Discounts}};
    for (const auto &[item, kind] : nameLists) {
        QAction *action = menuAction(item);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, kind] {
            NameListWindow window(m_context, kind, [this] { m_panel->refillNameLists(); }, this);
            window.exec();
        });
    }
    form().timeFormatButton->setEnabled(true);
    connect(form().timeFormatButton, &QPushButton::clicked, this, [this] {
        TimeFormatDialog dialog(m_context, this);
        dialog.exec();
        refreshPreview();
    });

    m_timer = named(new QTimer(this), QStringLiteral("时钟1"));
    m_dailyBackup = new DailyBackup(this);
    connect(m_dailyBackup, &DailyBackup::failed, this, [this](const QString &error) {
        m_context.prompter->info(this, QStringLiteral("今天的数据库备份没有做成：%1").arg(error));
    });
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &MainWindow::onClockTick);

    connect(form().previewButton, &QPushButton::clicked, this, &MainWindow::togglePreview);
    if (QAction *income = menuAction(QStringLiteral("收入报表"))) {
        income->setEnabled(true);
        connect(income, &QAction::triggered, this, [this] { openIncomeReportWindow(m_context, this); });
    }
    if (QAction *sales = menuAction(QStringLiteral("销售统计"))) {
        sales->setEnabled(true);
        connect(sales, &QAction::triggered, this, [this] { openSalesStatisticsWindow(m_context, this); });
    }
    if (QAction *printSettings = menuAction(QStringLiteral("打印设置"))) {
        printSettings->setEnabled(true);
        connect(printSettings, &QAction::triggered, this, &MainWindow::openPrintSettings);
    }

    connectHistoryWindows(*this);
    m_callerId = new CallerIdLink(*this);
    m_webOrders = new WebOrderLink(*this);

    // A session logout or an ordinary quit still keeps the operator's choices.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::saveLastSelections);
}

MainWindow::~MainWindow()
{
    delete m_preview;
    m_preview = nullptr;
    saveLastSelections();
    // The panel's handlers go before the store they use.
    delete m_panel;
    m_panel = nullptr;
    m_context.store = nullptr;
}

void MainWindow::buildStatusBar()
{
    auto *bar = named(new QStatusBar(this), QStringLiteral("状态条1"));
    setStatusBar(bar);
    for (int i = 0; i < 2; ++i) {
        m_statusSections[i] = named(new QLabel(bar), QStringLiteral("状态条1_%1").arg(i));
        m_statusSections[i]->setContentsMargins(6, 0, 6, 0);
        bar->addWidget(m_statusSections[i], 1);
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
    m_settingsMenu->addSeparator();
    m_settingsMenu->addAction(QStringLiteral("恢复备份"), this, [this] {
        if (m_store && !sqldialect::isFile(m_store->engine())) {
            m_context.prompter->info(this, sqldialect::fileOnlyMessage(QStringLiteral("恢复备份")));
            return;
        }
        m_dailyBackup->wait();
        const RestoreOutcome outcome =
            askAndRestoreBackup(*m_context.prompter, this, *m_store, m_context.paths, m_clock());
        if (outcome == RestoreOutcome::StoreClosed)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        if (outcome != RestoreOutcome::Restored)
            return;
        // The lists, the catalog and today's counters come from the restored data.
        m_context.timeFormat = readTimeFormat(*m_store);
        setBusinessDayStart(readBusinessDayStart(*m_store));
        m_panel->refillNameLists();
        m_panel->loadDishCatalog();
        followBusinessDayStart();
        refreshPreview();
    });

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
}

QAction *MainWindow::menuAction(const QString &text) const
{
    for (QMenu *menu : {m_settingsMenu, m_helpMenu})
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
    QFont font(chineseFontFamily());
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
        // A folder nobody may write into is not a second copy running.
        QTemporaryFile probe(m_context.paths.home + QStringLiteral("/write-test-XXXXXX"));
        if (!probe.open() || probe.write("x", 1) != 1 || !probe.flush()) {
            m_context.prompter->message(
                this, PromptIcon::Warning, QStringLiteral("提示"),
                QStringLiteral("程序文件夹不能写入：\n%1\n\n请检查文件夹是否只读、磁盘是否已满。程序将退出。")
                    .arg(QDir::toNativeSeparators(m_context.paths.home)));
            return false;
        }
        m_context.prompter->message(this, PromptIcon::Warning, QString(), QStringLiteral("程序正在运行，无法重复打开！"));
        return false;
    }
    m_startDate = m_clock().date();
    checkChartComponent();
    checkSettingsFile();

    m_store = std::make_unique<DataStore>(QStringLiteral("vorlan-%1").arg(reinterpret_cast<quintptr>(this)));
    auto openStore = [this] {
        return openDataStore(*m_store, m_context.paths.dataDir(), m_context.paths.databasePath(),
                             m_context.paths.configPath(), m_context.database);
    };
    const bool onFile = sqldialect::isFile(m_context.database.engine);
    OpenedStore opened = openStore();
    if (!opened.ok && onFile && offerRestoreAtStart(*m_context.prompter, this, m_context.paths, opened.error, m_clock()))
        opened = openStore();
    if (!opened.ok) {
        m_context.prompter->message(
            this, PromptIcon::Warning, QStringLiteral("数据库打开失败"),
            QStringLiteral("无法打开数据库文件：\n%1\n\n原因：%2\n\n程序将退出，数据库文件没有被改动。")
                .arg(onFile ? QDir::toNativeSeparators(m_context.paths.databasePath()) : m_context.database.url,
                         opened.error));
        m_store.reset();
        return false;
    }
    m_context.store = m_store.get();
    m_context.decimalPlaces = opened.decimalPlaces;
    // The server keeps its own backups (pg_dump); the daily copy is the file's.
    if (onFile)
        m_dailyBackup->start(m_context.paths.databasePath(), m_context.paths.backupDir(), m_clock());
    m_context.timeFormat = readTimeFormat(*m_store);
    setBusinessDayStart(readBusinessDayStart(*m_store));
    m_startDate = businessDate(m_clock());

    m_panel->start();
    m_callerId->start();
    m_webOrders->restartServer();
    m_timer->start();
    m_started = true;
    openPreview();
    // A picture file that holds no picture is left off the receipt; the operator is told.
    for (const auto &[on, path] : {std::pair{recordkey::TopPictureOn, m_context.paths.topPicture()},
                                   std::pair{recordkey::BottomPictureOn, m_context.paths.bottomPicture()}})
        if (const QString problem = pictureProblem(path); !problem.isEmpty() && RecordTable(*m_store).read(on) == u"1")
            m_context.prompter->info(this, problem + QStringLiteral("\n打印时不印这张图片；请在“打印设置”中重新选择图片。"));
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
                                QStringLiteral("您的 Flash 版本过低，图表功能将无法使用。\r\n\r\n是否安装 Adobe Flash Player ？"),
                                PromptDefault::Yes))
        openDocument(QStringLiteral("usage-guide.html#charts"));
}

void MainWindow::checkSettingsFile()
{
    if (const auto problem = settingsFileProblem(m_context.paths.configPath()))
        tellSettingsFileProblem(*problem);
}

void MainWindow::tellSettingsFileProblem(const QString &problem)
{
    // Once per run: the defaults stand in for its entries meanwhile.
    if (m_settingsProblemTold || problem.isEmpty())
        return;
    m_settingsProblemTold = true;
    m_context.prompter->info(this, problem + QStringLiteral("\n\n打印宽度暂用默认值（58小票 480，80小票 700）。"));
}

void MainWindow::saveLastSelections()
{
    if (!m_started || m_selectionsSaved || !m_store || !m_panel)
        return;
    m_selectionsSaved = true;
    m_panel->saveLastSelections();
}

int MainWindow::refreshTodayCounters()
{
    if (!m_store)
        return 1;
    const DayCounters counters = readDayCounters(*m_store, businessDate(m_clock()));
    m_statusSections[0]->setText(QStringLiteral("今日打单数量：") + QString::number(counters.orderCount));
    m_statusSections[1]->setText(QStringLiteral("今日收入总额：") + formatDouble(counters.income));
    return counters.highestNumber + 1;
}

void MainWindow::followBusinessDayStart()
{
    m_startDate = businessDate(m_clock());
    const int next = refreshTodayCounters();
    if (!m_panel->isModifying())
        m_panel->form().orderNumber->setText(QString::number(next));
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
        m_preview = new PreviewWindow(*m_store, m_context.paths, [this] { return m_panel->receiptSnapshot(); }, this);
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
    QString settingsProblem;
    m_printing = true;
    const bool printed = vorlan::printReceipt(*m_store, m_context.paths, m_panel->receiptSnapshot(), *backend,
                                              singleCopy, &settingsProblem);
    m_printing = false;
    tellSettingsFileProblem(settingsProblem);
    // A close asked for meanwhile happens once the order's flow is done.
    if (m_closeAfterPrinting)
        QTimer::singleShot(0, this, &QWidget::close);
    return printed;
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
    for (QLabel *link : {form().guideLink, form().printHelpLink}) {
        QPalette palette = link->palette();
        palette.setColor(QPalette::WindowText, colour);
        link->setPalette(palette);
    }
}

void MainWindow::onClockTick()
{
    setLinkColour(m_linkColour == kLinkYellow ? kLinkGreen : kLinkYellow);
    m_webOrders->onClockTick(m_linkColour);
    const QDateTime now = m_clock();
    if (businessDate(now) != m_startDate) {
        m_startDate = businessDate(now);
        m_panel->startNewDay();
    }
    m_panel->showTime(now);
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
    if (m_printing) {
        // The receipt is on its way to the printer; closing now would cut it off.
        m_closeAfterPrinting = true;
        event->ignore();
        return;
    }
    m_closeAfterPrinting = false;
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
        if (watched == form().guideLink)
            openDocument(QStringLiteral("usage-guide.html"));
        else if (watched == form().printHelpLink)
            openDocument(QStringLiteral("printing-help.html"));
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace vorlan
