#include "datastore.h"

#include "databasesetting.h"
#include "dates.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>

namespace vorlan {

namespace {

// SQLite's own text is English: the operator reads first what it means for him.
QString describe(const QSqlError &error)
{
    // By SQLite's result code; a failed commit carries only SQLite's text.
    static const struct {
        int code;
        const char *english;
        const char *meaning;
    } kMeanings[] = {
        {13, "database or disk is full", "磁盘已满"},
        {8, "readonly database", "数据库文件只能读，不能写入"},
        {11, "malformed", "数据库文件已损坏"},
        {26, "not a database", "这不是数据库文件"},
        {10, "disk I/O error", "读写磁盘出错"},
        {14, "unable to open database file", "无法打开数据库文件"},
        {5, "database is locked", "数据库正被其他程序使用"},
        {6, "table is locked", "数据库正被其他程序使用"},
    };
    bool hasCode = false;
    const int code = error.nativeErrorCode().toInt(&hasCode) & 0xff;
    const QString text = error.text().trimmed();
    for (const auto &m : kMeanings)
        if (hasCode ? code == m.code : text.contains(QLatin1String(m.english), Qt::CaseInsensitive))
            return QStringLiteral("%1（%2）").arg(QString::fromUtf8(m.meaning), text);
    return text;
}

} // namespace

DataStore::DataStore(const QString &connectionName)
    : m_connectionName(connectionName)
{
}

DataStore::~DataStore() { close(); }

QSqlDatabase DataStore::database() const { return QSqlDatabase::database(m_connectionName, false); }

bool DataStore::open(const QString &path, QString *error)
{
    close();
    auto fail = [&](QString reason) {
        // SQLite says no more than "unable to open" when the folder refuses the files it
        // keeps beside the database.
        const QString folder = QFileInfo(path).absolutePath();
        if (!QFileInfo(folder).isWritable())
            reason = QStringLiteral("数据库所在的文件夹只能读，不能写入：%1").arg(QDir::toNativeSeparators(folder));
        m_lastError = reason;
        if (error)
            *error = reason;
        close();
        return false;
    };

    m_engine = SqlEngine::Sqlite;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(sqldialect::driverName(m_engine), m_connectionName);
        db.setDatabaseName(path);
        if (!db.open())
            return fail(describe(db.lastError()));
    }
    // SQLite opens lazily: reading the schema is what tells a database from another file.
    QSqlQuery probe(database());
    if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")))
        return fail(describe(probe.lastError()));
    probe.finish();
    if (!probe.exec(QStringLiteral("pragma journal_mode=wal")) || !probe.next()
        || probe.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0)
        return fail(probe.lastError().isValid() ? describe(probe.lastError())
                                                : QStringLiteral("cannot switch to WAL mode"));
    probe.finish();
    if (!probe.exec(QStringLiteral("pragma synchronous=full")))
        return fail(describe(probe.lastError()));
    // Write access is checked now, not at the first order. A file SQLite could open only
    // for reading still takes the write lock: a header write, rolled back, is what tells.
    if (!probe.exec(QStringLiteral("pragma user_version")) || !probe.next())
        return fail(describe(probe.lastError()));
    const qint64 userVersion = probe.value(0).toLongLong();
    probe.finish();
    if (!probe.exec(QStringLiteral("begin immediate")))
        return fail(describe(probe.lastError()));
    const bool writable = probe.exec(QStringLiteral("pragma user_version=%1").arg(userVersion));
    const QSqlError writeError = probe.lastError();
    probe.exec(QStringLiteral("rollback"));
    if (!writable)
        return fail(describe(writeError));
    m_cursor = std::make_unique<QSqlQuery>(database());
    m_cursor->setForwardOnly(true);
    m_lastError.clear();
    return true;
}

bool DataStore::openServer(const DatabaseSetting &server, QString *error)
{
    close();
    m_engine = SqlEngine::Postgres;
    if (!QSqlDatabase::isDriverAvailable(sqldialect::driverName(m_engine)))
        m_lastError = QStringLiteral("缺少 PostgreSQL 的 Qt 驱动（Debian：libqt6sql6-psql）");
    else {
        QSqlDatabase db = QSqlDatabase::addDatabase(sqldialect::driverName(m_engine), m_connectionName);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setUserName(server.user);
        db.setDatabaseName(server.databaseName);
        db.setConnectOptions(server.options);
        if (db.open()) {
            m_cursor = std::make_unique<QSqlQuery>(db);
            m_cursor->setForwardOnly(true);
            m_lastError.clear();
            return true;
        }
        m_lastError = QStringLiteral("无法连接数据库服务器 %1（%2）").arg(server.url, db.lastError().text().trimmed());
    }
    if (error)
        *error = m_lastError;
    close();
    return false;
}

bool DataStore::isOpen() const { return m_cursor != nullptr; }

void DataStore::close()
{
    m_cursor.reset();
    m_atEnd = true;
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

namespace {
bool prepareAndRun(QSqlQuery &q, SqlEngine engine, const QString &sql, const QVariantList &values, QString &error)
{
    // SQLite's result codes are told in the operator's words; the server's text is its own.
    auto fail = [&] {
        error = engine == SqlEngine::Sqlite ? describe(q.lastError()) : q.lastError().text().trimmed();
        return false;
    };
    // The server prepares only queries and data changes: a statement without values (a
    // table definition among them) is run as it is.
    if (engine == SqlEngine::Postgres && values.isEmpty())
        return q.exec(sql) || fail();
    if (!q.prepare(sql))
        return fail();
    for (const QVariant &v : values)
        q.addBindValue(v);
    return q.exec() || fail();
}
} // namespace

bool DataStore::execute(const QString &sql, const QVariantList &values)
{
    if (!m_cursor) {
        m_lastError = QStringLiteral("database not open");
        return false;
    }
    closeQuery();
    QSqlQuery q(database());
    return prepareAndRun(q, m_engine, sql, values, m_lastError);
}

bool DataStore::query(const QString &sql, const QVariantList &values)
{
    if (!m_cursor) {
        m_lastError = QStringLiteral("database not open");
        return false;
    }
    closeQuery();
    if (!prepareAndRun(*m_cursor, m_engine, sql, values, m_lastError)) {
        m_atEnd = true;
        return false;
    }
    m_atEnd = !m_cursor->next();
    return true;
}

bool DataStore::atEnd() const { return m_atEnd; }

void DataStore::next()
{
    if (!m_atEnd)
        m_atEnd = !m_cursor->next();
}

void DataStore::closeQuery()
{
    if (m_cursor)
        m_cursor->finish();
    m_atEnd = true;
}

bool DataStore::find(const QString &column, const QVariant &value)
{
    while (!m_atEnd) {
        if (readValue(column) == value)
            return true;
        next();
    }
    return false;
}

QVariant DataStore::readValue(int column) const
{
    if (m_atEnd || !m_cursor)
        return {};
    return m_cursor->value(column);
}

QVariant DataStore::readValue(const QString &column) const
{
    if (m_atEnd || !m_cursor)
        return {};
    return m_cursor->value(column);
}

namespace {
QDateTime toDateTime(const QVariant &v)
{
    if (v.isNull())
        return {};
    return fromIsoDateTime(v.toString()).value_or(QDateTime());
}
} // namespace

QString DataStore::readText(int column) const { return readValue(column).toString(); }
QString DataStore::readText(const QString &column) const { return readValue(column).toString(); }
int DataStore::readInt(int column) const { return readValue(column).toInt(); }
int DataStore::readInt(const QString &column) const { return readValue(column).toInt(); }
double DataStore::readDouble(int column) const { return readValue(column).toDouble(); }
double DataStore::readDouble(const QString &column) const { return readValue(column).toDouble(); }
float DataStore::readSingle(int column) const { return static_cast<float>(readValue(column).toDouble()); }
float DataStore::readSingle(const QString &column) const { return static_cast<float>(readValue(column).toDouble()); }
QDateTime DataStore::readDateTime(int column) const { return toDateTime(readValue(column)); }
QDateTime DataStore::readDateTime(const QString &column) const { return toDateTime(readValue(column)); }

std::optional<qint64> DataStore::insertReturningId(const QString &insert, const QVariantList &values)
{
    const QString lastId = sqldialect::lastInsertIdQuery(m_engine);
    QVariant id;
    if (lastId.isEmpty())
        id = scalar(sqldialect::insertReturningId(m_engine, insert), values);
    else if (execute(insert, values))
        id = scalar(lastId);
    if (!id.isValid() || id.toLongLong() <= 0)
        return std::nullopt;
    return id.toLongLong();
}

QVariant DataStore::scalar(const QString &sql, const QVariantList &values)
{
    QVariant result;
    if (query(sql, values))
        result = readValue(0);
    closeQuery();
    return result;
}

bool DataStore::transaction()
{
    closeQuery();
    QSqlDatabase db = database();
    if (!db.transaction()) {
        m_lastError = describe(db.lastError());
        return false;
    }
    return true;
}

bool DataStore::commit()
{
    closeQuery();
    QSqlDatabase db = database();
    if (!db.commit()) {
        m_lastError = describe(db.lastError());
        return false;
    }
    return true;
}

bool DataStore::rollback()
{
    closeQuery();
    return database().rollback();
}

} // namespace vorlan
