#include "chartdata.h"

#include <QFile>
#include <QXmlStreamReader>

namespace vorlan {

namespace {

std::optional<QByteArray> readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty())
        return std::nullopt;
    return bytes;
}

QStringList splitList(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char(','));
}

} // namespace

QColor chartColour(const QString &text)
{
    bool ok = false;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const uint rgb = text.mid(2).toUInt(&ok, 16);
        return ok ? QColor::fromRgb(rgb) : QColor();
    }
    // A decimal Windows colour, 0x00BBGGRR.
    const uint win = text.toUInt(&ok);
    return ok ? QColor(win & 0xFF, (win >> 8) & 0xFF, (win >> 16) & 0xFF) : QColor();
}

std::optional<LineChartData> readLineChart(const QString &path)
{
    const auto bytes = readWhole(path);
    if (!bytes)
        return std::nullopt;
    LineChartData data;
    QXmlStreamReader xml(*bytes);
    bool inValue = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            const QXmlStreamAttributes a = xml.attributes();
            if (name == QLatin1String("yaxis")) {
                data.yMin = a.value(QLatin1String("min")).toDouble();
                data.yMax = a.value(QLatin1String("max")).toDouble();
                data.intervals = qMax(1, a.value(QLatin1String("intervals")).toInt());
            } else if (name == QLatin1String("paragraph") && data.title.isEmpty()) {
                data.title = a.value(QLatin1String("text")).toString();
            } else if (name == QLatin1String("serie")) {
                data.series.append({a.value(QLatin1String("name")).toString(),
                                    chartColour(a.value(QLatin1String("lineColor")).toString()),
                                    chartColour(a.value(QLatin1String("pointInteriorColor")).toString()),
                                    qMax(1, a.value(QLatin1String("thick")).toInt())});
            } else if (name == QLatin1String("period")) {
                data.periods.append(a.value(QLatin1String("name")).toString());
                data.values.append(QList<double>());
            } else if (name == QLatin1String("v")) {
                inValue = true;
            }
        } else if (xml.isCharacters() && inValue && !data.values.isEmpty()) {
            data.values.last().append(xml.text().toDouble());
            inValue = false;
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("v") && inValue && !data.values.isEmpty())
                data.values.last().append(0); // <v></v>
            inValue = false;
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return data;
}

std::optional<PieChartData> readPieChart(const QString &path)
{
    const auto bytes = readWhole(path);
    if (!bytes)
        return std::nullopt;
    PieChartData data;
    QXmlStreamReader xml(*bytes);
    QStringList values, names, colours;
    PieChartPart pie;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString();
            if (name == QLatin1String("drawpie")) {
                data.background = chartColour(xml.attributes().value(QLatin1String("bgcolor")).toString());
            } else if (name == QLatin1String("pie")) {
                pie = PieChartPart();
                values.clear();
                names.clear();
                colours.clear();
            } else if (name.startsWith(QLatin1String("pie_"))) {
                const QString text = xml.readElementText();
                if (name == QLatin1String("pie_title")) {
                    // title,x,y,size,bold,colour; the title itself may hold commas
                    QStringList parts = text.split(QLatin1Char(','));
                    if (parts.size() >= 6) {
                        pie.titleColour = chartColour(parts.takeLast());
                        pie.titleBold = parts.takeLast() == QLatin1String("true");
                        pie.titleSize = parts.takeLast().toInt();
                        parts.removeLast();
                        parts.removeLast();
                    }
                    pie.title = parts.join(QLatin1Char(','));
                } else if (name == QLatin1String("pie_num")) {
                    values = splitList(text);
                } else if (name == QLatin1String("pie_name")) {
                    names = splitList(text);
                } else if (name == QLatin1String("pie_color")) {
                    colours = splitList(text);
                } else if (name == QLatin1String("pie_showorder")) {
                    pie.showLegend = text == QLatin1String("true");
                } else if (name == QLatin1String("pie_fontcolor")) {
                    pie.textColour = chartColour(text);
                } else if (name == QLatin1String("pie_percentshow")) {
                    pie.percentMode = text;
                }
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("pie")) {
            for (int i = 0; i < values.size(); ++i)
                pie.slices.append({i < names.size() ? names.at(i) : QString(), values.at(i).toDouble(),
                                   i < colours.size() ? chartColour(colours.at(i)) : QColor()});
            data.pies.append(pie);
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return data;
}

} // namespace vorlan
