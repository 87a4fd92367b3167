#pragma once

#include <QtGlobal>

namespace vorlan {

// Lists shown a page at a time (order history, customers) show 200 rows a page.
inline constexpr int kListPageSize = 200;

// Pages of `rows` rows, rounded up.
inline int listPageCount(qint64 rows) { return int((rows + kListPageSize - 1) / kListPageSize); }

struct PagePlace {
    int pageCount = 0;
    int page = 0;        // 0 when there are no rows
    bool listed = false; // false: only the count and totals are refreshed
};

// Where a request for page `requested` lands among `rows` rows: -1 is the last page, a
// page beyond the last shows the last, and any other value below 1 lists nothing.
inline PagePlace placePage(qint64 rows, int requested)
{
    PagePlace place;
    place.pageCount = listPageCount(rows);
    if (requested != -1 && requested < 1)
        return place;
    place.listed = true;
    place.page = (requested == -1 || requested > place.pageCount) ? place.pageCount : requested;
    return place;
}

} // namespace vorlan
