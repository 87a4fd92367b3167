#include "csvexport.h"

#include "core/savefile.h"

#include "ordersummary.h"
#include "utf8togbk.h"

#include "core/datastore.h"
#include "core/gbk.h"
#include "core/sqlitelibrary.h"

#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

namespace vorlan {

QString cleanCsvText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    out.replace(QLatin1Char(','), QStringLiteral("，"));
    return out;
}

QString csvFooter(const QString &description, const QStringList &statusTexts)
{
    QString d = description;
    d.remove(QStringLiteral("正在浏览"));
    d.remove(QStringLiteral("："));
    QString footer = QStringLiteral("\r\n") + d;
    for (const QString &panel : statusTexts) {
        QString p;
        p.reserve(panel.size());
        for (QChar c : panel) {
            if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
                c = QChar(char16_t(c.unicode() - 0xFEE0));
            else if (c.unicode() == 0x3000)
                c = QLatin1Char(' ');
            p.append(c);
        }
        p.replace(QLatin1Char(':'), QLatin1Char(','));
        footer += QStringLiteral("\r\n") + p;
    }
    return footer;
}

namespace {

enum class Form { Integer, Single, Double, Time, Text };

// The 21 columns with their titles and the text form of their type.
struct Column {
    const char *title;
    Form form;
};
constexpr Column kColumns[] = {
    {"ID", Form::Integer},     {"订单编号", Form::Integer}, {"票头", Form::Text},       {"店铺名称", Form::Text},
    {"时间", Form::Time},      {"减免", Form::Text},        {"减免份数", Form::Integer}, {"减免金额", Form::Double},
    {"合计", Form::Single},    {"支付方式", Form::Text},    {"已付", Form::Double},     {"实付", Form::Double},
    {"桌号", Form::Text},      {"电话", Form::Text},        {"姓名", Form::Text},       {"地址", Form::Text},
    {"备注", Form::Text},      {"菜名", Form::Text},        {"数量", Form::Double},     {"单位", Form::Text},
    {"小计", Form::Single},
};
constexpr int kOrderFields = 17;
constexpr int kColumnCount = 21;

// Free text: line feeds as "\n", commas full-width, then GBK. Both bytes are plain
// ASCII, so they never sit inside a UTF-8 sequence.
void appendCleanText(std::string &out, const char *utf8, size_t size)
{
    size_t start = 0;
    for (size_t i = 0; i < size; ++i) {
        const char c = utf8[i];
        if (c != '\n' && c != ',')
            continue;
        appendUtf8AsGbk(out, utf8 + start, i - start);
        out.append(c == '\n' ? "\\n" : "\xA3\xAC"); // "，" in GBK
        start = i + 1;
    }
    appendUtf8AsGbk(out, utf8 + start, size - start);
}

// "%.4f" and "%.8f" as printf writes them. Amounts are small and rarely fall on a
// rounding tie, so the scaled value is rounded directly; what could round differently
// (negative values, huge ones, near-ties) goes the exact way.
void appendFixed(std::string &out, double value, int decimals)
{
    const double scale = decimals == 4 ? 1e4 : 1e8;
    const double scaled = value * scale;
    const double fraction = scaled - std::trunc(scaled);
    if (std::signbit(value) || !(scaled < 8.0e12) || std::fabs(fraction - 0.5) < 0.01) {
        char buffer[400];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        if (r.ec == std::errc())
            out.append(buffer, r.ptr);
        return;
    }
    const auto units = static_cast<unsigned long long>(scaled + 0.5); // no ties get here
    const auto divisor = static_cast<unsigned long long>(scale);
    char buffer[48];
    auto r = std::to_chars(buffer, buffer + 24, units / divisor);
    *r.ptr++ = '.';
    unsigned long long rest = units % divisor;
    for (int i = decimals - 1; i >= 0; --i) {
        r.ptr[i] = char('0' + rest % 10);
        rest /= 10;
    }
    out.append(buffer, r.ptr + decimals);
}

// Column `column` of the cursor's row in the text form of export column `as`.
template<typename Cursor>
void appendField(std::string &out, const Cursor &row, int column, int as)
{
    const int type = row.type(column);
    if (type == SQLITE_NULL)
        return;
    const Form form = kColumns[as].form;
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        switch (form) {
        case Form::Integer: {
            char buffer[32];
            const auto r = std::to_chars(buffer, buffer + sizeof buffer,
                                         type == SQLITE_INTEGER ? row.integer(column)
                                                                : static_cast<sqlite3_int64>(row.real(column)));
            out.append(buffer, r.ptr);
            return;
        }
        case Form::Single:
            appendFixed(out, static_cast<float>(row.real(column)), 4);
            return;
        case Form::Double:
            appendFixed(out, row.real(column), 8);
            return;
        default: break;
        }
    }
    const std::string_view text = row.text(column);
    if (form == Form::Time && text.size() == 16) { // stored without seconds
        out.append(text);
        out.append(":00");
        return;
    }
    appendCleanText(out, text.data(), text.size());
}

// The 17 order fields, each followed by a comma, from columns 0 to 16.
template<typename Cursor>
void appendOrderFields(std::string &out, const Cursor &row)
{
    for (int c = 0; c < kOrderFields; ++c) {
        appendField(out, row, c, c);
        out.push_back(',');
    }
}

// The four line fields from columns first … first+3, and the line end.
template<typename Cursor>
void appendLineFields(std::string &out, const Cursor &row, int first)
{
    for (int c = 0; c < kColumnCount - kOrderFields; ++c) {
        if (c > 0)
            out.push_back(',');
        appendField(out, row, first + c, kOrderFields + c);
    }
    out.append("\r\n");
}

// Rows read by SQLite itself, on the driver's connection: the fast way.
class SqliteCursor
{
public:
    SqliteCursor(sqlite3 *db, const QString &sql, const QVariantList &values)
        : m_db(db)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK) {
            m_statement = nullptr;
            return;
        }
        bind(values, 1);
    }
    ~SqliteCursor() { sqlite3_finalize(m_statement); }
    SqliteCursor(const SqliteCursor &) = delete;
    SqliteCursor &operator=(const SqliteCursor &) = delete;

    bool isValid() const { return m_statement != nullptr; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

    void bind(const QVariantList &values, int first)
    {
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values.at(i);
            if (v.typeId() == QMetaType::QString) {
                const QByteArray text = v.toString().toUtf8();
                sqlite3_bind_text(m_statement, first + i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(m_statement, first + i, v.toLongLong());
            }
        }
    }
    // True on a row; false at the end or on an error (failed() tells which).
    bool step()
    {
        m_rc = sqlite3_step(m_statement);
        return m_rc == SQLITE_ROW;
    }
    bool failed() const { return m_rc != SQLITE_ROW && m_rc != SQLITE_DONE; }
    // Runs the statement again with `id` as its first value; true when it finds a row.
    bool seek(qint64 id)
    {
        sqlite3_reset(m_statement);
        sqlite3_bind_int64(m_statement, 1, id);
        return step();
    }

    int type(int c) const { return sqlite3_column_type(m_statement, c); }
    sqlite3_int64 integer(int c) const { return sqlite3_column_int64(m_statement, c); }
    double real(int c) const { return sqlite3_column_double(m_statement, c); }
    std::string_view text(int c) const
    {
        const char *t = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, c));
        return {t ? t : "", size_t(sqlite3_column_bytes(m_statement, c))};
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
    int m_rc = SQLITE_DONE;
};

// The same rows read through Qt's statements, for a driver that carries its own SQLite
// (whose handle must not reach the SQLite linked here). Free-text columns are selected
// as text by SQLite (castText below), so numbers in them read as SQLite writes them.
class QtCursor
{
public:
    QtCursor(const QSqlDatabase &db, const QString &sql, const QVariantList &values, bool forwardOnly)
        : m_query(db)
    {
        // The export reads three queries in turn.
        m_query.setForwardOnly(forwardOnly);
        m_query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        m_valid = m_query.prepare(sql);
        if (m_valid)
            bind(values, 1);
    }

    bool isValid() const { return m_valid; }
    QString error() const { return m_query.lastError().text(); }
    void bind(const QVariantList &values, int first)
    {
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(first - 1 + i, values.at(i));
    }
    bool step()
    {
        if (!m_executed) {
            m_executed = true;
            if (!m_query.exec()) {
                m_failed = true;
                return false;
            }
        }
        const bool row = m_query.next();
        m_failed = !row && m_query.lastError().isValid();
        return row;
    }
    bool failed() const { return m_failed; }
    bool seek(qint64 id)
    {
        m_query.bindValue(0, id);
        m_executed = false;
        return step();
    }

    int type(int c) const
    {
        const QVariant v = m_query.value(c);
        if (v.isNull())
            return SQLITE_NULL;
        switch (v.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::ULongLong:
        case QMetaType::UInt: return SQLITE_INTEGER;
        case QMetaType::Double: return SQLITE_FLOAT;
        default: return SQLITE_TEXT;
        }
    }
    sqlite3_int64 integer(int c) const { return m_query.value(c).toLongLong(); }
    double real(int c) const { return m_query.value(c).toDouble(); }
    std::string_view text(int c) const
    {
        const QVariant v = m_query.value(c);
        m_text = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
        return {m_text.constData(), size_t(m_text.size())};
    }

private:
    QSqlQuery m_query;
    mutable QByteArray m_text;
    bool m_valid = false;
    bool m_executed = false;
    bool m_failed = false;
};

constexpr qsizetype kFlushSize = 1 << 20;
constexpr int kProgressEvery = 2048; // orders

// The stored columns of export columns first … last-1, comma separated. With castText
// the free-text ones are selected as text, converted by SQLite.
QString columnList(int first, int last, bool castText)
{
    static const char *const names[kColumnCount] = {
        "存单.ID", "编号", "票头", "店铺名称", "时间", "减免", "减免份数", "减免金额", "合计", "支付方式", "已付",
        "实付", "桌号", "电话", "姓名", "地址", "备注", "菜名", "数量", "单位", "小计"};
    QStringList columns;
    for (int c = first; c < last; ++c) {
        const QString name = QString::fromUtf8(names[c]);
        const bool text = kColumns[c].form == Form::Text || kColumns[c].form == Form::Time;
        columns << (castText && text ? QStringLiteral("cast(%1 as text)").arg(name) : name);
    }
    return columns.join(QLatin1Char(','));
}

template<typename Cursor, typename Open>
CsvExportResult writeExport(DataStore &store, const HistoryFilter &filter, const QString &path,
                            const QString &description, const QStringList &statusTexts,
                            const std::function<bool(qint64 orders)> &progress, Open open, bool castText)
{
    CsvExportResult result;
    const QString orderColumns = columnList(0, kOrderFields, castText);
    const QString lineColumns = columnList(kOrderFields, kColumnCount, castText);
    const QString condition = filter.isEmpty() ? QString() : QStringLiteral(" and ") + filter.condition();
    // Without a filter, or with one no index serves, the export walks both tables once in
    // the order they were stored: the lines, and beside them the orders by ID. An order's
    // lines are always stored together, so they come together. A filtered export reads
    // the join in ID order; a time filter only the ID blocks that hold its days, when the
    // order summary is there to tell them.
    const bool wholeTables = filter.kind == HistoryFilter::Kind::All || filter.kind == HistoryFilter::Kind::Takeout;
    QVariantList values;
    QString sql;
    if (wholeTables) {
        sql = QStringLiteral("select 存单ID,") + lineColumns + QStringLiteral(" from 存单详单 order by ID");
    } else {
        sql = QStringLiteral("select ") + orderColumns + QLatin1Char(',') + lineColumns
            + QStringLiteral(" from 存单,存单详单 where 存单详单.存单ID = 存单.ID");
        if (filter.isTimeRange()) {
            if (const auto blocks = summaryBlocks(store, filter)) {
                sql += QStringLiteral(" and 存单.ID >= ? and 存单.ID < ?");
                values << (blocks->isEmpty() ? 0 : blocks->first().block * kSummaryBlockSize)
                       << (blocks->isEmpty() ? 0 : (blocks->last().block + 1) * kSummaryBlockSize);
            }
        }
        sql += condition + QStringLiteral(" order by 存单.ID, 存单详单.ID");
        values += filter.values();
    }
    store.closeQuery();
    Cursor rows = open(sql, values);
    Cursor orders = open(QStringLiteral("select %1 from 存单 where 1=1%2 order by ID").arg(orderColumns, condition),
                         filter.values());
    Cursor oneOrder = open(QStringLiteral("select %1 from 存单 where 存单.ID = ?%2").arg(orderColumns, condition), {});
    if (!rows.isValid() || !orders.isValid() || !oneOrder.isValid()) {
        result.error = !rows.isValid() ? rows.error() : !orders.isValid() ? orders.error() : oneOrder.error();
        return result;
    }
    oneOrder.bind(filter.values(), 2);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }

    std::string out;
    out.reserve(size_t(kFlushSize) + 4096);
    for (int c = 0; c < kColumnCount; ++c) {
        if (c > 0)
            out.push_back(',');
        appendUtf8AsGbk(out, kColumns[c].title, std::strlen(kColumns[c].title));
    }
    out.append("\r\n");

    auto flush = [&] {
        if (file.write(out.data(), qint64(out.size())) != qint64(out.size()))
            return false;
        out.clear();
        return true;
    };

    bool failed = false;
    bool cancelled = false;
    bool first = true;
    sqlite3_int64 previous = 0;
    bool previousWritten = false;
    // The orders cursor of a whole-table export: whether it stands on an order.
    bool onOrder = wholeTables && orders.step();
    while (rows.step()) {
        const sqlite3_int64 id = rows.integer(0);
        const bool newOrder = first || id != previous;
        first = false;
        previous = id;
        if (!newOrder) {
            if (!previousWritten)
                continue;
            out.append(",,,,,,,,,,,,,,,,,");
        } else {
            const Cursor *order = &rows;
            if (wholeTables) {
                while (onOrder && orders.integer(0) < id)
                    onOrder = orders.step();
                if (onOrder && orders.integer(0) == id)
                    order = &orders;
                else // a line stored out of turn, or an order the filter leaves out
                    order = oneOrder.seek(id) ? &oneOrder : nullptr;
            }
            previousWritten = order != nullptr;
            if (!order)
                continue;
            appendOrderFields(out, *order);
            if (++result.orders % kProgressEvery == 0 && progress && !progress(result.orders)) {
                cancelled = true;
                break;
            }
        }
        appendLineFields(out, rows, wholeTables ? 1 : kOrderFields);
        ++result.lines;
        if (qsizetype(out.size()) >= kFlushSize && !flush()) {
            failed = true;
            break;
        }
    }
    if (!failed && !cancelled && (rows.failed() || orders.failed() || oneOrder.failed())) {
        result.error = rows.failed() ? rows.error() : orders.failed() ? orders.error() : oneOrder.error();
        failed = true;
    }

    if (cancelled) {
        file.cancelWriting();
        result.status = CsvExportResult::Status::Cancelled;
        return result;
    }
    if (!failed) {
        const QByteArray footer = gbk::encode(csvFooter(description, statusTexts));
        out.append(footer.constData(), size_t(footer.size()));
        failed = !flush();
    }
    if (failed || !commitSaveFile(file)) {
        if (result.error.isEmpty())
            result.error = file.errorString();
        file.cancelWriting();
        return result;
    }
    if (progress)
        progress(result.orders);
    result.status = CsvExportResult::Status::Written;
    return result;
}

} // namespace

CsvExportResult exportHistoryCsv(DataStore &store, const HistoryFilter &filter, const QString &path,
                                 const QString &description, const QStringList &statusTexts,
                                 const std::function<bool(qint64 orders)> &progress)
{
    const QSqlDatabase db = store.database();
    if (!store.isOpen() || !db.isOpen()) {
        CsvExportResult result;
        result.error = QStringLiteral("数据库未打开");
        return result;
    }
    if (sqlite3 *handle = linkedSqliteHandle(db))
        return writeExport<SqliteCursor>(
            store, filter, path, description, statusTexts, progress,
            [handle](const QString &sql, const QVariantList &values) { return SqliteCursor(handle, sql, values); },
            false);
    return writeExport<QtCursor>(
        store, filter, path, description, statusTexts, progress,
        [&db, forwardOnly = sqldialect::interleavedForwardQueries(store.engine())](const QString &sql,
                                                                                 const QVariantList &values) {
            return QtCursor(db, sql, values, forwardOnly);
        },
        true);
}

} // namespace vorlan
