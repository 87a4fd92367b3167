#include "chartview.h"

#include "core/fonts.h"
#include "core/prompter.h"

#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QPieSeries>
#include <QtCharts/QValueAxis>

#include <QCursor>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QToolTip>

namespace vorlan {

namespace {

QFont chartFont(int pixelSize, bool bold = false)
{
    QFont font(chineseFontFamily());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QChartView *makeView(QWidget *parent)
{
    auto *view = new QChartView(new QChart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setFrameShape(QFrame::NoFrame);
    return view;
}

// Drops whatever the chart shows before drawing anew.
void resetChart(QChart *chart)
{
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(QString());
}

QString numberText(double value) { return QString::number(value, 'g', 13); }

} // namespace

ChartView::ChartView(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages);

    m_pages->addWidget(new QWidget(m_pages));
    m_lineView = makeView(m_pages);
    m_pages->addWidget(m_lineView);
    auto *pies = new QWidget(m_pages);
    auto *pieLayout = new QHBoxLayout(pies);
    pieLayout->setContentsMargins(0, 0, 0, 0);
    pieLayout->setSpacing(0);
    for (QChartView *&view : m_pieViews) {
        view = makeView(pies);
        pieLayout->addWidget(view);
    }
    m_pages->addWidget(pies);
}

int ChartView::shownKind() const { return m_pages->currentIndex(); }
QChart *ChartView::lineChart() const { return m_lineView->chart(); }
QList<QChart *> ChartView::pieCharts() const { return {m_pieViews[0]->chart(), m_pieViews[1]->chart()}; }

void ChartView::clear() { m_pages->setCurrentIndex(0); }

bool ChartView::loadLineChart(const QString &path)
{
    const std::optional<LineChartData> data = readLineChart(path);
    if (!data) {
        clear();
        return false;
    }
    QChart *chart = m_lineView->chart();
    resetChart(chart);
    chart->setTitle(data->title);
    chart->setTitleFont(chartFont(16, true));
    chart->setTitleBrush(QColor(0x00, 0x00, 0x66));
    chart->setBackgroundBrush(QColor(0xfa, 0xfa, 0xfa));
    chart->setPlotAreaBackgroundVisible(true);
    chart->setPlotAreaBackgroundBrush(QColor(0xf1, 0xf1, 0xf1));
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->legend()->setFont(chartFont(12));
    chart->legend()->setLabelColor(QColor(0x5e, 0x70, 0x86));

    auto *xAxis = new QBarCategoryAxis;
    xAxis->append(data->periods);
    xAxis->setLabelsFont(chartFont(12));
    xAxis->setLabelsColor(QColor(0x58, 0x7b, 0x8c));
    auto *yAxis = new QValueAxis;
    yAxis->setRange(data->yMin, data->yMax > data->yMin ? data->yMax : data->yMin + 100);
    yAxis->setTickCount(data->intervals + 1);
    // Whole numbers on the axis: the scale runs in hundreds.
    yAxis->setLabelFormat(yAxis->max() - yAxis->min() >= 10 ? QStringLiteral("%.0f") : QStringLiteral("%.1f"));
    yAxis->setLabelsFont(chartFont(12));
    yAxis->setLabelsColor(QColor(0x58, 0x7b, 0x8c));
    yAxis->setGridLineColor(QColor(0xc0, 0xc0, 0xc0));
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);

    for (int s = 0; s < data->series.size(); ++s) {
        const LineSeriesData &info = data->series.at(s);
        auto *series = new QLineSeries;
        series->setName(info.name);
        QPen pen(info.lineColour);
        pen.setWidth(info.thickness);
        series->setPen(pen);
        series->setPointsVisible(true);
        series->setMarkerSize(7);
        series->setBrush(info.pointColour);
        for (int p = 0; p < data->periods.size(); ++p)
            series->append(p, s < data->values.at(p).size() ? data->values.at(p).at(s) : 0.0);
        chart->addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
        const QStringList periods = data->periods;
        connect(series, &QLineSeries::hovered, this, [series, periods](const QPointF &point, bool state) {
            const int index = qRound(point.x());
            if (state && index >= 0 && index < periods.size())
                QToolTip::showText(QCursor::pos(), periods.at(index) + QLatin1Char(' ') + series->name()
                                                       + QStringLiteral("：") + numberText(point.y()));
            else
                QToolTip::hideText();
        });
    }
    m_pages->setCurrentIndex(1);
    return true;
}

bool ChartView::loadPieChart(const QString &path)
{
    const std::optional<PieChartData> data = readPieChart(path);
    if (!data) {
        clear();
        return false;
    }
    showPieChart(*data);
    return true;
}

void ChartView::showPieChart(const PieChartData &pies)
{
    const PieChartData *data = &pies;
    for (int p = 0; p < 2; ++p) {
        QChart *chart = m_pieViews[p]->chart();
        resetChart(chart);
        chart->setBackgroundBrush(data->background.isValid() ? data->background : QColor(0x33, 0x33, 0x33));
        if (p >= data->pies.size())
            continue;
        const PieChartPart &part = data->pies.at(p);
        chart->setTitle(part.title);
        chart->setTitleFont(chartFont(part.titleSize, part.titleBold));
        chart->setTitleBrush(part.titleColour);
        auto *series = new QPieSeries;
        series->setPieSize(0.66);
        series->setHoleSize(0.25);
        for (const PieSliceData &s : part.slices) {
            QString label;
            if (part.percentMode == QLatin1String("num") || part.percentMode == QLatin1String("all"))
                label = s.name + QLatin1Char(' ') + numberText(s.value);
            else if (part.percentMode == QLatin1String("font"))
                label = s.name;
            QPieSlice *slice = series->append(s.name, s.value);
            if (s.colour.isValid())
                slice->setBrush(s.colour);
            slice->setLabel(label);
            slice->setLabelVisible(!label.isEmpty());
            slice->setLabelColor(part.textColour);
            slice->setLabelFont(chartFont(11));
        }
        // "percent" (drawn from memory only) labels a slice with its share alone.
        const bool shareOnly = part.percentMode == QLatin1String("percent");
        if (part.percentMode == QLatin1String("all") || shareOnly)
            for (QPieSlice *slice : series->slices()) {
                const QString share = QStringLiteral("%1%").arg(slice->percentage() * 100, 0, 'f', 1);
                slice->setLabel(shareOnly ? share : slice->label() + QStringLiteral(" (") + share + QLatin1Char(')'));
                slice->setLabelVisible(true);
            }
        chart->addSeries(series);
        chart->legend()->setVisible(part.showLegend);
        chart->legend()->setAlignment(Qt::AlignRight);
        chart->legend()->setFont(chartFont(11));
        chart->legend()->setLabelColor(part.textColour);
        chart->setMargins(QMargins(2, 2, 2, 2));
        if (part.showLegend) {
            // The legend names the months; the slices keep their values.
            const auto markers = chart->legend()->markers(series);
            for (int i = 0; i < markers.size() && i < part.slices.size(); ++i)
                markers.at(i)->setLabel(part.slices.at(i).name);
        }
    }
    m_pages->setCurrentIndex(2);
}

void showChartPlayer(ChartView *view, ChartKind kind, const QString &dataPath, int componentVersion)
{
    if (componentVersion == 0 || !view)
        return;
    if (kind == ChartKind::Line)
        view->loadLineChart(dataPath);
    else
        view->loadPieChart(dataPath);
}

void offerChartComponent(QWidget *window, Prompter &prompter, int componentVersion,
                         const std::function<void()> &openDownloadPage)
{
    if (componentVersion != 0)
        return;
    if (prompter.ask(window, PromptIcon::Warning, QString(),
                     QStringLiteral("您的 Flash 版本过低，图表功能将无法使用。\r\n\r\n是否安装 Adobe Flash Player ？"),
                     PromptDefault::Yes)
        && openDownloadPage)
        openDownloadPage();
}

} // namespace vorlan
