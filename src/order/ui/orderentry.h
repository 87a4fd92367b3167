#pragma once

#include "core/appcontext.h"
#include "order/dishcatalog.h"
#include "order/orderline.h"
#include "order/ui/mainform.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class QMenu;

namespace vorlan {

class DishListModel;

// The order being composed on the main window: dish lookup, order lines, amounts,
// customer and header fields. The order lives in the window's controls; this class wires
// their events to the rules of the order library and writes the results back.
//
// Grid rows are the order lines; the last row is always the empty row where the next dish
// goes (the column titles are the grid's own header, not a row).
class OrderEntry final : public QObject
{
    Q_OBJECT
public:
    // Why the money fields are recomputed; the three cases differ only in how the paid
    // field is treated.
    enum class TotalsReason { LineChanged, LineDeleted, DiscountChanged };

    // `catalog`, `tableCodes` and `tableNames` are the window's live lists; they are read
    // at every use, so reloading them needs no call here.
    OrderEntry(MainForm &form, AppContext &context, const DishCatalog &catalog, const QStringList &tableCodes,
               const QStringList &tableNames, std::function<void()> refreshPreview, QObject *parent = nullptr);
    ~OrderEntry() override;

    // Dish lookup.
    void filterDishList();
    void chooseDish();
    DishListModel *dishListModel() const { return m_dishModel; }

    // Order lines.
    void recalcCurrentLine();
    void recalcLine(int row, int column);
    bool canEditCell(int row, int column) const;
    void deleteCurrentLine();
    QMenu *lineMenu() const { return m_lineMenu; }

    // Amounts.
    void recomputeTotals(TotalsReason reason);
    void onActualPaidChanged();
    void onPaymentMethodChosen();
    void onDiscountChosen();
    void onDiscountAmountChanged();

    // Customer, table and header fields.
    void lookupCustomer();
    void onTableCodeChanged();
    void refreshHeaderList();
    void refreshShopList();
    void refreshDiscountList();
    void refreshTableList();

    // The lines of the order (rows with a name; the trailing empty row is left out).
    QList<OrderLine> lines() const;
    bool hasLines() const;
    // Back to the empty row only. The money fields are not touched.
    void clearLines();
    // Replaces the grid with these lines (as stored, not recomputed) plus the empty row.
    void setLines(const QList<OrderLine> &lines);
    // Marks line `row` as a dish that is no longer in the catalog (a repeated order): the
    // line is tinted, and a changed quantity keeps its stored unit price. Choosing a
    // catalog dish on the line removes the mark.
    void markLineOutOfCatalog(int row);
    bool isLineOutOfCatalog(int row) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void setupDishList();
    void setupGrid();
    void moveDishSelection(int step);
    void onGridContextMenu(const QPoint &pos);
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString &text);
    void ensureTrailingEmptyRow();
    void clearLineMark(int row);
    void refreshPreview();

    MainForm &m_form;
    AppContext &m_context;
    const DishCatalog &m_catalog;
    const QStringList &m_tableCodes;
    const QStringList &m_tableNames;
    std::function<void()> m_refreshPreview;
    DishListModel *m_dishModel = nullptr;
    QMenu *m_lineMenu = nullptr;
    int m_writingGrid = 0; // > 0 while the program itself writes grid cells
    QList<QWidget *> m_redrawOnLeave;
};

} // namespace vorlan
