#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QTreeWidget;

namespace vorlan {

struct AppContext;
class PageNavigation;

// 客户设置: the customers 200 a page, search by whole name or phone, add, modify, delete,
// and a customer's orders in the order history. The search stays in force from one
// opening to the next until "浏览所有客户".
class CustomerWindow final : public QDialog
{
    Q_OBJECT
public:
    // `showCustomerOrders` opens the order history of one phone, owned by this window.
    CustomerWindow(AppContext &context, std::function<void(QWidget *owner, const QString &phone)> showCustomerOrders,
                   QWidget *parent = nullptr);

    int showCustomerPage(int page);
    int currentPage() const;
    void search();
    void showAll();
    void deleteSelectedCustomer();
    void addCustomer();
    void modifySelectedCustomer();
    void showSelectedCustomerOrders();
    void openPopup(const QPoint &globalPos);
    // After a customer was changed: the row of this phone on the page shows the new name
    // and address and is selected.
    void showChangedCustomer(const QString &phone, const QString &name, const QString &address);

    QMenu *popupMenu() const { return m_popup; }
    // The entry windows open through this; tests drive them without a modal loop.
    std::function<int(QDialog &)> execDialog = [](QDialog &dialog) { return dialog.exec(); };

    // The search the window starts with (kept between openings).
    static QString &searchText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppContext &m_context;
    std::function<void(QWidget *, const QString &)> m_showCustomerOrders;
    QLineEdit *m_searchBox = nullptr;
    QTreeWidget *m_list = nullptr;
    PageNavigation *m_navigation = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_countPanel = nullptr;
    QMenu *m_popup = nullptr;
};

// 客户添加 and 客户修改: phone, name and address of one customer.
class CustomerEditDialog final : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Add, Modify };
    CustomerEditDialog(Mode mode, AppContext &context, CustomerWindow &owner);

    void setFields(const QString &phone, const QString &name, const QString &address);
    void confirm();

private:
    void add(const QString &phone, const QString &name, const QString &address);
    void modify(const QString &phone, const QString &name, const QString &address);

    Mode m_mode;
    AppContext &m_context;
    CustomerWindow &m_owner;
    QLineEdit *m_phone = nullptr;
    QLineEdit *m_name = nullptr;
    QPlainTextEdit *m_address = nullptr;
};

} // namespace vorlan
