#include "app/mainwindow.h"
#include "app/quitsignals.h"
#include "core/paths.h"
#include "core/ui/qtprompter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlan"));
    QApplication::setApplicationVersion(QStringLiteral(VORLAN_VERSION));

    const QString executableDir = QCoreApplication::applicationDirPath();
    vorlan::AppContext context;
    context.paths.home = vorlan::chooseHome(
        QCoreApplication::arguments(), qEnvironmentVariable("VORLAN_HOME"), executableDir,
        QFileInfo(executableDir).isWritable(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    vorlan::QtPrompter prompter;
    context.prompter = &prompter;

    vorlan::MainWindow window(context);
    if (!window.start())
        return 1;
    vorlan::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &vorlan::QuitSignals::quitRequested, &window, &QWidget::close);
    window.show();
    return app.exec();
}
