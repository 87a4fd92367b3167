#include "dishcatalogmodel.h"

#include "dishrules.h"
#include "core/datastore.h"
#include "core/numbers.h"

#include <QHash>

namespace vorlan {

DishCatalogModel::DishCatalogModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

bool DishCatalogModel::load(DataStore &store)
{
    QList<CatalogRow> rows;
    // A shop has few distinct prices; writing each once keeps a large catalog quick.
    QHash<double, QString> priceTexts;
    const auto priceText = [&](double price) {
        auto it = priceTexts.constFind(price);
        if (it == priceTexts.constEnd())
            it = priceTexts.insert(price, dishPriceText(price));
        return *it;
    };
    const bool ok = store.query(QStringLiteral("select 代码, 字母, 菜名, 价格, 单位 from 菜单 order by ID"));
    while (!store.atEnd()) {
        // A price stored as text is read the way the operator's input is.
        const QVariant price = store.readValue(3);
        rows.append({store.readText(0), store.readText(1), store.readText(2),
                     priceText(price.typeId() == QMetaType::QString ? parseNumber(price.toString())
                                                                    : price.toDouble()),
                     store.readText(4)});
        store.next();
    }
    store.closeQuery();
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
    return ok;
}

CatalogRow DishCatalogModel::rowFromFields(const DishFields &fields)
{
    return {fields.code, fields.letters, fields.name, dishPriceText(fields.price), fields.unit};
}

int DishCatalogModel::findCode(const QString &code) const
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).code == code)
            return i;
    return -1;
}

int DishCatalogModel::findName(const QString &name) const
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).name == name)
            return i;
    return -1;
}

int DishCatalogModel::appendRow(const CatalogRow &row)
{
    const int index = int(m_rows.size());
    beginInsertRows({}, index, index);
    m_rows.append(row);
    endInsertRows();
    return index;
}

void DishCatalogModel::setRow(int index, const CatalogRow &row)
{
    if (index < 0 || index >= m_rows.size())
        return;
    m_rows[index] = row;
    emit dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
}

void DishCatalogModel::removeRowAt(int index)
{
    if (index < 0 || index >= m_rows.size())
        return;
    beginRemoveRows({}, index, index);
    m_rows.removeAt(index);
    endRemoveRows();
}

int DishCatalogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DishCatalogModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant DishCatalogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || role != Qt::DisplayRole)
        return {};
    const CatalogRow &r = m_rows.at(index.row());
    switch (index.column()) {
    case CodeColumn: return r.code;
    case LetterColumn: return r.letters;
    case NameColumn: return r.name;
    case PriceColumn: return r.price;
    case UnitColumn: return r.unit;
    default: return QString();
    }
}

QVariant DishCatalogModel::headerData(int section, Qt::Orientation orientation, int role) const
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
