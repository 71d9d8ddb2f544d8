#include "pipeline/profilechart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>

#include "mainwin/songfont.h"
#include "pipeline/filewrite.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QValueAxis* valueAxis(const QString& title, double lowest, double highest)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTitleFont(songFont(9));
    axis->setLabelsFont(songFont(8));
    axis->setRange(lowest, highest);
    axis->applyNiceNumbers();
    return axis;
}

QLineSeries* line(const QString& name, const QColor& colour, Qt::PenStyle style)
{
    auto* series = new QLineSeries;
    series->setName(name);
    QPen pen(colour, 2);
    pen.setStyle(style);
    series->setPen(pen);
    return series;
}

/// The range of values, widened a little, and never empty.
std::pair<double, double> rangeOf(const QList<QPointF>& points)
{
    if (points.isEmpty()) return {0.0, 1.0};
    const auto [lowest, highest] = std::minmax_element(points.begin(), points.end(),
                                                       [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    const double margin = std::max((highest->y() - lowest->y()) * 0.05, 0.01);
    return {lowest->y() - margin, highest->y() + margin};
}

/// Whether a segment asks for the engineer's attention.
bool flagged(const SegmentRun& run) { return run.velocityOutsideBand || run.superheatBelowMargin; }

}  // namespace

QChart* makeProfileChart(const PipelineDocument& document, const PipelineResult& result)
{
    QList<QPointF> pressure, temperature, saturation, marked;
    std::size_t segment = 0;  // the segment that ends at the next joint
    for (std::size_t i = 0; i < result.profile.size(); ++i) {
        const ProfilePoint& point = result.profile[i];
        pressure << QPointF(point.distance, point.p);
        temperature << QPointF(point.distance, point.t);
        if (point.tsat) saturation << QPointF(point.distance, *point.tsat);
        while (segment < result.joints.size() && point.distance > result.joints[segment]) ++segment;
        if (i > 0 && segment < result.segments.size() && flagged(result.segments[segment])) {
            marked << QPointF(point.distance, point.t);
        }
    }

    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("管线压力与温度沿程分布"));
    chart->setTitleFont(songFont(11));
    chart->legend()->setFont(songFont(9));
    chart->legend()->setAlignment(Qt::AlignRight);

    QLineSeries* p = line(QStringLiteral("压力"), QColor(31, 87, 170), Qt::SolidLine);
    QLineSeries* t = line(QStringLiteral("温度"), QColor(200, 60, 40), Qt::SolidLine);
    QLineSeries* ts = line(QStringLiteral("饱和温度"), QColor(120, 120, 120), Qt::DashLine);
    auto* flags = new QScatterSeries;
    flags->setName(QStringLiteral("流速或过热度不合要求的管段"));
    flags->setColor(QColor(230, 150, 0));
    flags->setMarkerSize(9);
    p->append(pressure);
    t->append(temperature);
    ts->append(saturation);
    flags->append(marked);
    for (QXYSeries* series : std::initializer_list<QXYSeries*>{p, t, ts, flags}) chart->addSeries(series);

    const double length = pressure.isEmpty() ? 1.0 : std::max(pressure.last().x(), 1.0);
    auto* distance = valueAxis(QStringLiteral("距起点距离 (m)"), 0.0, length);
    distance->setLabelFormat(QStringLiteral("%.0f"));
    const auto [pLow, pHigh] = rangeOf(pressure);
    auto* pAxis = valueAxis(QStringLiteral("压力 (MPa)"), pLow, pHigh);
    const auto [tLow, tHigh] = rangeOf(temperature + saturation);
    auto* tAxis = valueAxis(QStringLiteral("温度 (℃)"), tLow, tHigh);
    // The segment ends: one category per segment, labelled where it ends.
    auto* joints = new QCategoryAxis;
    joints->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    joints->setLabelsFont(songFont(8));
    joints->setRange(distance->min(), distance->max());
    joints->setGridLinePen(QPen(QColor(90, 90, 90), 1, Qt::DotLine));
    for (std::size_t i = 0; i < result.joints.size() && i < document.segments.size(); ++i) {
        const std::string& label = document.segments[i].label;
        joints->append(label.empty() ? QStringLiteral("管段%1").arg(i + 1) : qs(label), result.joints[i]);
    }
    chart->addAxis(distance, Qt::AlignBottom);
    chart->addAxis(joints, Qt::AlignTop);
    chart->addAxis(pAxis, Qt::AlignLeft);
    chart->addAxis(tAxis, Qt::AlignRight);
    for (QXYSeries* series : std::initializer_list<QXYSeries*>{p, t, ts, flags}) {
        series->attachAxis(distance);
        series->attachAxis(series == p ? pAxis : tAxis);
    }
    return chart;
}

namespace {

/// Draws a fresh chart of the main onto a paint device of the given size.
void paintProfile(const PipelineDocument& document, const PipelineResult& result, QPaintDevice& device, QSize size)
{
    QGraphicsScene scene;
    QChart* chart = makeProfileChart(document, result);
    scene.addItem(chart);  // the scene owns it now
    chart->setGeometry(0, 0, size.width(), size.height());
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(0, 0, size.width(), size.height()), QRectF(0, 0, size.width(), size.height()));
}

}  // namespace

QImage profileImage(const PipelineDocument& document, const PipelineResult& result, QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    paintProfile(document, result, image, size);
    return image;
}

bool saveProfile(const PipelineDocument& document, const PipelineResult& result, const QString& path, QSize size)
{
    if (!path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        const QImage image = profileImage(document, result, size);
        return writeAtomically(path, [&image](QIODevice& device) { return image.save(&device, "PNG"); });
    }
    return writeAtomically(path, [&](QIODevice& device) {
        QSvgGenerator svg;
        svg.setOutputDevice(&device);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("管线压力与温度沿程分布"));
        paintProfile(document, result, svg, size);
        return true;
    });
}

}  // namespace dorvent
