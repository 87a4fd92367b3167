#include "dishlistmodel.h"

namespace vorlan {

DishListModel::DishListModel(const DishCatalog &catalog, QObject *parent)
    : QAbstractTableModel(parent)
    , m_catalog(catalog)
{
}

void DishListModel::setMatches(QList<int> matches)
{
    beginResetModel();
    m_matches = std::move(matches);
    endResetModel();
}

int DishListModel::dishAt(int row) const
{
    if (row < 0 || row >= m_matches.size())
        return -1;
    const int dish = m_matches.at(row);
    // The catalog may have been reloaded with fewer dishes since the list was filled.
    return dish < m_catalog.size() ? dish : -1;
}

int DishListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_matches.size());
}

int DishListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DishListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const int dish = dishAt(index.row());
    if (dish < 0)
        return {};
    switch (index.column()) {
    case CodeColumn: return m_catalog.codes.at(dish);
    case LetterColumn: return m_catalog.letters.at(dish);
    case NameColumn: return m_catalog.names.at(dish);
    case PriceColumn: return m_catalog.prices.at(dish);
    case UnitColumn: return m_catalog.units.at(dish);
    default: return QString();
    }
}

QVariant DishListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case CodeColumn: return QStringLiteral("数字代号");
    case LetterColumn: return QStringLiteral("字母代号");
    case NameColumn: return QStringLiteral("品名");
    case PriceColumn: return QStringLiteral("价格");
    case UnitColumn: return QStringLiteral("单位");
    default: return QString();
    }
}

} // namespace vorlan
