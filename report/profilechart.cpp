#include "report/profilechart.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

#include "mainwin/songfont.h"
#include "numtext/formatnumber.h"
#include "report/filewrite.h"

namespace dorvent {
namespace {

const QColor kText(20, 20, 20);
const QColor kGrid(222, 222, 222);
const QColor kJoint(120, 120, 120);
const QColor kPressure(31, 87, 170);
const QColor kTemperature(200, 60, 40);
const QColor kSaturation(110, 110, 110);
const QColor kDryness(30, 140, 70);
const QColor kFlagged(255, 170, 60, 80);
const QColor kStop(210, 0, 0);

QString qs(const std::string& text) { return QString::fromStdString(text); }

/// "管段 3（B-C）未能算出", or "管段 3 未能算出" for a segment without a label.
QString failedText(const PipelineDocument& document, std::size_t i)
{
    const std::string& label = document.segments[i].label;
    return label.empty() ? QStringLiteral("管段 %1 未能算出").arg(i + 1)
                         : QStringLiteral("管段 %1（%2）未能算出").arg(i + 1).arg(qs(label));
}

/// An axis from low to high in steps of 1, 2 or 5 times a power of ten, at most count of them.
struct Axis {
    double low;
    double high;
    double step;
    int decimals;  ///< of the tick labels
    std::vector<double> ticks() const
    {
        std::vector<double> values;
        for (double v = low; v <= high + step * 1e-6; v += step) values.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
        return values;
    }
    QString label(double value) const { return qs(formatFixed(value, decimals)); }
};

Axis niceAxis(double low, double high, int count)
{
    if (!(high > low)) {  // one value: a little room around it
        const double room = std::max(std::abs(low) * 0.01, 0.01);
        low -= room;
        high += room;
    }
    const double raw = (high - low) / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * power;
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * power >= raw * (1 - 1e-9)) {
            step = m * power;
            break;
        }
    }
    const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
    return {std::floor(low / step + 1e-9) * step, std::ceil(high / step - 1e-9) * step, step, decimals};
}

std::pair<double, double> rangeOf(std::initializer_list<const QVector<QPointF>*> curves)
{
    double low = INFINITY, high = -INFINITY;
    for (const QVector<QPointF>* curve : curves) {
        for (const QPointF& p : *curve) {
            low = std::min(low, p.y());
            high = std::max(high, p.y());
        }
    }
    return low <= high ? std::pair(low, high) : std::pair(0.0, 1.0);
}

double widest(const QFontMetricsF& metrics, const Axis& axis)
{
    double width = 0;
    for (const double v : axis.ticks()) width = std::max(width, metrics.horizontalAdvance(axis.label(v)));
    return width;
}

/// Draws one chart: the sizes in pixels of a 96 dpi screen, scaled to the device.
class ProfilePainter {
public:
    ProfilePainter(QPainter& painter, const ProfileData& data, ProfileDetail detail)
        : p_(painter), data_(data), detail_(detail), px_(painter.device()->logicalDpiY() / 96.0),
          text_(fontFor(9)), small_(fontFor(8)), textMetrics_(text_, painter.device()),
          smallMetrics_(small_, painter.device())
    {
    }

    void paint(const QRectF& area);

private:
    static QFont fontFor(double points) { return songFont(points); }
    bool layOut(const QRectF& area);
    QPointF at(const QPointF& point, const Axis& y) const;
    double xAt(double distance) const;
    void drawTitleAndAxes(const QRectF& area);
    void drawDrynessAxis(const QRectF& area);
    /// Room on the right for the dryness axis, outside the temperature's; none without it.
    double drynessRoom() const
    {
        return data_.dryness.isEmpty() ? 0.0 : 24 * px_ + widest(smallMetrics_, dryness_) + textMetrics_.height();
    }
    void drawGrid();
    void drawBands();
    void drawJoints();
    void drawCurve(const QVector<QPointF>& curve, const Axis& y, const QColor& colour, Qt::PenStyle style);
    void drawStop();
    void drawLegend(const QRectF& area);

    QPainter& p_;
    const ProfileData& data_;
    ProfileDetail detail_;
    double px_;
    QFont text_, small_;
    QFontMetricsF textMetrics_, smallMetrics_;
    double length_ = 1;   // [m]
    double unit_ = 1;     // metres per unit of the distance axis
    Axis x_{}, pressure_{}, temperature_{}, dryness_{};
    QRectF plot_;
};

void ProfilePainter::paint(const QRectF& area)
{
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing);
    p_.fillRect(area, Qt::white);
    if (layOut(area)) {
        p_.setClipRect(plot_);
        drawBands();
        drawGrid();
        drawJoints();
        drawCurve(data_.saturation, temperature_, kSaturation, Qt::DashLine);
        drawCurve(data_.temperature, temperature_, kTemperature, Qt::SolidLine);
        drawCurve(data_.pressure, pressure_, kPressure, Qt::SolidLine);
        if (!data_.dryness.isEmpty()) drawCurve(data_.dryness, dryness_, kDryness, Qt::SolidLine);
        drawStop();
        p_.setClipping(false);
        drawTitleAndAxes(area);
        if (!data_.dryness.isEmpty()) drawDrynessAxis(area);
        drawLegend(area);
    }
    p_.restore();
}

/// Places the plot inside area so that every tick label and title is whole; false when the area
/// is too small for a plot.
bool ProfilePainter::layOut(const QRectF& area)
{
    const double line = textMetrics_.height();
    const double smallLine = smallMetrics_.height();
    for (const QVector<QPointF>* curve : {&data_.pressure, &data_.temperature}) {
        if (!curve->isEmpty()) length_ = std::max(length_, curve->last().x());
    }
    if (data_.stop) length_ = std::max(length_, *data_.stop);
    unit_ = length_ >= 10000 ? 1000 : 1;

    const double top = area.top() + 1.6 * line + 1.4 * smallLine;           // title, segment labels
    const double bottom = area.bottom() - 1.3 * smallLine - 1.5 * line - 2 * line;  // ticks, title, legend
    const int rows = std::max(2, static_cast<int>((bottom - top) / (2.5 * smallLine)));
    const auto [pLow, pHigh] = rangeOf({&data_.pressure});
    const auto [tLow, tHigh] = rangeOf({&data_.temperature, &data_.saturation});
    pressure_ = niceAxis(pLow, pHigh, rows);
    temperature_ = niceAxis(tLow, tHigh, rows);
    dryness_ = niceAxis(rangeOf({&data_.dryness}).first, 1.0, rows);
    const double left = area.left() + 14 * px_ + line + widest(smallMetrics_, pressure_);
    const double right = area.right() - 14 * px_ - line - widest(smallMetrics_, temperature_) - drynessRoom();
    plot_ = QRectF(QPointF(left, top), QPointF(right, bottom));
    if (plot_.width() < 60 * px_ || plot_.height() < 40 * px_) return false;

    // As many distance ticks as their labels leave room for.
    int columns = std::max(1, static_cast<int>(plot_.width() / (80 * px_)));
    for (int attempt = 0; attempt < 4; ++attempt) {
        x_ = niceAxis(0, length_ / unit_, columns);
        x_.low = 0;
        const int fitting = static_cast<int>(plot_.width() / (widest(smallMetrics_, x_) + 3 * smallLine));
        if (fitting >= columns) break;
        columns = std::max(1, fitting);
    }
    return true;
}

double ProfilePainter::xAt(double distance) const
{
    return plot_.left() + (distance / unit_ - x_.low) / (x_.high - x_.low) * plot_.width();
}

QPointF ProfilePainter::at(const QPointF& point, const Axis& y) const
{
    return {xAt(point.x()), plot_.bottom() - (point.y() - y.low) / (y.high - y.low) * plot_.height()};
}

void ProfilePainter::drawTitleAndAxes(const QRectF& area)
{
    const double line = textMetrics_.height();
    const double smallLine = smallMetrics_.height();
    QFont title = songFont(11);
    title.setBold(true);
    p_.setFont(title);
    p_.setPen(kText);
    p_.drawText(QRectF(area.left(), area.top(), area.width(), 1.6 * line), Qt::AlignCenter,
                QStringLiteral("管线压力与温度沿程分布"));

    p_.setFont(small_);
    p_.setPen(QPen(kText, px_));
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(plot_);
    const double gap = 4 * px_;
    for (const double v : pressure_.ticks()) {
        const double y = at({0, v}, pressure_).y();
        p_.drawText(QRectF(area.left(), y - smallLine, plot_.left() - gap - area.left(), 2 * smallLine),
                    Qt::AlignRight | Qt::AlignVCenter, pressure_.label(v));
    }
    const double right = area.right() - drynessRoom();  // of the temperature's axis
    for (const double v : temperature_.ticks()) {
        const double y = at({0, v}, temperature_).y();
        p_.drawText(QRectF(plot_.right() + gap, y - smallLine, right - plot_.right(), 2 * smallLine),
                    Qt::AlignLeft | Qt::AlignVCenter, temperature_.label(v));
    }
    for (const double v : x_.ticks()) {
        p_.drawText(QRectF(xAt(v * unit_) - 100 * px_, plot_.bottom() + gap, 200 * px_, smallLine), Qt::AlignCenter,
                    x_.label(v));
    }
    p_.setFont(text_);
    p_.drawText(QRectF(plot_.left(), plot_.bottom() + gap + 1.3 * smallLine, plot_.width(), 1.4 * line),
                Qt::AlignCenter, unit_ == 1 ? QStringLiteral("距起点距离 (m)") : QStringLiteral("距起点距离 (km)"));
    // The vertical titles, read from below (left) and from above (right).
    const auto vertical = [this, line](double x, double angle, const QString& text) {
        p_.save();
        p_.translate(x, plot_.center().y());
        p_.rotate(angle);
        p_.drawText(QRectF(-plot_.height() / 2, -line / 2, plot_.height(), line), Qt::AlignCenter, text);
        p_.restore();
    };
    vertical(area.left() + 4 * px_ + line / 2, -90, QStringLiteral("压力 (MPa)"));
    vertical(right - 4 * px_ - line / 2, 90, QStringLiteral("温度 (℃)"));
}

/// The dryness's own axis outside the temperature's, in the colour of its curve: a line with its
/// ticks, their values and its title.
void ProfilePainter::drawDrynessAxis(const QRectF& area)
{
    const double line = textMetrics_.height(), smallLine = smallMetrics_.height();
    const double x = area.right() - drynessRoom() + 8 * px_;
    p_.setPen(QPen(kDryness, px_));
    p_.drawLine(QPointF(x, plot_.top()), QPointF(x, plot_.bottom()));
    p_.setFont(small_);
    for (const double v : dryness_.ticks()) {
        const double y = at({0, v}, dryness_).y();
        p_.drawLine(QPointF(x, y), QPointF(x + 4 * px_, y));
        p_.drawText(QRectF(x + 6 * px_, y - smallLine, area.right() - x, 2 * smallLine), Qt::AlignLeft | Qt::AlignVCenter,
                    dryness_.label(v));
    }
    p_.setFont(text_);
    p_.save();
    p_.translate(area.right() - 4 * px_ - line / 2, plot_.center().y());
    p_.rotate(90);
    p_.drawText(QRectF(-plot_.height() / 2, -line / 2, plot_.height(), line), Qt::AlignCenter, QStringLiteral("干度"));
    p_.restore();
}

void ProfilePainter::drawGrid()
{
    p_.setPen(QPen(kGrid, px_));
    for (const double v : pressure_.ticks()) {
        const double y = at({0, v}, pressure_).y();
        p_.drawLine(QPointF(plot_.left(), y), QPointF(plot_.right(), y));
    }
    for (const double v : x_.ticks()) p_.drawLine(QPointF(xAt(v * unit_), plot_.top()), QPointF(xAt(v * unit_), plot_.bottom()));
}

/// The flagged segments as bands; neighbours that touch on the screen as one band, so that a long
/// main is not a thousand overlapping shades.
void ProfilePainter::drawBands()
{
    const auto fill = [this](double from, double to) {
        p_.fillRect(QRectF(from, plot_.top(), std::max(to - from, px_), plot_.height()), kFlagged);
    };
    double from = 0, to = -INFINITY;
    for (const ProfileData::Span& span : data_.flagged) {
        const double left = xAt(span.from), right = xAt(span.to);
        if (left > to + px_) {
            if (to > -INFINITY) fill(from, to);
            from = left;
        }
        to = std::max(to, right);
    }
    if (to > -INFINITY) fill(from, to);
}

/// The segment ends as dotted lines, and their labels above the plot where they do not crowd
/// each other: a label is left out when it would touch the one before.
void ProfilePainter::drawJoints()
{
    p_.setPen(QPen(kJoint, px_, Qt::DotLine));
    double lastLine = -INFINITY;
    for (const ProfileData::Joint& joint : data_.joints) {
        const double x = xAt(joint.distance);
        if (x - lastLine < 4 * px_) continue;  // lines closer than that only blur
        p_.drawLine(QPointF(x, plot_.top()), QPointF(x, plot_.bottom()));
        lastLine = x;
    }
    p_.setClipping(false);
    p_.setFont(small_);
    p_.setPen(kText);
    double lastRight = -INFINITY;
    const double gap = smallMetrics_.averageCharWidth();
    for (const ProfileData::Joint& joint : data_.joints) {
        if (xAt(joint.distance) < lastRight + gap) continue;  // crowded: not even measured
        const double width = smallMetrics_.horizontalAdvance(joint.label);
        const double x = std::clamp(xAt(joint.distance) - width / 2, plot_.left() - width / 2, plot_.right() - width / 2);
        if (x < lastRight + gap) continue;
        p_.drawText(QPointF(x, plot_.top() - smallMetrics_.descent() - 2 * px_), joint.label);
        lastRight = x + width;
    }
    p_.setClipRect(plot_);
}

void ProfilePainter::drawCurve(const QVector<QPointF>& curve, const Axis& y, const QColor& colour, Qt::PenStyle style)
{
    const double metresPerPixel = (x_.high - x_.low) * unit_ / std::max(plot_.width() / px_, 1.0);
    const QVector<QPointF> points =
        detail_ == ProfileDetail::screen ? thinnedOut(curve, 0, metresPerPixel) : curve;
    QPolygonF line;
    line.reserve(points.size());
    for (const QPointF& point : points) line << at(point, y);
    p_.setPen(QPen(colour, 2 * px_, style, Qt::RoundCap, Qt::RoundJoin));
    p_.drawPolyline(line);
}

void ProfilePainter::drawStop()
{
    if (data_.emptyText.size() > 0 && !data_.stop) {
        p_.setFont(text_);
        p_.setPen(kText);
        p_.drawText(plot_, Qt::AlignCenter, data_.emptyText);
    }
    if (!data_.stop) return;
    const double x = xAt(*data_.stop);
    p_.setPen(QPen(kStop, 2 * px_, Qt::DashLine));
    p_.drawLine(QPointF(x, plot_.top()), QPointF(x, plot_.bottom()));
    p_.setPen(QPen(kStop, 2 * px_));
    for (const auto& [curve, axis] : {std::pair(&data_.pressure, pressure_), std::pair(&data_.temperature, temperature_)}) {
        if (!curve->isEmpty()) p_.drawEllipse(at(curve->last(), axis), 4 * px_, 4 * px_);
    }
    p_.setFont(text_);
    const double width = textMetrics_.horizontalAdvance(data_.stopText);
    const bool leftOfLine = x + 6 * px_ + width > plot_.right();
    p_.drawText(QPointF(leftOfLine ? x - 6 * px_ - width : x + 6 * px_, plot_.top() + 1.2 * textMetrics_.height()),
                data_.stopText);
}

void ProfilePainter::drawLegend(const QRectF& area)
{
    struct Item {
        QString text;
        QColor colour;
        Qt::PenStyle style;
        bool band;
    };
    std::vector<Item> items = {{QStringLiteral("压力"), kPressure, Qt::SolidLine, false},
                               {QStringLiteral("温度"), kTemperature, Qt::SolidLine, false},
                               {QStringLiteral("饱和温度"), kSaturation, Qt::DashLine, false},
                               {QStringLiteral("流速或过热度不合要求的管段"), kFlagged, Qt::SolidLine, true}};
    if (!data_.dryness.isEmpty()) items.insert(items.begin() + 3, {QStringLiteral("干度"), kDryness, Qt::SolidLine, false});
    if (data_.stop) items.push_back({QStringLiteral("计算停止处"), kStop, Qt::DashLine, false});
    const double sample = 28 * px_, gap = 16 * px_;
    double width = 0;
    for (const Item& item : items) width += sample + 6 * px_ + textMetrics_.horizontalAdvance(item.text) + gap;
    double x = area.center().x() - (width - gap) / 2;
    const double y = area.bottom() - 0.9 * textMetrics_.height();
    p_.setFont(text_);
    for (const Item& item : items) {
        if (item.band) {
            p_.fillRect(QRectF(x, y - 5 * px_, sample, 10 * px_), item.colour);
        } else {
            p_.setPen(QPen(item.colour, 2 * px_, item.style));
            p_.drawLine(QPointF(x, y), QPointF(x + sample, y));
        }
        x += sample + 6 * px_;
        p_.setPen(kText);
        p_.drawText(QPointF(x, y + textMetrics_.ascent() / 2 - px_), item.text);
        x += textMetrics_.horizontalAdvance(item.text) + gap;
    }
}

/// The dryness where the steam along the path is wet: 1 where it becomes saturated (within the
/// section that ends wet), then at the end of every wet section; empty where it stays superheated.
QVector<QPointF> drynessAlong(const PipelineResult& result, const std::vector<std::size_t>& path,
                              const std::vector<ProfilePoint>& profile, const std::vector<double>& joints)
{
    QVector<QPointF> points;
    for (std::size_t k = 0; k < joints.size() && k < path.size(); ++k) {
        const std::optional<BalanceRun>& balance = result.segments[path[k]].balance;
        if (balance && balance->saturationDistance) points << QPointF((k > 0 ? joints[k - 1] : 0.0) + *balance->saturationDistance, 1.0);
    }
    for (const ProfilePoint& point : profile) {
        if (point.dryness < 1) points << QPointF(point.distance, point.dryness);
    }
    std::ranges::stable_sort(points, {}, &QPointF::x);
    return points;
}

/// What the path is: the nodes it passes in a network, the first and the last segment of a main.
QString pathCaption(const PipelineDocument& document, const PipelineResult& result, const std::vector<std::size_t>& path,
                    const ProfileData& data)
{
    if (result.network) {
        if (path.empty()) return {};
        QString nodes = qs(document.segments[path.front()].from);
        for (const std::size_t i : path) nodes += QStringLiteral(" → ") + qs(document.segments[i].to);
        return QStringLiteral("沿程：") + nodes;
    }
    if (data.joints.empty()) return {};
    return QStringLiteral("全线：%1 至 %2").arg(data.joints.front().label, data.joints.back().label);
}

/// The chart with its caption on a line above it, elided in the middle where it is too long.
void paintExported(QPainter& painter, const QRectF& area, const ProfileData& data, ProfileDetail detail)
{
    painter.fillRect(area, Qt::white);
    const QFont font = songFont(10);
    const QFontMetricsF metrics(font, painter.device());
    const double line = 2 * metrics.height();
    painter.setFont(font);
    painter.setPen(kText);
    const QRectF caption(area.left() + metrics.averageCharWidth(), area.top(), area.width() - 2 * metrics.averageCharWidth(), line);
    painter.drawText(caption, Qt::AlignCenter, metrics.elidedText(data.caption, Qt::ElideMiddle, caption.width()));
    paintProfile(painter, area.adjusted(0, line, 0, 0), data, detail);
}

}  // namespace

ProfileData profileData(const PipelineDocument& document, const PipelineResult& result,
                        const std::vector<std::size_t>& path)
{
    ProfileData data;
    // A series main keeps its own profile, which begins at the start state even when its first
    // segment fails; a path through a network is drawn from its computed segments.
    const auto [profile, joints] = result.network ? profileAlong(result, path) : std::pair(result.profile, result.joints);
    for (const ProfilePoint& point : profile) {
        data.pressure << QPointF(point.distance, point.p);
        data.temperature << QPointF(point.distance, point.t);
        if (point.tsat) data.saturation << QPointF(point.distance, *point.tsat);
    }
    data.dryness = drynessAlong(result, path, profile, joints);
    double start = 0;  // of the segment that ends at the next joint
    for (std::size_t k = 0; k < joints.size() && k < path.size(); ++k) {
        const std::size_t i = path[k];
        const std::string& label = document.segments[i].label;
        data.joints.push_back({joints[k], label.empty() ? QStringLiteral("管段 %1").arg(i + 1) : qs(label)});
        const SegmentRun& run = result.segments[i];
        if (run.flagged()) data.flagged.push_back({start, joints[k]});
        start = joints[k];
    }
    for (const std::size_t i : path) {
        if (result.segments[i].status == SegmentStatus::failed && !isBlank(document.segments[i])) {
            data.stop = start;
            data.stopText = failedText(document, i);
            break;
        }
    }
    if (!result.startMessage.empty()) {
        data.emptyText = QStringLiteral("起点状态：") + qs(result.startMessage);
    } else if (data.joints.empty() && !data.stop) {
        data.emptyText = QStringLiteral("尚无算出的管段");
    }
    const QString along = pathCaption(document, result, path, data);
    data.caption = qs(document.project) + (document.project.empty() || along.isEmpty() ? "" : "　") + along;
    return data;
}

ProfileData profileData(const PipelineDocument& document, const PipelineResult& result)
{
    return profileData(document, result, pathTo(result, result.critical));
}

QVector<QPointF> thinnedOut(const QVector<QPointF>& points, double x0, double step)
{
    if (!(step > 0) || points.size() <= 4) return points;
    QVector<QPointF> kept;
    const auto columnOf = [x0, step](const QPointF& point) { return std::floor((point.x() - x0) / step); };
    for (qsizetype first = 0; first < points.size();) {
        const double column = columnOf(points[first]);
        qsizetype end = first, low = first, high = first;
        for (; end < points.size() && columnOf(points[end]) == column; ++end) {
            if (points[end].y() < points[low].y()) low = end;
            if (points[end].y() > points[high].y()) high = end;
        }
        qsizetype last = -1;
        for (const qsizetype i : {first, std::min(low, high), std::max(low, high), end - 1}) {
            if (i > last) kept << points[i];
            last = std::max(last, i);
        }
        first = end;
    }
    return kept;
}

void paintProfile(QPainter& painter, const QRectF& area, const ProfileData& data, ProfileDetail detail)
{
    ProfilePainter(painter, data, detail).paint(area);
}

QImage profileImage(const ProfileData& data, QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.setDotsPerMeterX(3780);  // 96 dpi, as the sizes of the chart are meant
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintExported(painter, QRectF(QPointF(0, 0), size), data, ProfileDetail::screen);
    return image;
}

bool saveProfile(const ProfileData& data, const QString& path, QSize size)
{
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        const QImage image = profileImage(data, size);
        return writeAtomically(path, [&image](QIODevice& device) { return image.save(&device, "PNG"); });
    }
    return writeAtomically(path, [&](QIODevice& device) {
        QPdfWriter pdf(&device);
        pdf.setTitle(QStringLiteral("管线压力与温度沿程分布"));
        pdf.setResolution(300);
        // A page of the picture's proportions, its pixels taken at 96 dpi.
        pdf.setPageSize(QPageSize(QSizeF(size.width() / 96.0 * 25.4, size.height() / 96.0 * 25.4), QPageSize::Millimeter));
        pdf.setPageMargins({});
        QPainter painter(&pdf);
        paintExported(painter, QRectF(QPointF(0, 0), QSizeF(pdf.width(), pdf.height())), data, ProfileDetail::everyPoint);
        return true;
    });
}

}  // namespace dorvent
