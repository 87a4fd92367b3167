#pragma once

#include <QString>
#include <QStringList>

namespace vorlan {

// Where the program keeps its files. Everything lives in one folder: settings file,
// data/ with the database and receipt pictures, xml/ with the chart data.
struct ProgramPaths {
    QString home;

    QString configPath() const { return home + QStringLiteral("/配置文件.ini"); }
    // Which database the till works on, when it is not the file (see DatabaseSetting).
    QString databaseSettingPath() const { return home + QStringLiteral("/数据库连接.ini"); }
    QString dataDir() const { return home + QStringLiteral("/data"); }
    QString databasePath() const { return dataDir() + QStringLiteral("/data.db"); }
    QString backupDir() const { return dataDir() + QStringLiteral("/backup"); }
    QString topPicture() const { return dataDir() + QStringLiteral("/stp.png"); }
    QString bottomPicture() const { return dataDir() + QStringLiteral("/xtp.png"); }
    QString xmlDir() const { return home + QStringLiteral("/xml"); }
    QString lockPath() const { return home + QStringLiteral("/vorlan.lock"); }
};

// Chooses the program folder: `--home DIR` on the command line, else VORLAN_HOME, else the
// executable's folder when it is writable and not installed, else the user's application
// data folder.
QString chooseHome(const QStringList &arguments, const QString &environmentHome, const QString &executableDir,
                   bool executableDirWritable, const QString &appDataDir);

// True for an executable folder under /usr: the program was installed there (by the
// package or `cmake --install`) and must not keep a shop's data beside itself, even when
// root, who may write there, starts it.
bool isInstalledFolder(const QString &executableDir);

// True when `folder` lies inside `tempFolder` (a program unpacked only into a temporary
// folder loses its data).
bool isInsideFolder(const QString &folder, const QString &tempFolder);

} // namespace vorlan
