#include "dishlookup.h"

namespace vorlan {

namespace {
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\u3000';
}
} // namespace

QString trimCodeEntry(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QList<int> matchDishes(const DishCatalog &catalog, const QString &typed)
{
    QList<int> rows;
    const QString text = trimCodeEntry(typed);
    if (text.isEmpty())
        return rows;
    const int n = catalog.size();
    for (int i = 0; i < n; ++i) {
        if (catalog.codes.at(i).contains(text, Qt::CaseSensitive))
            rows.append(i);
        if (catalog.letters.at(i).contains(text, Qt::CaseSensitive))
            rows.append(i);
    }
    return rows;
}

int findDish(const DishCatalog &catalog, const QString &name)
{
    return int(catalog.names.indexOf(name));
}

} // namespace vorlan
