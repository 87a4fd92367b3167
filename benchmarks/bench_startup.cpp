// Start-up: from starting the program's process to its main window shown, on a given
// program folder. The process starts itself again for every run, so loading the
// libraries, opening the folder and showing the window are all inside the figure; the
// CPU figure and the peak RSS are those of the started process (until it ends).
//
//   bench_startup DIR [runs=5]

#include "benchsupport.h"

#include "app/mainwindow.h"
#include "core/reportingprompter.h"

#include <QApplication>
#include <QProcess>
#include <QTextStream>
#include <QTimer>

#include <sys/resource.h>

using namespace vorlan::bench;

namespace {

// The started copy: opens the folder, shows the window, says so and ends.
int showWindow(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vorlan::AppContext context;
    context.paths.home = app.arguments().at(2);
    vorlan::ReportingPrompter prompter;
    context.prompter = &prompter;
    vorlan::MainWindow window(context);
    if (!window.start())
        return 1;
    window.show();
    QTimer::singleShot(0, &app, [&] {
        QTextStream(stdout) << "shown\n" << Qt::flush;
        app.quit();
    });
    return app.exec();
}

double childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return showWindow(argc, argv);
    QCoreApplication app(argc, argv);
    if (app.arguments().size() < 2) {
        QTextStream(stderr) << "usage: bench_startup DIR [runs]\n";
        return 2;
    }
    const QString folder = app.arguments().at(1);
    const int runs = app.arguments().size() > 2 ? app.arguments().at(2).toInt() : 5;
    Samples samples;
    for (int i = 0; i <= runs; ++i) { // the first run warms the file cache
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const double cpuBefore = childrenCpuMs();
        const Stopwatch watch;
        child.start(app.applicationFilePath(), {QStringLiteral("--child"), folder});
        QByteArray said;
        while (!said.contains("shown\n") && child.waitForReadyRead(60000))
            said += child.readAllStandardOutput();
        const double wallMs = watch.elapsed().wallMs;
        child.waitForFinished(60000);
        if (!said.contains("shown\n") || child.exitCode() != 0) {
            QTextStream(stderr) << "the program did not show its window: " << said << "\n";
            return 1;
        }
        // The CPU of the whole child, its closing included: an upper bound.
        if (i > 0)
            samples.add({wallMs, childrenCpuMs() - cpuBefore});
    }
    return report(QStringLiteral("start-up to the window shown"), samples.median(), std::nullopt, Goal::under(500),
                  childrenPeakRssMiB())
        ? 0
        : 3;
}
