#pragma once

#include <QString>
#include <QStringList>

namespace vorlan {

// Where the program keeps its files. Everything lives in one folder: settings file,
// data/ with the database and receipt pictures, xml/ with the chart data.
struct ProgramPaths {
    QString home;

    QString configPath() const { return home + QStringLiteral("/配置文件.ini"); }
    QString dataDir() const { return home + QStringLiteral("/data"); }
    QString databasePath() const { return dataDir() + QStringLiteral("/data.db"); }
    QString backupDir() const { return dataDir() + QStringLiteral("/backup"); }
    QString topPicture() const { return dataDir() + QStringLiteral("/stp.png"); }
    QString bottomPicture() const { return dataDir() + QStringLiteral("/xtp.png"); }
    QString xmlDir() const { return home + QStringLiteral("/xml"); }
    QString lockPath() const { return home + QStringLiteral("/vorlan.lock"); }
};

// Chooses the program folder: `--home DIR` on the command line, else VORLAN_HOME, else the
// executable's folder when it is writable, else the user's application data folder.
QString chooseHome(const QStringList &arguments, const QString &environmentHome, const QString &executableDir,
                   bool executableDirWritable, const QString &appDataDir);

// True when `folder` lies inside `tempFolder` (a program unpacked only into a temporary
// folder loses its data).
bool isInsideFolder(const QString &folder, const QString &tempFolder);

} // namespace vorlan
