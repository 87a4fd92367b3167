#include "benchsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <sys/resource.h>
#include <ctime>

#include <algorithm>

namespace vorlan::bench {

namespace {

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double column(std::vector<Timing> samples, double Timing::*field, bool worst)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end(), [field](const Timing &a, const Timing &b) { return a.*field < b.*field; });
    return worst ? samples.back().*field : samples.at(samples.size() / 2).*field;
}

bool rowsWanted() { return qEnvironmentVariableIntValue("VORLAN_BENCH_ROWS") == 1; }

QString figure(double ms) { return QString::number(ms, 'f', ms < 10 ? 3 : 1); }

} // namespace

double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double childrenPeakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss / 1024.0;
}

Stopwatch::Stopwatch()
    : m_wallStartNs(monotonicNs())
    , m_cpuStartMs(processCpuMs())
{
}

Timing Stopwatch::elapsed() const { return {(monotonicNs() - m_wallStartNs) / 1e6, processCpuMs() - m_cpuStartMs}; }

Timing Samples::median() const
{
    return {column(m_samples, &Timing::wallMs, false), column(m_samples, &Timing::cpuMs, false)};
}

Timing Samples::worst() const
{
    return {column(m_samples, &Timing::wallMs, true), column(m_samples, &Timing::cpuMs, true)};
}

Timing medianOf(int runs, const std::function<void()> &work)
{
    work();
    Samples samples;
    for (int i = 0; i < runs; ++i) {
        const Stopwatch watch;
        work();
        samples.add(watch.elapsed());
    }
    return samples.median();
}

std::optional<Timing> sqliteShell(const QString &database, const QStringList &statements, int rounds,
                                  const QString &prelude)
{
    QString script = QStringLiteral(".output /dev/null\n") + prelude;
    if (!script.endsWith(QLatin1Char('\n')))
        script += QLatin1Char('\n');
    script += QStringLiteral(".timer on\n");
    for (int r = 0; r <= rounds; ++r)
        for (const QString &s : statements)
            script += s + QStringLiteral(";\n");
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), database});
    if (!shell.waitForStarted())
        return std::nullopt;
    shell.write(script.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    const QString text = QString::fromUtf8(shell.readAllStandardOutput());
    static const QRegularExpression re(QStringLiteral("Run Time: real ([0-9.]+) user ([0-9.]+) sys ([0-9.]+)"));
    std::vector<Timing> readings;
    for (auto it = re.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        readings.push_back({m.captured(1).toDouble() * 1e3, (m.captured(2).toDouble() + m.captured(3).toDouble()) * 1e3});
    }
    const auto perRound = static_cast<size_t>(statements.size());
    if (perRound == 0 || readings.size() != perRound * (rounds + 1)) {
        QTextStream(stderr) << "sqlite3 gave " << readings.size() << " timings instead of " << perRound * (rounds + 1)
                            << ": " << shell.readAllStandardError() << "\n";
        return std::nullopt;
    }
    Samples samples;
    for (int r = 1; r <= rounds; ++r) { // round 0 warms the file's pages up
        Timing t;
        for (size_t s = 0; s < perRound; ++s) {
            t.wallMs += readings.at(r * perRound + s).wallMs;
            t.cpuMs += readings.at(r * perRound + s).cpuMs;
        }
        samples.add(t);
    }
    return samples.median();
}

QString sqlLiteral(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toString();
    default:
        return QLatin1Char('\'') + value.toString().replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    }
}

QString spelledOut(const QString &sql, const QVariantList &values)
{
    QString spelled;
    qsizetype next = 0;
    for (const QChar c : sql)
        spelled += (c == QLatin1Char('?') && next < values.size()) ? sqlLiteral(values.at(next++)) : QString(c);
    return spelled;
}

QString Goal::text() const
{
    QString t;
    switch (kind) {
    case Kind::None:
        return QStringLiteral("-");
    case Kind::NearRaw:
        t = QStringLiteral("<=1.5x raw");
        break;
    case Kind::Under:
        t = QStringLiteral("<%1 ms").arg(limit);
        break;
    case Kind::Within:
        return QStringLiteral("<=%1x %2").arg(limit).arg(referenceName);
    }
    if (reference)
        t += QStringLiteral(", <=1.5x ") + referenceName;
    return t;
}

std::optional<bool> Goal::judge(const Timing &ours, const std::optional<Timing> &raw) const
{
    const auto near = [&](const Timing &base) { return ours.cpuMs <= 1.5 * base.cpuMs + 0.5; };
    bool pass = true;
    switch (kind) {
    case Kind::None:
        return std::nullopt;
    case Kind::NearRaw:
        if (!raw)
            return std::nullopt;
        pass = near(*raw);
        break;
    case Kind::Under:
        pass = ours.cpuMs < limit;
        break;
    case Kind::Within:
        return ours.cpuMs <= limit * reference->cpuMs + 0.5;
    }
    if (reference)
        pass = pass && near(*reference);
    return pass;
}

bool report(const QString &operation, const Timing &ours, const std::optional<Timing> &raw, const Goal &goal,
            std::optional<double> rssMiB)
{
    const std::optional<bool> verdict = goal.judge(ours, raw);
    const QString result = verdict ? (*verdict ? QStringLiteral("pass") : QStringLiteral("FAIL")) : QStringLiteral("-");
    const double rss = rssMiB.value_or(peakRssMiB());
    QTextStream out(stdout);
    if (rowsWanted()) {
        out << QStringList{QStringLiteral("@row"), operation, figure(ours.wallMs), figure(ours.cpuMs),
                           raw ? figure(raw->wallMs) : QStringLiteral("-"), raw ? figure(raw->cpuMs) : QStringLiteral("-"),
                           goal.text(), QString::number(rss, 'f', 0), result}
                   .join(QLatin1Char('\t'))
            << "\n";
    } else {
        out << QStringLiteral("%1 %2 ms (cpu %3)").arg(operation, -48).arg(figure(ours.wallMs), 8).arg(figure(ours.cpuMs), 8);
        if (raw)
            out << QStringLiteral("   sqlite3 %1 ms (cpu %2), ratio %3")
                       .arg(figure(raw->wallMs), 8)
                       .arg(figure(raw->cpuMs), 8)
                       .arg(raw->cpuMs > 0 ? QString::number(ours.cpuMs / raw->cpuMs, 'f', 2) : QStringLiteral("-"));
        if (goal.kind == Goal::Kind::Within && goal.reference->cpuMs > 0)
            out << QStringLiteral("   %1x %2").arg(ours.cpuMs / goal.reference->cpuMs, 0, 'f', 2).arg(goal.referenceName);
        out << QStringLiteral("   rss %1 MiB   goal %2: %3\n").arg(rss, 0, 'f', 0).arg(goal.text(), result);
    }
    out.flush();
    return verdict.value_or(true);
}

void note(const QString &text)
{
    QTextStream out(stdout);
    out << (rowsWanted() ? QStringLiteral("@note\t") : QString()) << text << "\n";
    out.flush();
}

} // namespace vorlan::bench
