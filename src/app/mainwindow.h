#pragma once

#include "core/appcontext.h"
#include "order/ui/orderpanel.h"

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QLockFile;
class QMenu;
class QTimer;
class QToolBar;

namespace vorlan {

class CallerIdLink;
class DailyBackup;
class DataStore;
class PreviewWindow;
class WebOrderLink;

// The program's main window, a frame: it places the order panel, the toolbar and menus,
// the status bar with today's counters, the one-second clock and the docked receipt
// preview; it runs the start-up sequence and opens the other windows. The order itself
// is the OrderPanel's.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(AppContext &context, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Runs the start-up sequence. False when the program must end (a second copy, a
    // database that cannot be opened); the reason has been shown to the operator.
    bool start();

    // Recomputes today's order count and income into the status bar; returns the next
    // order number of the day.
    // Today's business day, counters and next order number again, after the start of the
    // business day may have changed.
    void followBusinessDayStart();
    int refreshTodayCounters();
    // Redraws the receipt preview when it is open.
    void refreshPreview();
    // The receipt preview docked to the right (opened at start-up, toggled by 按钮_预览).
    void openPreview();
    void togglePreview();
    PreviewWindow *previewWindow() const;
    // The day's database copy, made beside the running program after start-up.
    DailyBackup *dailyBackup() const { return m_dailyBackup; }
    // Prints the order's receipt: one copy, or the copies of 打印份数. True when printing
    // completed. A close asked for while it prints waits until it is done.
    bool printReceipt(bool singleCopy);
    void openPrintSettings();
    // Saves the last selections (header, shop, discount, payment) to the records table.
    void saveLastSelections();

    OrderPanel *orderPanel() const { return m_panel; }
    // The caller-ID port, call bar and recent calls.
    CallerIdLink *callerId() const { return m_callerId; }
    // The orders from the customers' phones: toolbar button, window, 扫码点餐 page, server.
    WebOrderLink *webOrders() const { return m_webOrders; }
    // Shortcuts to the order panel, for the windows that work on the order.
    void loadDishCatalog() { m_panel->loadDishCatalog(); }
    void loadTableList() { m_panel->loadTableList(); }
    const MainForm &form() const { return m_panel->form(); }
    const DishCatalog &dishCatalog() const { return m_panel->dishCatalog(); }
    OrderEntry *orderEntry() const { return m_panel->orderEntry(); }
    OrderActions *orderActions() const { return m_panel->orderActions(); }
    KeyboardFlow *keyboardFlow() const { return m_panel->keyboardFlow(); }
    QStringList tableCodes() const { return m_panel->tableCodes(); }
    QStringList tableNames() const { return m_panel->tableNames(); }

    AppContext &context() { return m_context; }
    QMenu *settingsMenu() const { return m_settingsMenu; }
    QMenu *helpMenu() const { return m_helpMenu; }
    QToolBar *toolBar() const { return m_toolBar; }
    QAction *menuAction(const QString &text) const;
    QLabel *statusSection(int index) const { return m_statusSections[index]; }

    // The clock the window reads; tests move it across midnight.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    void onClockTick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildStatusBar();
    void buildToolBarAndMenus();
    void applySkin();
    bool warnWhenInTemporaryFolder();
    bool acquireInstanceLock();
    void checkChartComponent();
    void checkSettingsFile();
    void tellSettingsFileProblem(const QString &problem);
    void openDocument(const QString &fileName);
    void showAbout();
    void setLinkColour(const QColor &colour);

    AppContext &m_context;
    std::unique_ptr<DataStore> m_store;
    std::unique_ptr<QLockFile> m_lock;
    std::function<QDateTime()> m_clock;
    QDate m_startDate;
    QColor m_linkColour;
    bool m_started = false;
    DailyBackup *m_dailyBackup = nullptr;
    bool m_selectionsSaved = false;
    bool m_settingsProblemTold = false;
    bool m_printing = false;          // a receipt is being printed
    bool m_closeAfterPrinting = false; // closing was asked for meanwhile

    OrderPanel *m_panel = nullptr;
    QToolBar *m_toolBar = nullptr;
    QMenu *m_settingsMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QLabel *m_statusSections[2] = {nullptr, nullptr};
    QTimer *m_timer = nullptr;
    PreviewWindow *m_preview = nullptr;
    CallerIdLink *m_callerId = nullptr;
    WebOrderLink *m_webOrders = nullptr;
};

// Where the shipped documents (usage guide, printing help) are found.
QString documentsFolder();

} // namespace vorlan
