#include "reportgrid.h"

#include <QHeaderView>

namespace vorlan {

ReportGrid::ReportGrid(int columns, int columnWidth, QWidget *parent)
    : QTableWidget(0, columns, parent)
    , m_columnWidth(columnWidth)
{
    setObjectName(QStringLiteral("高级表格1"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(24);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    for (int c = 0; c < columns; ++c)
        setColumnWidth(c, columnWidth);
}

void ReportGrid::restart(int rows)
{
    clearSpans();
    clearContents();
    setRowCount(rows);
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, m_columnWidth);
}

void ReportGrid::setCell(int row, int column, const QString &text, const QColor &colour)
{
    if (row >= rowCount())
        setRowCount(row + 1);
    auto *cell = new QTableWidgetItem(text);
    cell->setTextAlignment(Qt::AlignCenter);
    if (colour.isValid())
        cell->setForeground(colour);
    setItem(row, column, cell);
}

void ReportGrid::setMerged(int row, int first, int last, const QString &text)
{
    if (row >= rowCount())
        setRowCount(row + 1);
    if (last > first)
        setSpan(row, first, 1, last - first + 1);
    setCell(row, first, text);
}

QString ReportGrid::cellText(int row, int column) const
{
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->text() : QString();
}

} // namespace vorlan
