// Time from process start to the main window shown, on a given program folder.
//
//   bench_startup DIR

#include "app/mainwindow.h"
#include "core/reportingprompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimer>

int main(int argc, char *argv[])
{
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    if (app.arguments().size() < 2) {
        QTextStream(stderr) << "usage: bench_startup DIR\n";
        return 2;
    }
    vorlan::AppContext context;
    context.paths.home = app.arguments().at(1);
    vorlan::ReportingPrompter prompter;
    context.prompter = &prompter;
    vorlan::MainWindow window(context);
    if (!window.start())
        return 1;
    window.show();
    QTimer::singleShot(0, &app, [&] {
        QTextStream(stdout) << "window shown after " << timer.nsecsElapsed() / 1e6 << " ms\n";
        app.quit();
    });
    return app.exec();
}
