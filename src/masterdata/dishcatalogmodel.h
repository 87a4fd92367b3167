#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

namespace vorlan {

class DataStore;
struct DishFields;

// One row of the catalog list, as shown.
struct CatalogRow {
    QString code, letters, name, price, unit;
};

// The catalog window's list: the working copy of the dish table. Duplicate checks and the
// lookup of the item to modify search these rows; every add, modify and delete updates
// them in the same step. Columns: (hidden), 数字代号, 字母代号, 品名, 价格, 单位.
class DishCatalogModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { HiddenColumn, CodeColumn, LetterColumn, NameColumn, PriceColumn, UnitColumn, ColumnCount };

    explicit DishCatalogModel(QObject *parent = nullptr);

    // Replaces the rows with the dish table's, in stored order; the price in its
    // shortest form (12.5, not 12.50). False when the table could not be read.
    bool load(DataStore &store);

    static CatalogRow rowFromFields(const DishFields &fields);

    const CatalogRow &row(int index) const { return m_rows.at(index); }
    int size() const { return int(m_rows.size()); }
    // The first row whose code (name) equals the text exactly, or -1.
    int findCode(const QString &code) const;
    int findName(const QString &name) const;

    // Appends a row and returns its index.
    int appendRow(const CatalogRow &row);
    void setRow(int index, const CatalogRow &row);
    void removeRowAt(int index);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<CatalogRow> m_rows;
};

} // namespace vorlan
