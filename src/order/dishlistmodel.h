#pragma once

#include "dishcatalog.h"

#include <QAbstractTableModel>
#include <QList>

namespace vorlan {

// The matching dishes as a table: one row per listed catalog index, with the columns
// (hidden), 数字代号, 字母代号, 品名, 价格, 单位. The rows only hold catalog indices, so a
// keystroke that lists tens of thousands of dishes creates no per-row objects.
class DishListModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { HiddenColumn, CodeColumn, LetterColumn, NameColumn, PriceColumn, UnitColumn, ColumnCount };

    explicit DishListModel(const DishCatalog &catalog, QObject *parent = nullptr);

    void setMatches(QList<int> matches);
    void clear() { setMatches({}); }
    const QList<int> &matches() const { return m_matches; }
    // Catalog index listed in `row`, or -1.
    int dishAt(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const DishCatalog &m_catalog;
    QList<int> m_matches;
};

} // namespace vorlan
