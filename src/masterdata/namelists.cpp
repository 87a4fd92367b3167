#include "namelists.h"

#include "core/datastore.h"

namespace vorlan {

const NameList &nameList(NameListKind kind)
{
    static const NameList lists[] = {
        {NameListKind::Headers, QStringLiteral("票头设置"), QStringLiteral("票头设置"), QStringLiteral("票头"), 32, true},
        {NameListKind::Shops, QStringLiteral("店铺名称设置"), QStringLiteral("店名"), QStringLiteral("店铺名称"), 32, true},
        {NameListKind::Discounts, QStringLiteral("优惠减免设置"), QStringLiteral("减免"), QStringLiteral("减免名称"), 16, true},
        {NameListKind::Units, QStringLiteral("计量单位设置"), QStringLiteral("单位"), QStringLiteral("单位名称"), 8, false},
    };
    return lists[static_cast<int>(kind)];
}

QStringList readListNames(DataStore &store, const NameList &list)
{
    QStringList names;
    store.query(QStringLiteral("select %1 from %2 order by ID").arg(list.column, list.table));
    while (!store.atEnd()) {
        names.append(store.readText(0));
        store.next();
    }
    store.closeQuery();
    return names;
}

AddNameResult addListName(DataStore &store, const NameList &list, const QStringList &items, const QString &text)
{
    if (text.isEmpty())
        return AddNameResult::Empty;
    if (items.contains(text))
        return AddNameResult::Exists;
    if (!store.execute(QStringLiteral("insert into %1 (%2) values (?)").arg(list.table, list.column), {text}))
        return AddNameResult::Failed;
    return AddNameResult::Added;
}

DeleteNameResult deleteListName(DataStore &store, const NameList &list, const QStringList &items,
                                const QString &text)
{
    if (text.isEmpty() || !items.contains(text))
        return DeleteNameResult::NotListed;
    if (!store.execute(QStringLiteral("delete from %1 where %2 = ?").arg(list.table, list.column), {text}))
        return DeleteNameResult::Failed;
    return DeleteNameResult::Deleted;
}

QString addNameMessage(AddNameResult result)
{
    switch (result) {
    case AddNameResult::Empty: return QStringLiteral("请填入要添加的内容");
    case AddNameResult::Exists: return QStringLiteral("该项已存在");
    case AddNameResult::Added: return QStringLiteral("保存完成");
    case AddNameResult::Failed: return QStringLiteral("保存失败");
    }
    return {};
}

QString deleteNameMessage(DeleteNameResult result)
{
    switch (result) {
    case DeleteNameResult::NotListed: return QStringLiteral("请填入或选择要删除的内容");
    case DeleteNameResult::Failed: return QStringLiteral("删除失败");
    case DeleteNameResult::Deleted: return QStringLiteral("删除完成");
    }
    return {};
}

} // namespace vorlan
