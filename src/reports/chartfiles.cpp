#include "chartfiles.h"

#include "core/savefile.h"

#include "core/numbers.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace vorlan {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QByteArray kBom("\xEF\xBB\xBF");

QString attribute(const QString &name, const QString &value)
{
    return QLatin1Char(' ') + name + QStringLiteral("=\"") + value + QLatin1Char('"');
}

QString number(qint64 value) { return QString::number(value); }
QString truth(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

QString optionalColour(const std::optional<WinColor> &colour, const char *fallback)
{
    return colour ? colorToHex(*colour) : QString::fromLatin1(fallback);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return commitSaveFile(file);
}

} // namespace

QString colorToHex(WinColor colour)
{
    const quint32 rgb = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    return QStringLiteral("0x") + QStringLiteral("%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
}

QByteArray toUtf8(const QString &text) { return text.toUtf8(); }

namespace {

// Control characters other than tab and line ends, and the two non-characters, make an XML
// file unreadable: one such character in a dish name would leave the whole chart empty.
bool isXmlCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u >= 0x20 ? (u != 0xFFFE && u != 0xFFFF) : (u == u'\t' || u == u'\n' || u == u'\r');
}

} // namespace

QString escapeChartText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('&'))
            out += QStringLiteral("&amp;");
        else if (c == QLatin1Char('<'))
            out += QStringLiteral("&lt;");
        else if (c == QLatin1Char('"'))
            out += QStringLiteral("&quot;");
        else if (c == QLatin1Char('>') && out.endsWith(QLatin1String("]]")))
            out += QStringLiteral("&gt;"); // "]]>" may not stand in element text (found by fuzzing)
        else if (!isXmlCharacter(c))
            out += QChar(QChar::ReplacementCharacter); // no XML file can hold it, not even as an entity
        else
            out += c;
    }
    return out;
}

QString withTrailingSeparator(const QString &folder)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder;
    return folder + QLatin1Char('/');
}

QString lineChartPath(const QString &programFolder)
{
    return withTrailingSeparator(programFolder) + QStringLiteral("xml/line-chart.xml");
}

QString pieDataPath(const QString &temporaryFolder)
{
    return withTrailingSeparator(temporaryFolder) + QStringLiteral("piedata.xml");
}

int chartPlayerVersion() { return QT_VERSION; }

LineChartConfig reportLineChartConfig(int yMax)
{
    LineChartConfig c;
    c.left = -160;
    c.top = 55;
    c.width = 920;
    c.height = 210;
    c.lineSideMargin = 20;
    c.axisTextSize = 12;
    c.yTextMargin = 3;
    c.yMin = 0;
    c.yMax = yMax;
    c.yIntervals = 5;
    c.xTextMargin = 1;
    c.gridThickness = 1;
    c.gridColour = 0x00C0C0C0;
    c.legendVisible = true;
    c.legendLeft = 660;
    c.legendTop = 6;
    c.legendWidth = 100;
    c.legendTextSize = 12;
    c.pointRadius = 3;
    c.tooltipTextSize = 10;
    c.synchronized = true;
    return c;
}

void LineChartDocument::configure(const LineChartConfig &c)
{
    m_paragraphs.clear();
    m_series.clear();
    m_periodBlocks.clear();
    const QString border = optionalColour(c.borderColour, "0xbdbdbd");
    const QString axisColour = optionalColour(c.axisTextColour, "0x587b8c");
    const QString tab = QStringLiteral("\t\t");
    const QString close = QStringLiteral(" />") + kCrLf;
    m_config = tab + QStringLiteral("<chartarea") + attribute(QStringLiteral("x"), number(c.left))
        + attribute(QStringLiteral("y"), number(c.top)) + attribute(QStringLiteral("width"), number(c.width))
        + attribute(QStringLiteral("height"), number(c.height))
        + attribute(QStringLiteral("backColor1"), optionalColour(c.zebraColour1, "0xfafafa"))
        + attribute(QStringLiteral("backColor2"), optionalColour(c.zebraColour2, "0xf1f1f1"))
        + attribute(QStringLiteral("xMargin"), number(c.lineSideMargin))
        + attribute(QStringLiteral("borderColor"), border) + attribute(QStringLiteral("borderThick"), QStringLiteral("2"))
        + attribute(QStringLiteral("borderAlpha"), QStringLiteral("1")) + close;
    m_config += tab + QStringLiteral("<yaxis") + attribute(QStringLiteral("tagSize"), number(c.axisTextSize))
        + attribute(QStringLiteral("tagColor"), axisColour) + attribute(QStringLiteral("tagMargin"), number(c.yTextMargin))
        + attribute(QStringLiteral("min"), number(c.yMin)) + attribute(QStringLiteral("max"), number(c.yMax))
        + attribute(QStringLiteral("intervals"), number(c.yIntervals))
        + attribute(QStringLiteral("decimals"), QStringLiteral("1")) + close;
    m_config += tab + QStringLiteral("<xaxis") + attribute(QStringLiteral("tagSize"), number(c.axisTextSize))
        + attribute(QStringLiteral("tagColor"), axisColour) + attribute(QStringLiteral("tagMargin"), number(c.xTextMargin))
        + close;
    m_config += tab + QStringLiteral("<gridlines") + attribute(QStringLiteral("thick"), number(c.gridThickness))
        + attribute(QStringLiteral("color"), number(c.gridColour)) + attribute(QStringLiteral("alpha"), QStringLiteral("0.8"))
        + close;
    m_config += tab + QStringLiteral("<legends") + attribute(QStringLiteral("visible"), truth(c.legendVisible))
        + attribute(QStringLiteral("x"), number(c.legendLeft)) + attribute(QStringLiteral("y"), number(c.legendTop))
        + attribute(QStringLiteral("width"), number(c.legendWidth)) + attribute(QStringLiteral("square"), QStringLiteral("10"))
        + attribute(QStringLiteral("textSize"), number(c.legendTextSize))
        + attribute(QStringLiteral("textColor"), optionalColour(c.legendTextColour, "0x5e7086"))
        + attribute(QStringLiteral("backColor"), optionalColour(c.legendBackColour, "0xFFFFFF"))
        + attribute(QStringLiteral("backAlpha"), QStringLiteral("1")) + attribute(QStringLiteral("borderColor"), border)
        + attribute(QStringLiteral("borderThick"), QStringLiteral("1")) + attribute(QStringLiteral("borderAlpha"), QStringLiteral("1"))
        + attribute(QStringLiteral("legendBackColor"), QStringLiteral("0xf2f2f2")) + close;
    m_config += tab + QStringLiteral("<points") + attribute(QStringLiteral("radius"), number(c.pointRadius)) + close;
    m_config += tab + QStringLiteral("<tooltip") + attribute(QStringLiteral("size"), number(c.tooltipTextSize))
        + attribute(QStringLiteral("xmargin"), QStringLiteral("2")) + attribute(QStringLiteral("ymargin"), QStringLiteral("0"))
        + close;
    m_config += tab + QStringLiteral("<animation") + attribute(QStringLiteral("openTime"), QStringLiteral("0.5"))
        + attribute(QStringLiteral("moveTime"), QStringLiteral("0.5")) + attribute(QStringLiteral("synchronized"), truth(c.synchronized))
        + close;
}

void LineChartDocument::addParagraph(int align, bool bold, std::optional<WinColor> colour, int size, int x, int y,
                                     int width, const QString &text)
{
    const QString alignText = align == 1 ? QStringLiteral("center")
        : align == 2                     ? QStringLiteral("right")
                                         : QStringLiteral("left");
    m_paragraphs += QStringLiteral("<paragraph") + attribute(QStringLiteral("align"), alignText)
        + attribute(QStringLiteral("bold"), truth(bold)) + attribute(QStringLiteral("color"), optionalColour(colour, "0x000066"))
        + attribute(QStringLiteral("size"), number(size)) + attribute(QStringLiteral("x"), number(x))
        + attribute(QStringLiteral("y"), number(y)) + attribute(QStringLiteral("width"), number(width))
        + attribute(QStringLiteral("text"), escapeChartText(text)) + QStringLiteral(" />") + kCrLf;
}

void LineChartDocument::addSeries(WinColor lineColour, int thickness, WinColor pointColour, const QString &name)
{
    const QString line = colorToHex(lineColour);
    const QString point = colorToHex(pointColour);
    m_series += QStringLiteral("<serie") + attribute(QStringLiteral("lineColor"), line)
        + attribute(QStringLiteral("thick"), number(thickness)) + attribute(QStringLiteral("pointInteriorColor"), point)
        + attribute(QStringLiteral("pointBorderColor"), line) + attribute(QStringLiteral("tooltipBackColor"), line)
        + attribute(QStringLiteral("tooltipTextColor"), point) + attribute(QStringLiteral("name"), escapeChartText(name))
        + QStringLiteral(" />") + kCrLf;
}

void LineChartDocument::setPeriods(const QStringList &names)
{
    m_periodBlocks.clear();
    for (const QString &name : names)
        m_periodBlocks.append(QStringLiteral("<period name=\"") + escapeChartText(name) + QStringLiteral("\">") + kCrLf);
}

void LineChartDocument::addValues(const QStringList &values)
{
    for (int i = 0; i < m_periodBlocks.size(); ++i)
        m_periodBlocks[i] += QStringLiteral("<v>") + (i < values.size() ? values.at(i) : QStringLiteral("0"))
            + QStringLiteral("</v>");
}

QByteArray LineChartDocument::bytes() const
{
    QString joined;
    for (const QString &block : m_periodBlocks)
        joined += block + kCrLf + QStringLiteral("</period>") + kCrLf;
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>") + kCrLf + QStringLiteral("<lineChart>")
        + kCrLf + QStringLiteral("\t<config>") + kCrLf + m_config + QStringLiteral("\t</config>") + kCrLf
        + QStringLiteral("\t<texts>") + kCrLf + m_paragraphs + kCrLf + QStringLiteral("\t</texts>") + kCrLf
        + QStringLiteral("\t<series>") + kCrLf + m_series + kCrLf + QStringLiteral("\t</series>") + kCrLf
        + QStringLiteral("\t<periods>") + kCrLf + joined + kCrLf + QStringLiteral("\t\t</periods>") + kCrLf
        + QStringLiteral("</lineChart>");
    return kBom + toUtf8(text);
}

bool LineChartDocument::save(const QString &folder) const
{
    if (QFileInfo(folder).isDir())
        QDir(folder).mkpath(QStringLiteral("xml"));
    return writeFile(lineChartPath(folder), bytes());
}

void addReportTitleAndSeries(LineChartDocument &document, const QString &title, const QString &moneyName,
                             const QString &countName)
{
    document.addParagraph(1, true, std::nullopt, 16, 45, 10, 500, title);
    document.addSeries(0x000000FF, 2, 0x00FFA8FF, moneyName);
    document.addSeries(0x00FF0000, 2, 0x0080E000, countName);
}

void LineChartScale::add(double money, double count)
{
    if (money - m_max > 0.0000001)
        m_max = std::trunc(money);
    else if (count > m_max)
        m_max = count;
}

int LineChartScale::maximum() const
{
    const double q = m_max / 100;
    if (q - std::trunc(q) > 0.0000001)
        return static_cast<int>((std::trunc(q) + 1) * 100);
    return static_cast<int>(m_max);
}

int lineChartScaleMax(const QList<QPair<double, double>> &rows)
{
    LineChartScale scale;
    for (const auto &[money, count] : rows)
        scale.add(money, count);
    return scale.maximum();
}

namespace {

template<typename T, typename F>
QString joined(const QList<T> &items, F &&format)
{
    QStringList parts;
    parts.reserve(items.size());
    for (const T &item : items)
        parts.append(format(item));
    return parts.join(QLatin1Char(','));
}

struct PieElement {
    const char *name;
    const char *comment1;
    const char *comment2;
};

// The element order of one pie and its two comment texts (first and second pie).
const PieElement kPieElements[] = {
    {"pie_mcname", "pie名：字符串", "pie名：字符串"},
    {"pie_depth", "pie深度：整数", "pie深度"},
    {"pie_title", "标题：字符串。格式：标题(字符串),x坐标(数字),y坐标(数字),文字大小(数字),是否粗体(true是/false否),颜色（十六进制）", "标题"},
    {"pie_action", "竖向列标支持动作:onRelease,onRollOver,onRollOut,none，任选或除none之外的全部/部份用“,”隔开",
     "竖向列标支持动作:onRelease,onRollOver,onRollOut,none"},
    {"pie_num", "数值：数字。每一个项目数据用“,”隔开", "数值"},
    {"pie_name", "名称：字符串。每一个项目名称用“,”隔开", "名称"},
    {"pie_color", "颜色：字符串（十六进制颜色名）。每一个项目颜色用“,”隔开", "颜色"},
    {"pie_showtitle", "是否显示名称与数值：true显示/false不显示。每一个项目(饼上)是否显示用“,”隔开", "是否显示名称与数值"},
    {"pie_defaultsate", "默认pie位置是否打开：true打开/false不打开。默认当前一个项目是否为打开状态用“,”隔开", "默认pie位置是否打开"},
    {"pie_dark", "深色系数：立体色深色深度（在大小1的一个数字默认为1.43）", "深色系数"},
    {"pie_x0", "圆心x坐标：数字", "圆心x坐标"},
    {"pie_y0", "圆心y坐标：数字", "圆心y坐标"},
    {"pie_z", "长轴：数字", "长轴"},
    {"pie_d", "短轴：数字", "短轴"},
    {"pie_w", "环宽：数字", "环宽"},
    {"pie_h", "高：数字", "高"},
    {"pie_move", "移动距离：打开一个饼图的一块之后移动的距离（数字）", "移动距离"},
    {"pie_clickalpha", "点击之后的pie透明度：数字（0-100）", "点击之后的pie透明度"},
    {"pie_defaultalpha", "默认pie的透明度：数字（0-100）", "默认透明度"},
    {"pie_showorder", "是否显示竖向列标：true（显示）或false（不显示）", "是否显示竖向列标"},
    {"pie_orderx", "竖向列标x坐标：数字", "竖向列标x坐标"},
    {"pie_ordery", "竖向列标y坐标：数字", "竖向列标y坐标"},
    {"pie_orderxy", "竖向列标间隔：数字", "竖向列标间隔"},
    {"pie_orderfontcolor", "竖向扇区文字颜色：颜色（十六进制）", "竖向扇区文字颜色"},
    {"pie_linecolor", "指示线颜色：颜色（十六进制）", "指示线颜色"},
    {"pie_linealpha", "指示线透明度：（0-100）", "指示线透明度"},
    {"pie_linewidth", "指示线长度：数字", "指示线长度"},
    {"pie_fontcolor", "文字颜色：颜色（十六进制）", "文字颜色"},
    {"pie_percentshow", "是否显示百分数值等（all都显示,num只显示数字,font只显示文字,none不显示）",
     "是否显示百分数值等（all,num,font,none）"},
};

QString pieValue(const QString &element, int index, const PieSettings &pie, const PieData &data)
{
    const bool first = index == 0;
    const bool knownMode = pie.percentMode == QLatin1String("all") || pie.percentMode == QLatin1String("num")
        || pie.percentMode == QLatin1String("font");
    const auto colourList = [](WinColor c) { return colorToHex(c); };
    if (element == QLatin1String("pie_mcname"))
        return first ? QStringLiteral("amu") : QStringLiteral("kiss");
    if (element == QLatin1String("pie_depth"))
        return first ? QStringLiteral("1") : QStringLiteral("2");
    if (element == QLatin1String("pie_title"))
        return escapeChartText(pie.title) + QLatin1Char(',') + number(pie.titleX) + QLatin1Char(',') + number(pie.titleY)
            + QLatin1Char(',') + number(pie.titleSize) + QLatin1Char(',') + truth(pie.titleBold) + QLatin1Char(',')
            + colorToHex(pie.titleColour);
    if (element == QLatin1String("pie_action"))
        return QStringLiteral("onRelease,onRollOver,onRollOut");
    if (element == QLatin1String("pie_num"))
        return joined(pie.values, [](qint64 v) { return number(v); });
    if (element == QLatin1String("pie_name"))
        return joined(pie.names, [](const QString &n) { return escapeChartText(n); });
    if (element == QLatin1String("pie_color"))
        return joined(pie.colours, colourList);
    if (element == QLatin1String("pie_showtitle"))
        return joined(pie.showNames, truth);
    if (element == QLatin1String("pie_defaultsate"))
        return joined(pie.open, truth);
    if (element == QLatin1String("pie_dark"))
        return QStringLiteral("1.43");
    if (element == QLatin1String("pie_x0"))
        return number(pie.centreX);
    if (element == QLatin1String("pie_y0"))
        return number(pie.centreY);
    if (element == QLatin1String("pie_z"))
        return number(pie.longAxis);
    if (element == QLatin1String("pie_d"))
        return number(pie.shortAxis);
    if (element == QLatin1String("pie_w"))
        return number(pie.ringWidth);
    if (element == QLatin1String("pie_h"))
        return number(pie.height);
    if (element == QLatin1String("pie_move"))
        return QStringLiteral("15");
    if (element == QLatin1String("pie_clickalpha") || element == QLatin1String("pie_linealpha"))
        return QStringLiteral("100");
    if (element == QLatin1String("pie_defaultalpha"))
        return QStringLiteral("50");
    if (element == QLatin1String("pie_showorder"))
        return truth(!first);
    if (element == QLatin1String("pie_orderx"))
        return number(pie.legendX);
    if (element == QLatin1String("pie_ordery"))
        return number(pie.legendY);
    if (element == QLatin1String("pie_orderxy"))
        return QStringLiteral("6");
    if (element == QLatin1String("pie_orderfontcolor"))
        return colorToHex(data.legendTextColour);
    if (element == QLatin1String("pie_linecolor") || element == QLatin1String("pie_fontcolor"))
        return colorToHex(data.sliceTextColour);
    if (element == QLatin1String("pie_linewidth"))
        return knownMode ? QStringLiteral("20") : QStringLiteral("0");
    if (element == QLatin1String("pie_percentshow"))
        return knownMode ? pie.percentMode : QStringLiteral("none");
    return QString();
}

} // namespace

QByteArray pieDataBytes(const PieData &data)
{
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>") + kCrLf
        + QStringLiteral("<!-- bocolor为背景色（十六进制），bgimg为背景图片地址（没用就用none） -->") + kCrLf
        + QStringLiteral("<drawpie bgcolor=\"") + optionalColour(data.background, "0x333333")
        + QStringLiteral("\" bgimg=\"none\">") + kCrLf;
    for (int p = 0; p < 2; ++p) {
        text += QStringLiteral("\t<pie>") + kCrLf;
        for (const PieElement &element : kPieElements) {
            const QString name = QString::fromLatin1(element.name);
            const QString comment = QString::fromUtf8(p == 0 ? element.comment1 : element.comment2);
            if (name == QLatin1String("pie_percentshow"))
                text += QStringLiteral("\t\t<!--") + comment + QStringLiteral("-->") + kCrLf;
            else
                text += QStringLiteral("\t\t<!-- ") + comment + QStringLiteral(" -->") + kCrLf;
            text += QStringLiteral("\t\t<") + name + QLatin1Char('>') + pieValue(name, p, data.pies[p], data)
                + QStringLiteral("</") + name + QLatin1Char('>') + kCrLf;
        }
        text += QStringLiteral("\t</pie>") + kCrLf;
    }
    text += QStringLiteral("</drawpie>");
    return kBom + toUtf8(text);
}

bool writePieData(const QString &temporaryFolder, const PieData &data)
{
    return writeFile(pieDataPath(temporaryFolder), pieDataBytes(data));
}

PieData yearIncomePieData(const QString &year, const QStringList &monthNames, const QList<double> &incomes,
                          const QList<qint64> &counts)
{
    static const QList<WinColor> kSliceColours = {0x0807FE, 0x0CED0E, 0xF1492E, 0x0BFFEE, 0xF00FEE, 0xF69B3E,
                                                  0xFF0F4E, 0xFB6C0E, 0x0080FF, 0x7CEF9E, 0x470FEE, 0xC080FF};
    PieData data;
    data.background = 0x00FFEAD5;
    data.sliceTextColour = 0x00C06000;
    data.legendTextColour = 0x00C06000;
    QList<qint64> truncated;
    for (double income : incomes)
        truncated.append(static_cast<qint64>(std::trunc(income)));
    const QStringList titles = {year + QStringLiteral("年 年收入参考"), year + QStringLiteral("年 开单数量参考")};
    for (int p = 0; p < 2; ++p) {
        PieSettings &pie = data.pies[p];
        pie.title = titles.at(p);
        pie.titleX = p == 0 ? 140 : 580;
        pie.titleY = 20;
        pie.titleSize = 16;
        pie.titleBold = true;
        pie.titleColour = 0x00C06000;
        pie.values = p == 0 ? truncated : counts;
        pie.names = monthNames;
        pie.colours = kSliceColours;
        pie.showNames = QList<bool>(12, true);
        pie.open = QList<bool>(12, true);
        pie.centreX = p == 0 ? 210 : 680;
        pie.centreY = 160;
        pie.longAxis = 120;
        pie.shortAxis = 60;
        pie.ringWidth = 50;
        pie.height = 16;
        pie.legendX = p == 0 ? 420 : 880;
        pie.legendY = 40;
        pie.percentMode = QStringLiteral("num");
    }
    return data;
}

} // namespace vorlan
