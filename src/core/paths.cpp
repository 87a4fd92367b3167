#include "paths.h"

#include <QDir>

namespace vorlan {

QString chooseHome(const QStringList &arguments, const QString &environmentHome, const QString &executableDir,
                   bool executableDirWritable, const QString &appDataDir)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--home") && i + 1 < arguments.size())
            return QDir::cleanPath(QDir(arguments.at(i + 1)).absolutePath());
        if (arg.startsWith(QLatin1String("--home=")))
            return QDir::cleanPath(QDir(arg.mid(7)).absolutePath());
    }
    if (!environmentHome.isEmpty())
        return QDir::cleanPath(QDir(environmentHome).absolutePath());
    const bool portable = executableDirWritable && !isInstalledFolder(executableDir);
    return QDir::cleanPath(portable ? executableDir : appDataDir);
}

bool isInstalledFolder(const QString &executableDir)
{
    return QDir::cleanPath(executableDir).startsWith(QLatin1String("/usr/"));
}

bool isInsideFolder(const QString &folder, const QString &tempFolder)
{
    // An unset or odd temporary folder (Qt gives "/" for one that does not exist) must
    // not make every folder look temporary.
    const QString temp = QDir::cleanPath(tempFolder);
    if (temp.isEmpty() || temp == QLatin1String("/") || temp == QLatin1String("."))
        return false;
    const QString f = QDir::cleanPath(folder) + QLatin1Char('/');
    const QString t = temp + QLatin1Char('/');
    return f.startsWith(t, Qt::CaseInsensitive);
}

} // namespace vorlan
