#pragma once

#include "historyfilter.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vorlan {

class DataStore;

// A free-text field as the export writes it: each line feed becomes the two characters
// backslash and n, each comma a full-width comma; carriage returns stay.
QString cleanCsvText(const QString &text);

// The lines after the last order line: an empty line, the filter description without
// "正在浏览" and full-width colons, and the three status-bar texts in half-width
// characters with their colons turned into commas. No line end after the last.
QString csvFooter(const QString &description, const QStringList &statusTexts);

struct CsvExportResult {
    enum class Status { Written, Cancelled, Failed };
    Status status = Status::Failed;
    QString error;
    qint64 lines = 0;  // order lines written
    qint64 orders = 0; // orders written
};

// Writes every order of the filter with its lines to `path`: GBK, CR LF, the 21 titles,
// one line per order line (the 17 order fields on an order's first line only), then the
// footer. The file is replaced only when the whole export succeeded. `progress` hears
// the number of orders written now and then; returning false cancels.
// SQLite reads the rows itself on the driver's connection when the driver uses the same
// SQLite library as this program; otherwise the same bytes come through Qt's statements.
CsvExportResult exportHistoryCsv(DataStore &store, const HistoryFilter &filter, const QString &path,
                                 const QString &description, const QStringList &statusTexts,
                                 const std::function<bool(qint64 orders)> &progress = {});

} // namespace vorlan
