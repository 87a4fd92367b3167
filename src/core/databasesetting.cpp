#include "databasesetting.h"

#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

namespace vorlan {

std::variant<DatabaseSetting, QString> parseDatabaseSetting(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0)
        return DatabaseSetting{};
    const QUrl url(trimmed);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("postgresql") && scheme != QLatin1String("postgres")))
        return QStringLiteral("数据库设置“%1”无法识别：请写 sqlite 或 postgresql://用户@主机:端口/数据库").arg(trimmed);
    if (!url.password().isEmpty())
        return QStringLiteral("数据库设置中不能写密码，请使用 PostgreSQL 的密码文件（~/.pgpass）。");
    DatabaseSetting setting;
    setting.engine = SqlEngine::Postgres;
    setting.url = trimmed;
    setting.host = url.host().isEmpty() ? QStringLiteral("localhost") : url.host();
    setting.port = url.port(5432);
    setting.user = url.userName();
    setting.databaseName = url.path().mid(1);
    if (setting.databaseName.isEmpty() || setting.databaseName.contains(QLatin1Char('/')))
        return QStringLiteral("数据库设置“%1”缺少数据库名称。").arg(trimmed);
    // The remaining parameters are libpq's own (sslmode=require, connect_timeout=5, ...).
    QStringList options;
    for (const auto &[key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("password"))
            return QStringLiteral("数据库设置中不能写密码，请使用 PostgreSQL 的密码文件（~/.pgpass）。");
        options.append(key + QLatin1Char('=') + value);
    }
    setting.options = options.join(QLatin1Char(';'));
    return setting;
}

std::variant<DatabaseSetting, QString> readDatabaseSetting(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return DatabaseSetting{};
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取数据库设置文件 %1").arg(path);
    return parseDatabaseSetting(QString::fromUtf8(file.readAll()));
}

bool writeDatabaseSetting(const QString &path, const DatabaseSetting &setting, QString *error)
{
    if (setting.engine == SqlEngine::Sqlite) {
        if (!QFile::exists(path) || QFile::remove(path))
            return true;
    } else {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile file(path);
        const QByteArray line = setting.url.toUtf8() + '\n';
        if (file.open(QIODevice::WriteOnly) && file.write(line) == line.size() && commitSaveFile(file))
            return true;
    }
    if (error)
        *error = QStringLiteral("无法保存数据库设置文件 %1").arg(path);
    return false;
}

} // namespace vorlan
