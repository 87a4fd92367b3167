// The chart data files: whatever the titles, dish names and period names hold, the file
// the reports write is read back by the chart view with the same texts.
#include "reports/chartdata.h"
#include "reports/chartfiles.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

using namespace vorlan;

namespace {

QString scratchFolder()
{
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    const QString folder = base + QStringLiteral("/vorlan-fuzz-charts-%1").arg(qint64(::getpid()));
    QDir().mkpath(folder + QStringLiteral("/xml"));
    return folder;
}

// What an XML file can hold: other control characters become replacement marks.
QString xmlText(QString text)
{
    for (QChar &c : text)
        if ((c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c.unicode() >= 0xFFFE)
            c = QChar(QChar::ReplacementCharacter);
    return text;
}

// XML reads every line end in element text as a line feed.
QString asElementText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return xmlText(text);
}

// XML reads tabs and line ends inside attribute values as blanks; that is all that may
// change.
QString asAttribute(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar &c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return xmlText(text);
}

QStringList asAttributes(const QStringList &texts)
{
    QStringList out;
    for (const QString &t : texts)
        out.append(asAttribute(t));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString folder = scratchFolder();
    // Input: UTF-8 text split at NUL bytes into title, series name, period names.
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList parts = input.split(QChar(u'\0'));
    while (parts.size() < 3)
        parts.append(QString());
    const QString title = parts.at(0);
    const QString series = parts.at(1);
    const QStringList periods = parts.mid(2, 12);

    LineChartDocument line;
    line.configure(reportLineChartConfig(100));
    addReportTitleAndSeries(line, title, series, QStringLiteral("数量"));
    line.setPeriods(periods);
    line.addValues(QStringList(periods.size(), QStringLiteral("1")));
    if (!line.save(folder))
        std::abort();
    const auto read = readLineChart(lineChartPath(folder));
    if (!read || read->periods != asAttributes(periods) || read->series.isEmpty()
        || read->series.first().name != asAttribute(series) || !read->title.contains(asAttribute(title)))
        std::abort();

    PieData pie;
    pie.pies[0].title = title;
    pie.pies[0].names = periods;
    pie.pies[0].values = QList<qint64>(periods.size(), 1);
    pie.pies[0].colours = QList<WinColor>(periods.size(), 0xFF);
    pie.pies[0].showNames = QList<bool>(periods.size(), true);
    pie.pies[0].open = QList<bool>(periods.size(), false);
    pie.pies[1] = pie.pies[0];
    if (!writePieData(folder, pie))
        std::abort();
    const auto readPie = readPieChart(pieDataPath(folder));
    if (!readPie || readPie->pies.isEmpty() || readPie->pies.first().title != asElementText(title))
        std::abort();
    return 0;
}
