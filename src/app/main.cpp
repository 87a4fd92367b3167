#include "app/mainwindow.h"
#include "app/quitsignals.h"
#include "core/databasesetting.h"
#include "core/paths.h"
#include "core/ui/qtprompter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

namespace {

constexpr char kUsage[] =
    "Usage: vorlan [--home DIR] [--database sqlite|URL] [--quit-after-start]\n"
    "Takes orders and prints receipts for a small takeout shop.\n"
    "\n"
    "Options:\n"
    "  --home DIR, --home=DIR  keep the shop's data in DIR (else the environment\n"
    "                          variable VORLAN_HOME; else the executable's folder when it\n"
    "                          is writable and not installed under /usr; else the user's\n"
    "                          data folder, ~/.local/share/Vorlan)\n"
    "  --database sqlite|URL   work on the SQLite file in the data folder (the default), or\n"
    "                          on a PostgreSQL server shared by several tills, given as\n"
    "                          postgresql://user@host:port/dbname (no password: use\n"
    "                          ~/.pgpass); kept in the program folder for the next start\n"
    "  --quit-after-start      start, show the main window, print where the data and the\n"
    "                          guides are, and quit (checks an installation)\n"
    "  --version               print the version and quit\n"
    "  -h, --help              print these options and quit\n";

enum class EarlyAnswer { None, Version, Help };

// --version and --help are answered before any window system is touched, so they work
// without a display. The word after --home is a folder, never an option.
EarlyAnswer earlyAnswer(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--home" || arg == "--database")
            ++i;
        else if (arg == "--version")
            return EarlyAnswer::Version;
        else if (arg == "--help" || arg == "-h")
            return EarlyAnswer::Help;
    }
    return EarlyAnswer::None;
}

// What is left once Qt has taken its own options: a mistyped option must not quietly start
// the program on another folder.
QString commandLineProblem(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--home")) {
            if (++i == arguments.size())
                return QStringLiteral("--home needs a folder");
        } else if (arg.startsWith(QLatin1String("--home="))) {
            if (arg.size() == 7)
                return QStringLiteral("--home= needs a folder");
        } else if (arg == QLatin1String("--database")) {
            if (++i == arguments.size())
                return QStringLiteral("--database needs sqlite or a postgresql:// URL");
        } else if (arg != QLatin1String("--quit-after-start") && !arg.startsWith(QLatin1String("--database="))) {
            return QStringLiteral("unknown argument %1").arg(arg);
        }
    }
    return {};
}

// Prints where the program keeps its data and finds its guides, then "main window shown"
// once the window is on screen, and quits; a window that never shows ends with 1.
void quitAfterStart(vorlan::MainWindow &window, const QString &home)
{
    std::printf("program folder: %s\nguides: %s\n", qPrintable(QDir::toNativeSeparators(home)),
                qPrintable(QDir::toNativeSeparators(vorlan::documentsFolder())));
    std::fflush(stdout);
    auto *poll = new QTimer(&window);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, &window, [&window, poll, waited] {
        const bool shown = window.isVisible() && window.windowHandle() && window.windowHandle()->isExposed();
        if (!shown && waited->elapsed() < 20000)
            return;
        poll->stop();
        if (shown)
            std::puts("main window shown");
        std::fflush(stdout);
        QCoreApplication::exit(shown ? 0 : 1);
        window.close();
    });
    poll->start(20);
}

// The database named on the command line is kept in the program folder; without one, the
// kept setting holds. Gives false after telling why.
bool chooseDatabase(const QStringList &arguments, const QString &settingPath, vorlan::DatabaseSetting &chosen)
{
    std::optional<QString> given;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--database"))
            given = arguments.at(++i);
        else if (arguments.at(i).startsWith(QLatin1String("--database=")))
            given = arguments.at(i).mid(11);
    }
    const auto setting = given ? vorlan::parseDatabaseSetting(*given) : vorlan::readDatabaseSetting(settingPath);
    QString error;
    if (const auto *refused = std::get_if<QString>(&setting))
        error = *refused;
    else if (!given || vorlan::writeDatabaseSetting(settingPath, std::get<vorlan::DatabaseSetting>(setting), &error)) {
        chosen = std::get<vorlan::DatabaseSetting>(setting);
        return true;
    }
    std::fprintf(stderr, "vorlan: %s\n", qPrintable(error));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    switch (earlyAnswer(argc, argv)) {
    case EarlyAnswer::Version:
        std::printf("Vorlan %s\n", VORLAN_VERSION);
        return 0;
    case EarlyAnswer::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case EarlyAnswer::None:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlan"));
    QApplication::setApplicationVersion(QStringLiteral(VORLAN_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("vorlan"));
    QIcon fallbackIcon;
    for (int size : {16, 32, 48, 64, 128, 256})
        fallbackIcon.addFile(QStringLiteral(":/icons/vorlan-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vorlan"), fallbackIcon));

    const QStringList arguments = QCoreApplication::arguments();
    if (const QString problem = commandLineProblem(arguments); !problem.isEmpty()) {
        std::fprintf(stderr, "vorlan: %s\n\n%s", qPrintable(problem), kUsage);
        return 2;
    }

    const QString executableDir = QCoreApplication::applicationDirPath();
    vorlan::AppContext context;
    context.paths.home = vorlan::chooseHome(
        arguments, qEnvironmentVariable("VORLAN_HOME"), executableDir, QFileInfo(executableDir).isWritable(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!chooseDatabase(arguments, context.paths.databaseSettingPath(), context.database))
        return 2;
    vorlan::QtPrompter prompter;
    context.prompter = &prompter;

    vorlan::MainWindow window(context);
    // Listening before start-up: a SIGTERM while the program starts is no kill; the window
    // closes, and saves as usual, as soon as it is up.
    vorlan::QuitSignals quitSignals;
    bool quitPending = false;
    QObject::connect(&quitSignals, &vorlan::QuitSignals::quitRequested, &window, [&window, &quitPending] {
        if (window.isVisible())
            window.close();
        else
            quitPending = true;
    });
    if (!window.start())
        return 1;
    window.show();
    if (quitPending)
        QTimer::singleShot(0, &window, &QWidget::close);
    if (arguments.contains(QLatin1String("--quit-after-start")))
        quitAfterStart(window, context.paths.home);
    return app.exec();
}
