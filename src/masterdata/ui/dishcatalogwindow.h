#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

namespace vorlan {

struct AppContext;
class DishCatalogModel;

// 菜单设置 ("商品设置"): the goods catalog as a list, with 添加, 修改 and 删除, the popup
// 菜单 and the Delete key. The list is the working copy of the dish table. `onClosed`
// runs when the window closes (the order window reloads its catalog then).
class DishCatalogWindow final : public QDialog
{
    Q_OBJECT
public:
    DishCatalogWindow(AppContext &context, std::function<void()> onClosed = {}, QWidget *parent = nullptr);

    // Clears the list and fills it from the dish table.
    void loadDishList();

    // 按钮1 "添加": the add window, modal.
    void addItem();
    // 按钮3 "修改", the menu item 修改 or a double click: the modify window, modal.
    void modifyItem();
    // 按钮2 "删除", the menu item 删除 or the Delete key.
    void deleteItem();

    int selectedRow() const;
    // Selects a row and scrolls it into view; -1 clears the selection.
    void selectRow(int row);

    DishCatalogModel *model() const { return m_model; }
    QTableView *list() const { return m_list; }
    QMenu *popupMenu() const { return m_menu; }
    AppContext &context() { return m_context; }

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPopup(const QPoint &position);

    AppContext &m_context;
    std::function<void()> m_onClosed;
    DishCatalogModel *m_model = nullptr;
    QTableView *m_list = nullptr;
    QMenu *m_menu = nullptr;
};

// 项目或菜品添加 ("项目添加") and 项目或菜品修改 ("项目修改"): the fields of one item. The add
// window derives the letter code from the name as it is typed and stays open for the
// next item; the modify window starts from the catalog's selected row and closes when done.
class DishEntryWindow final : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Add, Modify };

    DishEntryWindow(DishCatalogWindow &catalog, Mode mode);

    Mode mode() const { return m_mode; }
    // 按钮1: "添加" or "修改".
    void confirm();
    // 按钮8 "…": the unit list window, modal; the unit list is refilled when it closes.
    void openUnitList();
    // Refills the unit list after the unit window closed: the add window drops the choice,
    // the modify window chooses the item's unit again when it is still listed.
    void refillUnits();

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *lettersEdit() const { return m_letters; }
    QLineEdit *codeEdit() const { return m_code; }
    QLineEdit *priceEdit() const { return m_price; }
    QComboBox *unitCombo() const { return m_unit; }

    void setVisible(bool visible) override;

private:
    void add();
    void modify();

    DishCatalogWindow &m_catalog;
    AppContext &m_context;
    Mode m_mode;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_letters = nullptr;
    QLineEdit *m_code = nullptr;
    QLineEdit *m_price = nullptr;
    QComboBox *m_unit = nullptr;
};

} // namespace vorlan
