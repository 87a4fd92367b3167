#pragma once

#include <QString>
#include <QStringList>

namespace vorlan {

class DataStore;

// The four lists of names other windows offer in combo boxes. Each is a one-column table.
enum class NameListKind { Headers, Shops, Discounts, Units };

struct NameList {
    NameListKind kind;
    QString windowName; // object name and caption of its window
    QString table;
    QString column;
    int maxLength;       // the column's width
    bool emptyFirstItem; // the combo boxes of receipt headers, shops and discounts start with ""
};

const NameList &nameList(NameListKind kind);

// The names in stored order.
QStringList readListNames(DataStore &store, const NameList &list);

enum class AddNameResult { Empty = -1, Exists = 0, Added = 1, Failed = 2 };
enum class DeleteNameResult { NotListed = -1, Failed = 0, Deleted = 1 };

// Adds `text` exactly as typed (a name of blanks is a name) unless it is empty or one of
// `items`, the names the window lists.
AddNameResult addListName(DataStore &store, const NameList &list, const QStringList &items, const QString &text);
// Deletes every stored row with this name, provided the window lists it.
DeleteNameResult deleteListName(DataStore &store, const NameList &list, const QStringList &items,
                                const QString &text);

// What the operator is told (caption "提示", information icon).
QString addNameMessage(AddNameResult result);
QString deleteNameMessage(DeleteNameResult result);

} // namespace vorlan
