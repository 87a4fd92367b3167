#include "dishrules.h"

#include "core/datastore.h"
#include "core/numbers.h"

namespace vorlan {

namespace {
bool isBlank(QChar c) { return c == u' ' || c == u'\u3000'; }
} // namespace

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

DishFields readDishFields(const QString &code, const QString &letters, const QString &name,
                          const QString &priceText, const QString &unit)
{
    DishFields fields;
    fields.code = trimBlanks(code);
    fields.letters = trimBlanks(letters);
    fields.name = trimBlanks(name);
    fields.price = roundHalfUp(parseNumber(priceText), 1);
    fields.unit = unit;
    return fields;
}

QString dishFieldsProblem(const DishFields &fields)
{
    if (fields.code.isEmpty())
        return QStringLiteral("数字代号不能为空，请输入代号后重试。");
    if (fields.name.isEmpty())
        return QStringLiteral("名称不能为空，请输入名称后重试。");
    if (!(fields.price > 1e-7))
        return QStringLiteral("价格不能小于或者等于0，请输入价格后重试。");
    if (fields.unit.isEmpty())
        return QStringLiteral("没有选择项目的计量单位，请选择后重试。");
    return {};
}

QString dishPriceText(double price) { return formatStoredNumber(price); }

bool insertDish(DataStore &store, const DishFields &fields)
{
    return store.execute(QStringLiteral("insert into 菜单 (代码,字母,菜名,价格,单位) values (?,?,?,?,?)"),
                         {fields.code, fields.letters, fields.name, fields.price, fields.unit});
}

bool updateDishByName(DataStore &store, const DishFields &fields)
{
    return store.execute(QStringLiteral("update 菜单 set 代码 = ?, 字母 = ?, 单位 = ?, 价格 = ? where 菜名 = ?"),
                         {fields.code, fields.letters, fields.unit, fields.price, fields.name});
}

bool deleteDish(DataStore &store, const QString &code, const QString &name)
{
    return store.execute(QStringLiteral("delete from 菜单 where 代码 = ? and 菜名 = ?"), {code, name});
}

} // namespace vorlan
