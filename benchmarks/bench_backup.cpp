// The day's copy of a large program folder as the program makes it in the background
// (online backup into a working file, its check, zstd, the compressed copy read back),
// beside the same work done by the tools a person has: the sqlite3 shell's .backup and
// the zstd command. Also each zstd level from 1 to 3 on the copy, the uncompressed copy
// older versions kept, and unpacking a copy for a restore. Sizes are in the operation names.
//
//   bench_backup DIR [SCRATCH]
//
// The copies go to SCRATCH (default: the current folder) and are deleted at the end.

#include "benchsupport.h"

#include "core/backup.h"
#include "core/paths.h"
#include "core/zstdfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <sqlite3.h>
#include <sys/resource.h>

using namespace vorlan;
using namespace vorlan::bench;

namespace {

QString mib(qint64 bytes) { return QString::number(bytes / 1048576.0, 'f', 0) + QStringLiteral(" MiB"); }

double childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// A command of the tools a person has, timed: wall clock and the child's CPU.
std::optional<Timing> timeCommand(const QString &program, const QStringList &arguments)
{
    const double cpuBefore = childrenCpuMs();
    const Stopwatch watch;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return Timing{watch.elapsed().wallMs, childrenCpuMs() - cpuBefore};
}

// The uncompressed copy older versions kept: the online backup in one step, then its check.
bool plainCopy(const QString &from, const QString &to)
{
    sqlite3 *source = nullptr;
    sqlite3 *target = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(from).constData(), &source, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_open_v2(QFile::encodeName(to).constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                           nullptr)
            == SQLITE_OK;
    if (ok) {
        sqlite3_backup *backup = sqlite3_backup_init(target, "main", source, "main");
        ok = backup && sqlite3_backup_step(backup, -1) == SQLITE_DONE;
        sqlite3_backup_finish(backup);
        ok = ok && sqlite3_exec(target, "pragma journal_mode=delete; pragma quick_check(5)", nullptr, nullptr, nullptr)
                == SQLITE_OK;
    }
    sqlite3_close(target);
    sqlite3_close(source);
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() < 2) {
        QTextStream(stderr) << "usage: bench_backup DIR [SCRATCH]\n";
        return 2;
    }
    const ProgramPaths paths{app.arguments().at(1)};
    const QString scratch = QDir(app.arguments().value(2, QDir::currentPath())).absoluteFilePath(QStringLiteral("backup-bench"));
    QDir(scratch).removeRecursively();
    if (!QDir().mkpath(scratch)) {
        QTextStream(stderr) << "cannot make " << scratch << "\n";
        return 1;
    }
    const QString db = paths.databasePath();
    bool allMet = true;
    // A background copy of the whole shop must not take minutes, nor much memory.
    const Goal background = Goal::under(60000);

    // The day's copy as the program makes it, compressed.
    QString error;
    QString copy;
    const Stopwatch whole;
    copy = backupDatabaseFile(db, scratch, QDateTime::currentDateTime(), QStringLiteral("daily"), &error);
    const Timing made = whole.elapsed();
    if (copy.isEmpty()) {
        QTextStream(stderr) << "the day's copy failed: " << error << "\n";
        return 1;
    }
    const qint64 databaseBytes = QFileInfo(db).size();
    const qint64 packedBytes = QFileInfo(copy).size();

    // What the program does, with the tools: .backup of the shell, then zstd -1 on it.
    const QString plain = scratch + QStringLiteral("/shell-copy.db");
    const auto shellCopy = timeCommand(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), db,
                                                                  QStringLiteral(".backup '%1'").arg(plain)});
    const auto shellZstd = timeCommand(QStringLiteral("zstd"), {QStringLiteral("-q"), QStringLiteral("-f"),
                                                                QStringLiteral("-%1").arg(kBackupCompressionLevel), plain,
                                                                QStringLiteral("-o"), plain + QStringLiteral(".zst")});
    std::optional<Timing> tools;
    if (shellCopy && shellZstd)
        tools = Timing{shellCopy->wallMs + shellZstd->wallMs, shellCopy->cpuMs + shellZstd->cpuMs};
    allMet &= report(QStringLiteral("day's copy, zstd %1 (%2 → %3)")
                         .arg(kBackupCompressionLevel)
                         .arg(mib(databaseBytes), mib(packedBytes)),
                     made, tools, background);

    // The uncompressed copy older versions kept.
    const QString older = scratch + QStringLiteral("/older-copy.db");
    const Stopwatch uncompressed;
    if (!plainCopy(db, older)) {
        QTextStream(stderr) << "the uncompressed copy failed\n";
        return 1;
    }
    allMet &= report(QStringLiteral("uncompressed copy and its check (%1)").arg(mib(QFileInfo(older).size())),
                     uncompressed.elapsed(), shellCopy, background);
    QFile::remove(older);

    const QString unpacked = scratch + QStringLiteral("/unpacked.db");
    QFile::remove(plain); // room for the rest
    const Stopwatch unpacking;
    const bool unpackedOk = decompressFile(copy, unpacked, &error);
    const Timing unpackTime = unpacking.elapsed();
    if (!unpackedOk) {
        QTextStream(stderr) << "unpacking failed: " << error << "\n";
        return 1;
    }
    const auto shellUnpack = timeCommand(QStringLiteral("zstd"), {QStringLiteral("-d"), QStringLiteral("-q"),
                                                                  QStringLiteral("-f"), copy, QStringLiteral("-o"),
                                                                  plain + QStringLiteral(".back")});
    allMet &= report(QStringLiteral("unpacking the copy for a restore (%1)").arg(mib(QFileInfo(unpacked).size())),
                     unpackTime, shellUnpack, background);

    for (int level = 1; level <= 3; ++level) {
        const QString packed = scratch + QStringLiteral("/level.zst");
        const Stopwatch watch;
        if (!compressFile(unpacked, packed, level, &error)) {
            QTextStream(stderr) << "compressing failed: " << error << "\n";
            return 1;
        }
        const Timing t = watch.elapsed();
        const auto shell = timeCommand(QStringLiteral("zstd"), {QStringLiteral("-q"), QStringLiteral("-f"),
                                                                QStringLiteral("-%1").arg(level), unpacked,
                                                                QStringLiteral("-o"), packed + QStringLiteral(".cli")});
        report(QStringLiteral("zstd level %1 of the copy (%2, %3%)")
                   .arg(level)
                   .arg(mib(QFileInfo(packed).size()))
                   .arg(100.0 * QFileInfo(packed).size() / QFileInfo(unpacked).size(), 0, 'f', 1),
               t, shell);
    }
    const double rss = peakRssMiB();
    note(QStringLiteral("day's copy of %1: %2 uncompressed, %3 compressed with zstd %4; peak RSS %5 MiB (limit 100)")
             .arg(mib(databaseBytes), mib(QFileInfo(unpacked).size()), mib(packedBytes))
             .arg(kBackupCompressionLevel)
             .arg(rss, 0, 'f', 0));
    if (rss > 100) {
        note(QStringLiteral("FAIL: the copy used more than 100 MiB"));
        allMet = false;
    }
    QDir(scratch).removeRecursively();
    return allMet ? 0 : 3;
}
