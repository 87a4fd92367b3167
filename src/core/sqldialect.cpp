#include "sqldialect.h"

#include <QRegularExpression>

namespace vorlan::sqldialect {

QString driverName(SqlEngine engine)
{
    return engine == SqlEngine::Postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
}

QString tableDefinition(SqlEngine engine, const QString &sqliteDefinition)
{
    if (engine == SqlEngine::Sqlite)
        return sqliteDefinition;
    static const struct {
        QRegularExpression from;
        QString to;
    } kWords[] = {
        {QRegularExpression(QStringLiteral("\\bINTEGER PRIMARY KEY AUTOINCREMENT\\b")), QStringLiteral("SERIAL PRIMARY KEY")},
        {QRegularExpression(QStringLiteral("\\bVARCHAR\\(\\d+\\)")), QStringLiteral("TEXT")},
        {QRegularExpression(QStringLiteral("\\bDATETIME\\b")), QStringLiteral("TEXT")},
        {QRegularExpression(QStringLiteral("\\bBOOLEAN\\b")), QStringLiteral("SMALLINT")},
        {QRegularExpression(QStringLiteral("\\b(DOUBLE|FLOAT|REAL|DECIMAL\\(\\d+,\\d+\\))")), QStringLiteral("DOUBLE PRECISION")},
    };
    QString definition = sqliteDefinition;
    for (const auto &word : kWords)
        definition.replace(word.from, word.to);
    return definition;
}

QString tableCountQuery(SqlEngine engine)
{
    return engine == SqlEngine::Postgres
        ? QStringLiteral("select count(*) from information_schema.tables where table_schema=current_schema()")
        : QStringLiteral("select count(*) from sqlite_master where type='table' and name not like 'sqlite_%'");
}

QString columnsQuery(SqlEngine engine)
{
    return engine == SqlEngine::Postgres
        ? QStringLiteral("select column_name, data_type from information_schema.columns "
                         "where table_schema=current_schema() and table_name=? order by ordinal_position")
        : QStringLiteral("select name, type from pragma_table_info(?)");
}

bool isDoubleType(SqlEngine engine, const QString &type)
{
    return type.compare(engine == SqlEngine::Postgres ? QLatin1String("DOUBLE PRECISION") : QLatin1String("DOUBLE"),
                        Qt::CaseInsensitive)
        == 0;
}

QString insertReturningId(SqlEngine engine, const QString &insert)
{
    return engine == SqlEngine::Postgres ? insert + QStringLiteral(" returning ID") : insert;
}

QString lastInsertIdQuery(SqlEngine engine)
{
    return engine == SqlEngine::Postgres ? QString() : QStringLiteral("select last_insert_rowid()");
}

QString rowOrder(SqlEngine engine)
{
    return engine == SqlEngine::Postgres ? QStringLiteral("ctid") : QStringLiteral("rowid");
}

bool interleavedForwardQueries(SqlEngine engine) { return engine == SqlEngine::Sqlite; }

bool isFile(SqlEngine engine) { return engine == SqlEngine::Sqlite; }

QString fileOnlyMessage(const QString &what)
{
    return QStringLiteral("%1只用于本机的数据库文件，连接数据库服务器时不可用。").arg(what);
}

} // namespace vorlan::sqldialect
