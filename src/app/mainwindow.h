#pragma once

#include "core/appcontext.h"
#include "order/dishcatalog.h"
#include "order/ui/mainform.h"

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

class DataStore;
class PreviewWindow;
class OrderEntry;
class OrderActions;
class KeyboardFlow;

// The order-entry window: its frame (toolbar, pop-up menus, status bar, one-second clock),
// the start-up sequence and saving the operator's last choices. The order fields' own
// behaviour lives with the order-entry handlers.
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
    int refreshTodayCounters();
    void loadDishCatalog();
    void loadTableList();
    // Redraws the receipt preview when it is open.
    void refreshPreview();
    // The receipt preview docked to the right (opened at start-up, toggled by 按钮_预览).
    void openPreview();
    void togglePreview();
    PreviewWindow *previewWindow() const;
    // Prints the order's receipt: one copy, or the copies of 打印份数. True when printing
    // completed.
    bool printReceipt(bool singleCopy);
    void openPrintSettings();
    // Saves the last selections (header, shop, discount, payment) to the records table.
    void saveLastSelections();

    const MainForm &form() const { return m_form; }
    AppContext &context() { return m_context; }
    const DishCatalog &dishCatalog() const { return m_catalog; }
    OrderEntry *orderEntry() const { return m_orderEntry; }
    OrderActions *orderActions() const { return m_orderActions; }
    KeyboardFlow *keyboardFlow() const { return m_keyboardFlow; }
    QStringList tableCodes() const { return m_tableCodes; }
    QStringList tableNames() const { return m_tableNames; }
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
    void buildForm();
    void buildToolBarAndMenus();
    void applySkin();
    bool warnWhenInTemporaryFolder();
    bool acquireInstanceLock();
    void checkChartComponent();
    void restoreLastSelections();
    void openDocument(const QString &fileName);
    void showAbout();
    void setLinkColour(const QColor &colour);

    AppContext &m_context;
    MainForm m_form;
    std::unique_ptr<DataStore> m_store;
    std::unique_ptr<QLockFile> m_lock;
    std::function<QDateTime()> m_clock;
    QDate m_startDate;
    QColor m_linkColour;
    bool m_started = false;
    bool m_selectionsSaved = false;

    DishCatalog m_catalog;
    OrderEntry *m_orderEntry = nullptr;
    OrderActions *m_orderActions = nullptr;
    KeyboardFlow *m_keyboardFlow = nullptr;
    QStringList m_tableCodes;
    QStringList m_tableNames;

    QToolBar *m_toolBar = nullptr;
    QMenu *m_settingsMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QMenu *m_lineMenu = nullptr;
    QLabel *m_statusSections[2] = {nullptr, nullptr};
    QTimer *m_timer = nullptr;
    PreviewWindow *m_preview = nullptr;
};

// Where the shipped documents (usage guide, printing help) are found.
QString documentsFolder();

} // namespace vorlan
