#pragma once

// What every benchmark shares: wall and CPU time of a piece of work, the median of warm
// runs, peak RSS, the sqlite3 command-line tool timing the plain statements on the same
// file, and the result line with its goal.
//
// Set VORLAN_BENCH_ROWS=1 and each result is printed as one tab-separated row starting
// with "@row" (tools/bench.sh collects them into its table); otherwise as a line to read.

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <optional>
#include <vector>

namespace vorlan::bench {

struct Timing {
    double wallMs = 0;
    double cpuMs = 0; // user + system time of the whole process (or of the child, for processes)
};

// CPU time used so far by this process, in milliseconds.
double processCpuMs();
// Peak resident set of this process, and of the largest child waited for, in MiB.
double peakRssMiB();
double childrenPeakRssMiB();

// Starts timing on construction.
class Stopwatch
{
public:
    Stopwatch();
    Timing elapsed() const;

private:
    qint64 m_wallStartNs;
    double m_cpuStartMs;
};

// Collected timings; median and worst per column.
class Samples
{
public:
    void add(const Timing &t) { m_samples.push_back(t); }
    bool isEmpty() const { return m_samples.empty(); }
    Timing median() const;
    Timing worst() const;

private:
    std::vector<Timing> m_samples;
};

// The median of `runs` timed runs of `work`, after one untimed warm-up run.
Timing medianOf(int runs, const std::function<void()> &work);

// Runs the statements in the sqlite3 shell on `database` (read-only): one warm-up round,
// then `rounds` rounds; returns the median round, each round the sum of the shell's own
// ".timer" readings for its statements. `prelude` goes first (e.g. ".mode csv").
// std::nullopt when the shell cannot be run.
std::optional<Timing> sqliteShell(const QString &database, const QStringList &statements, int rounds = 5,
                                  const QString &prelude = {});

// A value written as an SQL literal, and a statement with its "?" placeholders replaced by
// the values, in order: what the program binds, spelled out for the shell.
QString sqlLiteral(const QVariant &value);
QString spelledOut(const QString &sql, const QVariantList &values);

// What a figure must reach. Judged on CPU time, which waiting for a core on a shared
// machine does not inflate; wall times are printed beside it.
struct Goal {
    enum class Kind { None, NearRaw, Under, Within };
    Kind kind = Kind::None;
    double limit = 0;    // ms for Under, the factor for Within
    std::optional<Timing> reference; // also within 1.5× of this timing (e.g. the first page);
    QString referenceName;           // for Within, the baseline measured in the same run

    static Goal none() { return {}; }
    // Within 1.5× of the raw query, plus half a millisecond for the per-call cost of the
    // driver (which dwarfs statements of a few microseconds).
    static Goal nearRaw() { return {Kind::NearRaw, 0, std::nullopt, {}}; }
    static Goal under(double ms) { return {Kind::Under, ms, std::nullopt, {}}; }
    // Within `factor` times a baseline of the same work measured in the same run on the
    // same machine (plus the half millisecond of one call), never a fixed rate that only
    // holds on one machine.
    static Goal within(double factor, const Timing &baseline, const QString &baselineName)
    {
        return {Kind::Within, factor, baseline, baselineName};
    }
    Goal &alsoNear(const Timing &t, const QString &name)
    {
        reference = t;
        referenceName = name;
        return *this;
    }

    QString text() const;
    // Whether `ours` reaches the goal; std::nullopt when there is no goal (or no raw figure
    // to compare with).
    std::optional<bool> judge(const Timing &ours, const std::optional<Timing> &raw) const;
};

// Prints one result; returns false when it misses its goal.
bool report(const QString &operation, const Timing &ours, const std::optional<Timing> &raw = std::nullopt,
            const Goal &goal = Goal::none(), std::optional<double> rssMiB = std::nullopt);

// Prints a note (ignored by the table).
void note(const QString &text);

} // namespace vorlan::bench
