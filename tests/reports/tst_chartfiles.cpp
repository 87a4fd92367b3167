#include "reports/chartdata.h"
#include "reports/chartfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlan;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The year sales chart of 2016 for all goods with January and February.
LineChartDocument example2016()
{
    LineChartDocument d;
    d.configure(reportLineChartConfig(lineChartScaleMax({{1234.5, 56}, {800, 40}})));
    addReportTitleAndSeries(d, QStringLiteral("2016年 所有商品销售参考数据"), QStringLiteral("销售额"),
                            QStringLiteral("销售量"));
    d.setPeriods({QStringLiteral("01月"), QStringLiteral("02月")});
    d.addValues({QStringLiteral("1234.5"), QStringLiteral("800")});
    d.addValues({QStringLiteral("56"), QStringLiteral("40")});
    d.addValues({});
    return d;
}

// Cuts the section between two markers (exclusive) out of the document text.
QByteArray section(const QByteArray &bytes, const QByteArray &open, const QByteArray &close)
{
    const qsizetype from = bytes.indexOf(open);
    const qsizetype to = bytes.indexOf(close, from);
    return from < 0 || to < 0 ? QByteArray("<none>") : bytes.mid(from + open.size(), to - from - open.size());
}

} // namespace

class TestChartFiles : public QObject
{
    Q_OBJECT
private slots:
    void coloursAreWrittenRedFirst()
    {
        QCOMPARE(colorToHex(0x000000FF), QStringLiteral("0xFF0000"));
        QCOMPARE(colorToHex(0x00FF0000), QStringLiteral("0x0000FF"));
        QCOMPARE(colorToHex(0x00FFA8FF), QStringLiteral("0xFFA8FF"));
        QCOMPARE(colorToHex(0x0080E000), QStringLiteral("0x00E080"));
        QCOMPARE(colorToHex(0x00C06000), QStringLiteral("0x0060C0"));
        QCOMPARE(colorToHex(0x00FFEAD5), QStringLiteral("0xD5EAFF"));
        QCOMPARE(colorToHex(0x00C0C0C0), QStringLiteral("0xC0C0C0"));
        QCOMPARE(colorToHex(0x12345678), QStringLiteral("0x785634")); // highest byte ignored
        QCOMPARE(colorToHex(0), QStringLiteral("0x000000"));
        QCOMPARE(toUtf8(QString()), QByteArray());
        QCOMPARE(toUtf8(QStringLiteral("月")), QByteArray("\xE6\x9C\x88"));
    }

    void scaleMaximum()
    {
        QCOMPARE(lineChartScaleMax({{1234.5, 56}, {800, 40}}), 1300);
        QCOMPARE(lineChartScaleMax({}), 0);
        QCOMPARE(lineChartScaleMax({{300, 2}}), 300);      // an exact multiple stays
        QCOMPARE(lineChartScaleMax({{10, 5}, {5, 250}}), 300); // a count above the maximum raises it
        QCOMPARE(lineChartScaleMax({{10, 250}}), 100);          // but only when the money does not
        QCOMPARE(lineChartScaleMax({{99.95, 1}}), 100);    // truncated, then raised
        QCOMPARE(lineChartScaleMax({{500, 3}, {20, 40}}), 500);
    }

    void wholeLineChartFileOf2016()
    {
        const QByteArray expected =
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
            "<lineChart>\r\n"
            "\t<config>\r\n"
            "\t\t<chartarea x=\"-160\" y=\"55\" width=\"920\" height=\"210\" backColor1=\"0xfafafa\" backColor2=\"0xf1f1f1\" xMargin=\"20\" borderColor=\"0xbdbdbd\" borderThick=\"2\" borderAlpha=\"1\" />\r\n"
            "\t\t<yaxis tagSize=\"12\" tagColor=\"0x587b8c\" tagMargin=\"3\" min=\"0\" max=\"1300\" intervals=\"5\" decimals=\"1\" />\r\n"
            "\t\t<xaxis tagSize=\"12\" tagColor=\"0x587b8c\" tagMargin=\"1\" />\r\n"
            "\t\t<gridlines thick=\"1\" color=\"12632256\" alpha=\"0.8\" />\r\n"
            "\t\t<legends visible=\"true\" x=\"660\" y=\"6\" width=\"100\" square=\"10\" textSize=\"12\" textColor=\"0x5e7086\" backColor=\"0xFFFFFF\" backAlpha=\"1\" borderColor=\"0xbdbdbd\" borderThick=\"1\" borderAlpha=\"1\" legendBackColor=\"0xf2f2f2\" />\r\n"
            "\t\t<points radius=\"3\" />\r\n"
            "\t\t<tooltip size=\"10\" xmargin=\"2\" ymargin=\"0\" />\r\n"
            "\t\t<animation openTime=\"0.5\" moveTime=\"0.5\" synchronized=\"true\" />\r\n"
            "\t</config>\r\n"
            "\t<texts>\r\n"
            "<paragraph align=\"center\" bold=\"true\" color=\"0x000066\" size=\"16\" x=\"45\" y=\"10\" width=\"500\" text=\"2016年 所有商品销售参考数据\" />\r\n"
            "\r\n"
            "\t</texts>\r\n"
            "\t<series>\r\n"
            "<serie lineColor=\"0xFF0000\" thick=\"2\" pointInteriorColor=\"0xFFA8FF\" pointBorderColor=\"0xFF0000\" tooltipBackColor=\"0xFF0000\" tooltipTextColor=\"0xFFA8FF\" name=\"销售额\" />\r\n"
            "<serie lineColor=\"0x0000FF\" thick=\"2\" pointInteriorColor=\"0x00E080\" pointBorderColor=\"0x0000FF\" tooltipBackColor=\"0x0000FF\" tooltipTextColor=\"0x00E080\" name=\"销售量\" />\r\n"
            "\r\n"
            "\t</series>\r\n"
            "\t<periods>\r\n"
            "<period name=\"01月\">\r\n"
            "<v>1234.5</v><v>56</v><v>0</v>\r\n"
            "</period>\r\n"
            "<period name=\"02月\">\r\n"
            "<v>800</v><v>40</v><v>0</v>\r\n"
            "</period>\r\n"
            "\r\n"
            "\t\t</periods>\r\n"
            "</lineChart>";
        const LineChartDocument d = example2016();
        QCOMPARE(d.bytes(), expected);

        // saved into the xml folder of the program folder, with or without a trailing separator
        QTemporaryDir home;
        QVERIFY(d.save(home.path()));
        QCOMPARE(fileBytes(home.path() + QStringLiteral("/xml/line-chart.xml")), expected);
        QTemporaryDir second;
        QVERIFY(d.save(second.path() + QLatin1Char('/')));
        QCOMPARE(fileBytes(second.path() + QStringLiteral("/xml/line-chart.xml")), expected);
        // an old, longer file is replaced whole
        LineChartDocument small;
        small.configure(reportLineChartConfig(0));
        QVERIFY(small.save(home.path()));
        QCOMPARE(fileBytes(home.path() + QStringLiteral("/xml/line-chart.xml")), small.bytes());

        // a folder that does not exist: nothing written, and no folder made up
        QVERIFY(!d.save(home.path() + QStringLiteral("/gone")));
        QVERIFY(!QDir(home.path() + QStringLiteral("/gone")).exists());
    }

    void configureStartsOver()
    {
        LineChartDocument d;
        d.configure(reportLineChartConfig(100));
        d.addParagraph(1, true, std::nullopt, 16, 45, 10, 500, QStringLiteral("旧标题"));
        d.addSeries(0x000000FF, 2, 0x00FFA8FF, QStringLiteral("旧"));
        d.setPeriods({QStringLiteral("01月")});
        d.addValues({QStringLiteral("5")});
        d.configure(reportLineChartConfig(200));
        const QByteArray bytes = d.bytes();
        QVERIFY(!bytes.contains("旧"));
        QVERIFY(!bytes.contains("<period name"));
        QVERIFY(bytes.contains("max=\"200\""));
        // no paragraphs: a single empty line between the markers; the same for the rest
        QCOMPARE(section(bytes, "\t<texts>\r\n", "\t</texts>"), QByteArray("\r\n"));
        QCOMPARE(section(bytes, "\t<series>\r\n", "\t</series>"), QByteArray("\r\n"));
        QCOMPARE(section(bytes, "\t<periods>\r\n", "\t\t</periods>"), QByteArray("\r\n"));
        QVERIFY(bytes.endsWith("</lineChart>"));
    }

    void optionalColoursAndParagraphForms()
    {
        LineChartConfig c = reportLineChartConfig(100);
        c.zebraColour1 = 0x00000001;
        c.borderColour = 0x000000FF;
        c.axisTextColour = 0x00FF0000;
        c.legendTextColour = 0x0000FF00;
        c.legendBackColour = 0x00102030;
        c.legendVisible = false;
        c.synchronized = false;
        LineChartDocument d;
        d.configure(c);
        d.addParagraph(2, false, 0x000000FF, 9, 1, 2, 3, QStringLiteral("右"));
        d.addParagraph(7, true, std::nullopt, 9, 1, 2, 3, QStringLiteral("左"));
        const QByteArray bytes = d.bytes();
        QVERIFY(bytes.contains("backColor1=\"0x010000\" backColor2=\"0xf1f1f1\""));
        // the border colour fills both the chart area and the legend
        QVERIFY(bytes.contains("xMargin=\"20\" borderColor=\"0xFF0000\""));
        QVERIFY(bytes.contains("backAlpha=\"1\" borderColor=\"0xFF0000\""));
        QCOMPARE(bytes.count("tagColor=\"0x0000FF\""), 2);
        QVERIFY(bytes.contains("visible=\"false\""));
        QVERIFY(bytes.contains("textColor=\"0x00FF00\" backColor=\"0x302010\""));
        QVERIFY(bytes.contains("synchronized=\"false\""));
        QVERIFY(bytes.contains("<paragraph align=\"right\" bold=\"false\" color=\"0xFF0000\" size=\"9\" x=\"1\" y=\"2\" width=\"3\" text=\"右\" />\r\n"));
        QVERIFY(bytes.contains("<paragraph align=\"left\" bold=\"true\" color=\"0x000066\""));
    }

    void valueListsShorterAndLonger()
    {
        LineChartDocument d;
        d.configure(reportLineChartConfig(100));
        d.setPeriods({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        d.addValues({QStringLiteral("1")});
        d.addValues({QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7")});
        const QByteArray periods = section(d.bytes(), "\t<periods>\r\n", "\t\t</periods>");
        QCOMPARE(periods, QByteArray("<period name=\"a\">\r\n<v>1</v><v>4</v>\r\n</period>\r\n"
                                     "<period name=\"b\">\r\n<v>0</v><v>5</v>\r\n</period>\r\n"
                                     "<period name=\"c\">\r\n<v>0</v><v>6</v>\r\n</period>\r\n\r\n"));
    }

    void textsThatWouldBreakTheXmlAreEscaped()
    {
        LineChartDocument d;
        d.configure(reportLineChartConfig(100));
        addReportTitleAndSeries(d, QStringLiteral("2016年 \"辣\"<鸡>&鱼销售参考数据"), QStringLiteral("销售额"),
                                QStringLiteral("销售量"));
        d.setPeriods({QStringLiteral("01月")});
        d.addValues({QStringLiteral("5")});
        const QByteArray bytes = d.bytes();
        QVERIFY(bytes.contains("text=\"2016年 &quot;辣&quot;&lt;鸡>&amp;鱼销售参考数据\""));
        // and the chart view reads the title back as it was
        QTemporaryDir home;
        QVERIFY(d.save(home.path()));
        const auto read = readLineChart(lineChartPath(home.path()));
        QVERIFY(read);
        QCOMPARE(read->title, QStringLiteral("2016年 \"辣\"<鸡>&鱼销售参考数据"));
        QCOMPARE(escapeChartText(QStringLiteral("老王's 鸡>")), QStringLiteral("老王's 鸡>"));

        // A slice name holding "]]>" still gives a file the chart view can read.
        PieData pie;
        pie.pies[0].title = pie.pies[1].title = QStringLiteral("a]]>b");
        pie.pies[0].names = pie.pies[1].names = {QStringLiteral("x]]>]"), QStringLiteral("y")};
        pie.pies[0].values = pie.pies[1].values = {1, 2};
        QVERIFY(writePieData(home.path(), pie));
        const auto readPie = readPieChart(pieDataPath(home.path()));
        QVERIFY(readPie && readPie->pies.size() == 2);
        QCOMPARE(readPie->pies.first().title, QStringLiteral("a]]>b"));
        QCOMPARE(readPie->pies.first().slices.first().name, QStringLiteral("x]]>]"));
    }

    void controlCharactersDoNotEmptyTheChart()
    {
        // A name pasted with a control character: the file stays readable, the character
        // shows as a replacement mark (found by fuzzing).
        LineChartDocument d;
        d.configure(reportLineChartConfig(100));
        addReportTitleAndSeries(d, QStringLiteral("销售\u0003统计"), QStringLiteral("鸡\u0001腿"), QStringLiteral("数量"));
        d.setPeriods({QStringLiteral("1月\u001f"), QStringLiteral("2月")});
        d.addValues({QStringLiteral("5"), QStringLiteral("6")});
        QTemporaryDir home;
        QVERIFY(d.save(home.path()));
        const auto read = readLineChart(lineChartPath(home.path()));
        QVERIFY(read);
        QCOMPARE(read->series.first().name, QStringLiteral("鸡\uFFFD腿"));
        QCOMPARE(read->periods, QStringList({QStringLiteral("1月\uFFFD"), QStringLiteral("2月")}));
        QVERIFY(read->title.contains(QStringLiteral("销售\uFFFD统计")));
    }

    void lineChartReadBack()
    {
        QTemporaryDir home;
        QVERIFY(example2016().save(home.path()));
        const auto chart = readLineChart(lineChartPath(home.path()));
        QVERIFY(chart);
        QCOMPARE(chart->title, QStringLiteral("2016年 所有商品销售参考数据"));
        QCOMPARE(chart->yMax, 1300.0);
        QCOMPARE(chart->intervals, 5);
        QCOMPARE(chart->periods, QStringList({QStringLiteral("01月"), QStringLiteral("02月")}));
        QCOMPARE(chart->series.size(), 2);
        QCOMPARE(chart->series.at(0).name, QStringLiteral("销售额"));
        QCOMPARE(chart->series.at(0).lineColour, QColor(255, 0, 0));
        QCOMPARE(chart->series.at(1).pointColour, QColor(0, 0xE0, 0x80));
        QCOMPARE(chart->values.at(0), QList<double>({1234.5, 56, 0}));
        QCOMPARE(chart->values.at(1), QList<double>({800, 40, 0}));
        QCOMPARE(chartColour(QStringLiteral("12632256")), QColor(0xC0, 0xC0, 0xC0));

        // an emptied or missing file draws nothing
        QFile::resize(lineChartPath(home.path()), 0);
        QVERIFY(!readLineChart(lineChartPath(home.path())));
        QVERIFY(!readLineChart(home.path() + QStringLiteral("/none.xml")));
    }

    void pieFileWithTwoMonths()
    {
        const PieData data = yearIncomePieData(QStringLiteral("2016"), {QStringLiteral("01月"), QStringLiteral("03月")},
                                               {1234.9, 560.8}, {30, 12});
        const QByteArray bytes = pieDataBytes(data);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                                 "<!-- bocolor为背景色（十六进制），bgimg为背景图片地址（没用就用none） -->\r\n"
                                 "<drawpie bgcolor=\"0xD5EAFF\" bgimg=\"none\">\r\n\t<pie>\r\n"
                                 "\t\t<!-- pie名：字符串 -->\r\n\t\t<pie_mcname>amu</pie_mcname>\r\n"
                                 "\t\t<!-- pie深度：整数 -->\r\n\t\t<pie_depth>1</pie_depth>\r\n"));
        QVERIFY(bytes.endsWith("\t\t<!--是否显示百分数值等（all,num,font,none）-->\r\n"
                               "\t\t<pie_percentshow>num</pie_percentshow>\r\n\t</pie>\r\n</drawpie>"));
        QVERIFY(bytes.contains("<pie_title>2016年 年收入参考,140,20,16,true,0x0060C0</pie_title>"));
        QVERIFY(bytes.contains("<pie_title>2016年 开单数量参考,580,20,16,true,0x0060C0</pie_title>"));
        QVERIFY(bytes.contains("<pie_num>1234,560</pie_num>")); // integer parts
        QVERIFY(bytes.contains("<pie_num>30,12</pie_num>"));
        QCOMPARE(bytes.count("<pie_name>01月,03月</pie_name>"), 2);
        QCOMPARE(bytes.count("<pie_color>0xFE0708,0x0EED0C,0x2E49F1,0xEEFF0B,0xEE0FF0,0x3E9BF6,0x4E0FFF,0x0E6CFB,"
                             "0xFF8000,0x9EEF7C,0xEE0F47,0xFF80C0</pie_color>"),
                 2);
        QCOMPARE(bytes.count("<pie_showtitle>true,true,true,true,true,true,true,true,true,true,true,true</pie_showtitle>"), 2);
        QCOMPARE(bytes.count("<pie_defaultsate>true,true,true,true,true,true,true,true,true,true,true,true</pie_defaultsate>"), 2);
        QVERIFY(bytes.contains("<pie_showorder>false</pie_showorder>"));
        QVERIFY(bytes.contains("<pie_showorder>true</pie_showorder>"));
        QCOMPARE(bytes.count("<pie_linewidth>20</pie_linewidth>"), 2);
        QCOMPARE(bytes.count("<pie_fontcolor>0x0060C0</pie_fontcolor>"), 2);
        QCOMPARE(bytes.count("<pie_linecolor>0x0060C0</pie_linecolor>"), 2);
        QCOMPARE(bytes.count("<pie_orderfontcolor>0x0060C0</pie_orderfontcolor>"), 2);
        QVERIFY(bytes.contains("<pie_x0>210</pie_x0>"));
        QVERIFY(bytes.contains("<pie_orderx>880</pie_orderx>"));
        // 29 elements, each after its comment, in both pies
        QCOMPARE(bytes.count("\t\t<pie_"), 58);
        QCOMPARE(bytes.count("\t\t<!--"), 58);
        QCOMPARE(bytes.count("\r\n"), 3 + 2 * (1 + 58 + 1));

        // written into the temporary folder, with or without its trailing separator
        QTemporaryDir temp;
        QVERIFY(writePieData(temp.path(), data));
        QCOMPARE(fileBytes(temp.path() + QStringLiteral("/piedata.xml")), bytes);
        QVERIFY(writePieData(temp.path() + QLatin1Char('/'), data));
        QCOMPARE(fileBytes(temp.path() + QStringLiteral("/piedata.xml")), bytes);
        QVERIFY(!writePieData(temp.path() + QStringLiteral("/gone"), data));

        // and read back for drawing
        const auto pies = readPieChart(pieDataPath(temp.path()));
        QVERIFY(pies);
        QCOMPARE(pies->background, QColor(0xD5, 0xEA, 0xFF));
        QCOMPARE(pies->pies.size(), 2);
        QCOMPARE(pies->pies.at(0).title, QStringLiteral("2016年 年收入参考"));
        QCOMPARE(pies->pies.at(0).slices.size(), 2);
        QCOMPARE(pies->pies.at(0).slices.at(1).name, QStringLiteral("03月"));
        QCOMPARE(pies->pies.at(0).slices.at(1).value, 560.0);
        QCOMPARE(pies->pies.at(1).slices.at(0).colour, QColor(0xFE, 0x07, 0x08));
        QVERIFY(!pies->pies.at(0).showLegend);
        QVERIFY(pies->pies.at(1).showLegend);
    }

    void percentModesAndDefaults()
    {
        PieData data;
        data.pies[0].percentMode = QStringLiteral("Num");
        data.pies[1].percentMode = QStringLiteral("font");
        const QByteArray bytes = pieDataBytes(data);
        QVERIFY(bytes.contains("<drawpie bgcolor=\"0x333333\" bgimg=\"none\">"));
        QVERIFY(bytes.contains("<pie_linewidth>0</pie_linewidth>"));
        QVERIFY(bytes.contains("<pie_percentshow>none</pie_percentshow>"));
        QVERIFY(bytes.contains("<pie_linewidth>20</pie_linewidth>"));
        QVERIFY(bytes.contains("<pie_percentshow>font</pie_percentshow>"));
        QVERIFY(bytes.contains("<pie_num></pie_num>")); // empty lists give empty elements
        QVERIFY(bytes.contains("<pie_title>,0,0,0,false,0x000000</pie_title>"));
    }

    void foldersAndPaths()
    {
        QCOMPARE(withTrailingSeparator(QStringLiteral("/tmp")), QStringLiteral("/tmp/"));
        QCOMPARE(withTrailingSeparator(QStringLiteral("/tmp/")), QStringLiteral("/tmp/"));
        QCOMPARE(pieDataPath(QStringLiteral("/tmp")), QStringLiteral("/tmp/piedata.xml"));
        QCOMPARE(lineChartPath(QStringLiteral("/home/shop/")), QStringLiteral("/home/shop/xml/line-chart.xml"));
        QVERIFY(chartPlayerVersion() != 0);
    }
};

QTEST_GUILESS_MAIN(TestChartFiles)
#include "tst_chartfiles.moc"
