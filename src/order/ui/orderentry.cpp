#include "orderentry.h"

#include "core/datastore.h"
#include "core/numbers.h"
#include "core/prompter.h"
#include "core/ui/combos.h"
#include "order/amounts.h"
#include "order/dishlistmodel.h"
#include "order/dishlookup.h"
#include "order/orderfields.h"
#include "order/ui/refreshingcombobox.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTableWidget>

namespace vorlan {

namespace {

constexpr int kStoredPriceRole = Qt::UserRole + 1;
constexpr int kStoredNameRole = Qt::UserRole + 2;
const QColor kOutOfCatalogTint(0xff, 0xe0, 0xb2);

// Grid cells: a drop-down of every catalog dish in the name column, plain text elsewhere,
// and no editor at all where a line may not be edited.
class LineCellDelegate final : public QStyledItemDelegate
{
public:
    LineCellDelegate(const OrderEntry &entry, const DishCatalog &catalog, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_entry(entry)
        , m_catalog(catalog)
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (!m_entry.canEditCell(index.row(), index.column()))
            return nullptr;
        if (index.column() != NameColumn)
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto *combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("品名下拉"));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // A line may name something the catalog lacks; what is typed stays, so a prefix
        // of a dish's name does not become that dish at its price. Dishes are picked from
        // the list.
        keepTypedText(combo);
        combo->setMaxVisibleItems(20);
        combo->addItems(m_catalog.names);
        return combo;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            const QString text = index.data(Qt::EditRole).toString();
            const int found = combo->findText(text, Qt::MatchExactly);
            combo->setCurrentIndex(found);
            combo->setEditText(text);
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            model->setData(index, combo->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    const OrderEntry &m_entry;
    const DishCatalog &m_catalog;
};

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// Sets a text and runs its change handler even when the text stays the same, as the
// program's own changes count as changes.
template<typename Handler>
void setTextAndNotify(QLineEdit *edit, const QString &text, Handler &&handler)
{
    if (edit->text() == text)
        handler();
    else
        edit->setText(text); // textChanged runs the handler
}

} // namespace

OrderEntry::OrderEntry(MainForm &form, AppContext &context, const DishCatalog &catalog,
                       const QStringList &tableCodes, const QStringList &tableNames,
                       std::function<void()> refreshPreview, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_context(context)
    , m_catalog(catalog)
    , m_tableCodes(tableCodes)
    , m_tableNames(tableNames)
    , m_refreshPreview(std::move(refreshPreview))
{
    setupDishList();
    setupGrid();
    connectControls();
}

OrderEntry::~OrderEntry() = default;

void OrderEntry::setupDishList()
{
    QTableView *view = m_form.dishList;
    m_dishModel = new DishListModel(m_catalog, this);
    view->setModel(m_dishModel);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    // Fixed row heights let the view lay out tens of thousands of rows without measuring.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->setColumnHidden(DishListModel::HiddenColumn, true);
    // The name takes what the code, price and unit columns leave, so price and unit stay
    // in sight without scrolling sideways in the half-window the list has.
    const int widths[] = {0, 70, 75, 130, 60, 45};
    for (int c = DishListModel::CodeColumn; c < DishListModel::ColumnCount; ++c)
        view->setColumnWidth(c, widths[c]);
    view->horizontalHeader()->setMinimumSectionSize(30);
    view->horizontalHeader()->setSectionResizeMode(DishListModel::NameColumn, QHeaderView::Stretch);
    view->installEventFilter(this);
    connect(view, &QAbstractItemView::doubleClicked, this, [this] { chooseDish(); });
}

void OrderEntry::setupGrid()
{
    QTableWidget *grid = m_form.grid;
    if (grid->columnCount() < LineColumnCount)
        grid->setColumnCount(LineColumnCount);
    if (grid->rowCount() == 0)
        grid->setRowCount(1);
    grid->setItemDelegate(new LineCellDelegate(*this, m_catalog, grid));
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    grid->installEventFilter(this);

    // The window provides the line menu A菜单; a form built without one gets its own.
    m_lineMenu = m_form.window ? m_form.window->findChild<QMenu *>(QStringLiteral("A菜单")) : nullptr;
    if (!m_lineMenu) {
        m_lineMenu = new QMenu(grid);
        m_lineMenu->setObjectName(QStringLiteral("A菜单"));
    }
    QAction *deleteAction = nullptr;
    for (QAction *action : m_lineMenu->actions())
        if (action->text() == u"删除行")
            deleteAction = action;
    if (!deleteAction)
        deleteAction = m_lineMenu->addAction(QStringLiteral("删除行"));
    connect(deleteAction, &QAction::triggered, this, &OrderEntry::deleteCurrentLine);
    connect(grid, &QWidget::customContextMenuRequested, this, &OrderEntry::onGridContextMenu);
    connect(grid, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (m_writingGrid == 0)
            recalcLine(row, column);
    });
}

void OrderEntry::connectControls()
{
    connect(m_form.dishCode, &QLineEdit::textChanged, this, &OrderEntry::filterDishList);
    m_form.dishCode->installEventFilter(this);

    connect(m_form.actuallyPaid, &QLineEdit::textChanged, this, &OrderEntry::onActualPaidChanged);
    connect(m_form.discountAmount, &QLineEdit::textChanged, this, &OrderEntry::onDiscountAmountChanged);
    connect(m_form.paymentMethod, &QComboBox::currentIndexChanged, this, &OrderEntry::onPaymentMethodChosen);
    connect(m_form.discount, &QComboBox::currentIndexChanged, this, &OrderEntry::onDiscountChosen);

    connect(m_form.phone, &QLineEdit::textChanged, this, &OrderEntry::lookupCustomer);
    connect(m_form.tableCode, &QLineEdit::textChanged, this, &OrderEntry::onTableCodeChanged);

    const std::pair<QComboBox *, void (OrderEntry::*)()> lists[] = {
        {m_form.header, &OrderEntry::refreshHeaderList},
        {m_form.shopName, &OrderEntry::refreshShopList},
        {m_form.discount, &OrderEntry::refreshDiscountList},
        {m_form.table, &OrderEntry::refreshTableList},
    };
    for (const auto &[combo, refresh] : lists)
        if (auto *refreshing = qobject_cast<RefreshingComboBox *>(combo))
            refreshing->setBeforePopup([this, refresh] { (this->*refresh)(); });

    for (QComboBox *combo : {m_form.header, m_form.shopName, m_form.table})
        connect(combo, &QComboBox::activated, this, &OrderEntry::refreshPreview);
    // Leaving a field after typing in it redraws the preview once.
    m_redrawOnLeave = {m_form.address, m_form.phone,           m_form.tableCode,      m_form.remark,
                       m_form.total,   m_form.name,            m_form.discountPortions, m_form.discountAmount,
                       m_form.paid,    m_form.actuallyPaid};
    for (QWidget *field : m_redrawOnLeave)
        field->installEventFilter(this);
}

void OrderEntry::refreshPreview()
{
    if (m_refreshPreview)
        m_refreshPreview();
}

// ---- dish lookup ----

void OrderEntry::filterDishList()
{
    m_dishModel->setMatches(matchDishes(m_catalog, m_form.dishCode->text()));
    if (m_dishModel->rowCount() > 0) {
        const QModelIndex first = m_dishModel->index(0, DishListModel::NameColumn);
        m_form.dishList->selectionModel()->setCurrentIndex(
            first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_form.dishList->scrollTo(first);
    }
}

void OrderEntry::moveDishSelection(int step)
{
    const int rows = m_dishModel->rowCount();
    if (rows == 0)
        return;
    const QModelIndex current = m_form.dishList->selectionModel()->currentIndex();
    const int row = current.isValid() ? qBound(0, current.row() + step, rows - 1) : 0;
    const QModelIndex target = m_dishModel->index(row, DishListModel::NameColumn);
    m_form.dishList->selectionModel()->setCurrentIndex(target,
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_form.dishList->scrollTo(target);
}

void OrderEntry::chooseDish()
{
    QItemSelectionModel *selection = m_form.dishList->selectionModel();
    if (m_dishModel->rowCount() == 0 || !selection->hasSelection())
        return;
    const QModelIndexList rows = selection->selectedRows(DishListModel::NameColumn);
    if (rows.isEmpty())
        return;
    const QString name = rows.first().data().toString();

    const std::optional<QString> quantity = m_context.prompter->input(
        m_form.window, QStringLiteral("菜品选择"),
        QStringLiteral("请输入菜品：") + name + QStringLiteral(" 的数量。\r\n\r\n按 Esc键 取消选择。"),
        QStringLiteral("1"), InputKind::Decimal);
    if (!quantity)
        return;

    QTableWidget *grid = m_form.grid;
    int row = 0;
    while (row < grid->rowCount() && !cellText(row, QuantityColumn).isEmpty())
        ++row;
    if (row == grid->rowCount())
        grid->insertRow(row);
    setCellText(row, NameColumn, name);
    setCellText(row, QuantityColumn, *quantity);
    grid->setCurrentCell(row, QuantityColumn);
    recalcCurrentLine();

    m_form.dishCode->setFocus();
    m_form.dishCode->selectAll();
}

// ---- order lines ----

QString OrderEntry::cellText(int row, int column) const
{
    const QTableWidgetItem *item = m_form.grid->item(row, column);
    return item ? item->text() : QString();
}

void OrderEntry::setCellText(int row, int column, const QString &text)
{
    ++m_writingGrid;
    if (QTableWidgetItem *item = m_form.grid->item(row, column)) {
        item->setText(text);
    } else {
        item = new QTableWidgetItem(text);
        if (column != NameColumn)
            item->setTextAlignment(Qt::AlignCenter);
        m_form.grid->setItem(row, column, item);
    }
    --m_writingGrid;
}

void OrderEntry::ensureTrailingEmptyRow()
{
    QTableWidget *grid = m_form.grid;
    if (grid->rowCount() == 0 || !cellText(grid->rowCount() - 1, NameColumn).trimmed().isEmpty())
        grid->insertRow(grid->rowCount());
}

void OrderEntry::recalcCurrentLine()
{
    recalcLine(m_form.grid->currentRow(), m_form.grid->currentColumn());
}

void OrderEntry::recalcLine(int row, int column)
{
    QTableWidget *grid = m_form.grid;
    if (row < 0 || row >= grid->rowCount())
        return;
    OrderLine line{cellText(row, NameColumn).trimmed(), cellText(row, QuantityColumn), cellText(row, UnitColumn),
                   cellText(row, AmountColumn)};
    if (line.name.isEmpty())
        return;
    // A line marked as out of the catalog keeps its stored price while it holds that
    // dish; another dish, or the same one back in the catalog, follows the usual rules.
    const QTableWidgetItem *nameItem = grid->item(row, NameColumn);
    const bool marked = nameItem && nameItem->data(kStoredNameRole).isValid();
    const bool outOfCatalog = isLineOutOfCatalog(row) && findDish(m_catalog, line.name) < 0;
    const double storedPrice = outOfCatalog ? nameItem->data(kStoredPriceRole).toDouble() : 0.0;
    if (marked && !outOfCatalog)
        clearLineMark(row);
    line = vorlan::recalcLine(m_catalog, line, column == AmountColumn, m_context.decimalPlaces);
    if (outOfCatalog && column != AmountColumn)
        line.amount = formatDouble(roundHalfUp(storedPrice * parseNumber(line.quantity), 1));
    setCellText(row, QuantityColumn, line.quantity);
    setCellText(row, UnitColumn, line.unit);
    setCellText(row, AmountColumn, line.amount);

    recomputeTotals(TotalsReason::LineChanged);
    ensureTrailingEmptyRow();
    refreshPreview();
}

bool OrderEntry::canEditCell(int row, int column) const
{
    if (row < 0 || row >= m_form.grid->rowCount() || column < 0 || column >= LineColumnCount)
        return false;
    return canEditLineCell(column, cellText(row, NameColumn));
}

void OrderEntry::deleteCurrentLine()
{
    QTableWidget *grid = m_form.grid;
    const int row = grid->currentRow();
    const int column = grid->currentColumn();
    if (row < 0 || row >= grid->rowCount() || column < 0 || cellText(row, NameColumn).trimmed().isEmpty())
        return;
    if (!m_context.prompter->ask(m_form.window, PromptIcon::Question, QString(),
                                 QStringLiteral("是否删除光标所在的整行数据。"), PromptDefault::Yes))
        return;
    grid->removeRow(row);
    ensureTrailingEmptyRow();
    grid->setCurrentCell(qMin(row, grid->rowCount() - 1), column);
    // The line that moves under the cursor is left as it is: recalculating it would put
    // the catalog price over an amount the operator typed for it.
    recomputeTotals(TotalsReason::LineDeleted);
    // The preview must not keep showing a line that is gone.
    refreshPreview();
}

void OrderEntry::onGridContextMenu(const QPoint &pos)
{
    QTableWidget *grid = m_form.grid;
    // The right-clicked cell becomes the cursor first, so the menu acts on the line the
    // operator pointed at.
    const QModelIndex under = grid->indexAt(pos);
    if (under.isValid())
        grid->setCurrentCell(under.row(), under.column());
    const int row = grid->currentRow();
    if (!under.isValid() || row < 0 || grid->currentColumn() < 0 || row >= grid->rowCount() - 1)
        return;
    m_lineMenu->popup(grid->viewport()->mapToGlobal(pos));
}

QList<OrderLine> OrderEntry::lines() const
{
    QList<OrderLine> result;
    for (int row = 0; row < m_form.grid->rowCount(); ++row) {
        OrderLine line{cellText(row, NameColumn), cellText(row, QuantityColumn), cellText(row, UnitColumn),
                       cellText(row, AmountColumn)};
        if (!line.name.trimmed().isEmpty())
            result.append(line);
    }
    return result;
}

bool OrderEntry::hasLines() const { return m_form.grid->rowCount() > 1; }

void OrderEntry::clearLines()
{
    ++m_writingGrid;
    m_form.grid->clearContents();
    m_form.grid->setRowCount(1);
    --m_writingGrid;
}

void OrderEntry::setLines(const QList<OrderLine> &lines)
{
    clearLines();
    QTableWidget *grid = m_form.grid;
    grid->setRowCount(int(lines.size()) + 1);
    for (int row = 0; row < lines.size(); ++row) {
        const OrderLine &line = lines.at(row);
        setCellText(row, NameColumn, line.name);
        setCellText(row, QuantityColumn, line.quantity);
        setCellText(row, UnitColumn, line.unit);
        setCellText(row, AmountColumn, line.amount);
    }
}

void OrderEntry::markLineOutOfCatalog(int row)
{
    QTableWidget *grid = m_form.grid;
    QTableWidgetItem *nameItem = grid->item(row, NameColumn);
    if (!nameItem)
        return;
    const double quantity = parseNumber(cellText(row, QuantityColumn));
    const double price = isZero(quantity) ? 0.0 : parseNumber(cellText(row, AmountColumn)) / quantity;
    ++m_writingGrid;
    nameItem->setData(kStoredPriceRole, price);
    nameItem->setData(kStoredNameRole, nameItem->text().trimmed());
    for (int column = 0; column < LineColumnCount; ++column)
        if (QTableWidgetItem *item = grid->item(row, column)) {
            item->setBackground(kOutOfCatalogTint);
            item->setToolTip(QStringLiteral("该菜品已不在商品列表中，按原单价和单位点单"));
        }
    --m_writingGrid;
}

bool OrderEntry::isLineOutOfCatalog(int row) const
{
    const QTableWidgetItem *nameItem = m_form.grid->item(row, NameColumn);
    return nameItem && nameItem->data(kStoredNameRole).isValid()
        && nameItem->data(kStoredNameRole).toString() == nameItem->text().trimmed();
}

void OrderEntry::clearLineMark(int row)
{
    ++m_writingGrid;
    for (int column = 0; column < LineColumnCount; ++column)
        if (QTableWidgetItem *item = m_form.grid->item(row, column)) {
            item->setData(Qt::BackgroundRole, QVariant());
            item->setData(Qt::ToolTipRole, QVariant());
            item->setData(kStoredPriceRole, QVariant());
            item->setData(kStoredNameRole, QVariant());
        }
    --m_writingGrid;
}

// ---- amounts ----

void OrderEntry::recomputeTotals(TotalsReason reason)
{
    QStringList amounts;
    for (int row = 0; row < m_form.grid->rowCount(); ++row)
        amounts.append(cellText(row, AmountColumn));
    const double sum = lineSum(amounts);
    if (reason == TotalsReason::DiscountChanged && isZero(sum))
        return;

    const QString total =
        formatDouble(orderTotal(sum, m_form.discount->currentText(), m_form.discountAmount->text()));
    m_form.total->setText(total);
    if (reason != TotalsReason::LineChanged || !nothingPaidYet(m_form.paymentMethod->currentText()))
        m_form.paid->setText(total);
    setTextAndNotify(m_form.actuallyPaid, total, [this] { onActualPaidChanged(); });
}

void OrderEntry::onActualPaidChanged()
{
    m_form.paid->setText(
        paidText(m_form.paymentMethod->currentText(), m_form.actuallyPaid->text(), m_form.total->text()));
}

void OrderEntry::onPaymentMethodChosen()
{
    onActualPaidChanged();
    refreshPreview();
}

void OrderEntry::onDiscountChosen()
{
    recomputeTotals(TotalsReason::DiscountChanged);
    refreshPreview();
}

void OrderEntry::onDiscountAmountChanged() { recomputeTotals(TotalsReason::DiscountChanged); }

// ---- customer, table and header fields ----

void OrderEntry::lookupCustomer()
{
    std::optional<CustomerContact> contact;
    if (m_context.store)
        contact = findCustomerByPhone(*m_context.store, m_form.phone->text());
    m_form.name->setText(contact ? contact->name : QString());
    m_form.address->setText(contact ? contact->address : QString());
}

void OrderEntry::onTableCodeChanged()
{
    const QString code = m_form.tableCode->text();
    const int match = matchTableCode(m_tableCodes, code);
    QComboBox *table = m_form.table;
    const QSignalBlocker blocker(table);
    table->clear();
    const int last = match >= 0 ? match : int(m_tableNames.size()) - 1;
    for (int i = 0; i <= last && i < m_tableNames.size(); ++i)
        table->addItem(m_tableNames.at(i));
    table->setCurrentIndex(match >= 0 && match < table->count() ? match : -1);
}

void OrderEntry::refreshHeaderList()
{
    if (m_context.store)
        fillComboFromQuery(m_form.header, *m_context.store, QStringLiteral("select * from 票头设置 order by ID"),
                           QStringLiteral("票头"));
}

void OrderEntry::refreshShopList()
{
    if (m_context.store)
        fillComboFromQuery(m_form.shopName, *m_context.store, QStringLiteral("select * from 店名 order by ID"),
                           QStringLiteral("店铺名称"));
}

void OrderEntry::refreshDiscountList()
{
    if (m_context.store)
        fillComboFromQuery(m_form.discount, *m_context.store, QStringLiteral("select * from 减免 order by ID"),
                           QStringLiteral("减免名称"));
}

void OrderEntry::refreshTableList()
{
    if (m_context.store)
        fillComboFromQuery(m_form.table, *m_context.store, QStringLiteral("select * from 桌号 order by ID"),
                           QStringLiteral("桌号名称"));
}

// ---- keys and focus ----

bool OrderEntry::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == m_form.dishCode) {
            if (isEnter(key->key())) {
                chooseDish();
                return false;
            }
            if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                moveDishSelection(key->key() == Qt::Key_Up ? -1 : 1);
                return true;
            }
            // The full stop of the main keyboard is not part of any code.
            if (key->key() == Qt::Key_Period && !(key->modifiers() & Qt::KeypadModifier))
                return true;
        } else if (watched == m_form.dishList) {
            if (isEnter(key->key())) {
                chooseDish();
                return true;
            }
        } else if (watched == m_form.grid) {
            // While a cell is edited its editor has the keys, so this is the grid's own Delete.
            if (key->key() == Qt::Key_Delete) {
                deleteCurrentLine();
                return true;
            }
        }
    } else if (event->type() == QEvent::FocusOut) {
        if (m_redrawOnLeave.contains(qobject_cast<QWidget *>(watched)))
            refreshPreview();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vorlan
